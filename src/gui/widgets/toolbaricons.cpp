#include "gui/widgets/toolbaricons.h"

#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QRegularExpression>
#include <QSvgRenderer>

namespace widgets {
namespace {

QPixmap render(const QByteArray &svg, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(svg);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    return pixmap;
}

// Every colour becomes a light grey of its own brightness.
QByteArray greyed(QByteArray svg)
{
    static const QRegularExpression colour(QStringLiteral("#([0-9a-fA-F]{6})"));
    QString text = QString::fromUtf8(svg);
    QString result;
    qsizetype last = 0;
    for (const QRegularExpressionMatch &match : colour.globalMatch(text)) {
        const QColor original(QLatin1Char('#') + match.captured(1));
        const int grey = 150 + qGray(original.rgb()) * 90 / 255;
        result += text.mid(last, match.capturedStart() - last) + QColor(grey, grey, grey).name();
        last = match.capturedEnd();
    }
    result += text.mid(last);
    return result.toUtf8();
}

} // namespace

QIcon pictureIcon(const QString &name, int size)
{
    QFile file(QStringLiteral(":/icons/%1.svg").arg(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray svg = file.readAll();
    QIcon icon;
    icon.addPixmap(render(svg, size), QIcon::Normal);
    icon.addPixmap(render(greyed(svg), size), QIcon::Disabled);
    return icon;
}

} // namespace widgets
