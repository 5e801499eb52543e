#pragma once

#include <QString>

namespace widgets {

inline const QString PublisherName = QStringLiteral("Velkor Software");
inline const QString WebAddress = QStringLiteral("https://www.example.com/");
inline const QString TechSupportAddress = QStringLiteral("support@example.com");
inline const QString SalesAddress = QStringLiteral("sales@example.com");
inline const QString NoticeYears = QStringLiteral("2004-2026");

struct ProductLink {
    QString name;
    QString webPage;
};

inline const ProductLink OtherProducts[] = {
    {QStringLiteral("Velkor DVD Ripper"), QStringLiteral("https://www.example.com/dvd-ripper/")},
    {QStringLiteral("Velkor Audio Converter"), QStringLiteral("https://www.example.com/audio-converter/")},
    {QStringLiteral("Velkor Video Joiner"), QStringLiteral("https://www.example.com/video-joiner/")},
};

} // namespace widgets
