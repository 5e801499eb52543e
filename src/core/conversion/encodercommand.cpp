#include "core/conversion/encodercommand.h"

#include <QProcess>
#include <QtNumeric>

namespace conversion {
namespace {
QString quoted(const QString &path)
{
    return QLatin1Char('"') + path + QLatin1Char('"');
}
} // namespace

EncoderCommandLine probeCommandLine(const QString &inputPath)
{
    return {QStringLiteral(" -i ") + quoted(inputPath), {QStringLiteral("-i"), inputPath}};
}

EncoderCommandLine probeCommandLine(const QStringList &inputPaths)
{
    EncoderCommandLine line;
    for (const QString &path : inputPaths) {
        line.text += QStringLiteral(" -i ") + quoted(path);
        line.arguments << QStringLiteral("-i") << path;
    }
    return line;
}

QString plannedLengthOption(double lengthSeconds)
{
    if (!(lengthSeconds > 0) || !qIsFinite(lengthSeconds))
        return QString();
    return QStringLiteral(" -length ") + QString::number(lengthSeconds, 'f', 3);
}

EncoderCommandLine conversionCommandLine(const QString &inputPath, const QString &parameters, const QString &outputPath)
{
    EncoderCommandLine line;
    line.text = QStringLiteral(" -y -i ") + quoted(inputPath) + parameters + QLatin1Char(' ') + quoted(outputPath);
    line.arguments = QStringList{QStringLiteral("-y"), QStringLiteral("-i"), inputPath} +
                     QProcess::splitCommand(parameters) + QStringList{outputPath};
    return line;
}

} // namespace conversion
