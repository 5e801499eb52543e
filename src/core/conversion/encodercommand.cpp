#include "core/conversion/encodercommand.h"

#include "core/tasks/rtlnumbers.h"
#include "core/tasks/taskrecord.h"

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

QString trimOptions(const ltvItemData &task)
{
    QString options;
    if (task.StartSec != task.SourceStartSec)
        options += QStringLiteral(" -ss ") + task.StartText;
    if (task.SpanSec != task.LengthSec)
        options += QStringLiteral(" -t ") + QString::number(qint64(tasks::roundHalfEven(task.SpanSec)));
    return options;
}

} // namespace conversion
