#pragma once

#include <QStringList>

#include <string>
#include <vector>

// The encoder works on standard strings, the tests write Qt's lists.
inline std::vector<std::string> toStd(const QStringList &list)
{
    std::vector<std::string> texts;
    for (const QString &text : list)
        texts.push_back(text.toStdString());
    return texts;
}

inline QStringList toQt(const std::vector<std::string> &texts)
{
    QStringList list;
    for (const std::string &text : texts)
        list.append(QString::fromStdString(text));
    return list;
}
