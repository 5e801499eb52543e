#include "core/conversion/encodercommand.h"

#include "core/preferences/languagecodes.h"
#include "core/tasks/rtlnumbers.h"
#include "core/tasks/task.h"
#include "core/tasks/taskrecord.h"

#include <QProcess>
#include <QtNumeric>

namespace conversion {
namespace {
QString quoted(const QString &path)
{
    return QLatin1Char('"') + path + QLatin1Char('"');
}

QString languageOption(const QString &name, const QString &languages)
{
    const QString codes = preferences::languageCodes(languages).value_or(QString());
    return codes.isEmpty() ? QString() : QStringLiteral(" -") + name + QLatin1Char(' ') + codes;
}

// A pick that came from an old journal or a hand-edited one and means nothing is left out, so
// that it can never pose as another switch.
QString pickOption(const QString &name, const QString &pick, bool noneAllowed)
{
    bool number = false;
    const int index = pick.toInt(&number);
    const bool valid = (number && index >= 0 && pick == QString::number(index)) || pick == QLatin1String("all") ||
                       (noneAllowed && pick == QLatin1String("none"));
    return valid ? QStringLiteral(" -") + name + QLatin1Char(' ') + pick : QString();
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

QString trackLanguageOptions(const QString &audioLanguages, const QString &subtitleLanguages)
{
    return languageOption(QStringLiteral("audio-langs"), audioLanguages) +
           languageOption(QStringLiteral("subtitle-langs"), subtitleLanguages);
}

QString trackPickOptions(const tasks::Task &task)
{
    return pickOption(QStringLiteral("audio-track"), task.audioChoice, false) +
           pickOption(QStringLiteral("subtitle-track"), task.subtitleChoice, true);
}

QString taskOptions(const tasks::Task &task)
{
    const QString facts = task.sourceFacts.isEmpty() ? QString() : QStringLiteral(" -source-facts ") + task.sourceFacts;
    return trackPickOptions(task) + facts;
}

} // namespace conversion
