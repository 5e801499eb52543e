#pragma once

#include <QString>
#include <QStringList>

struct ltvItemData;
namespace tasks {
class Task;
}

namespace conversion {

// The command line as shown to the user, and the arguments the encoder really receives: the
// paths are single arguments whatever they hold, so they can neither split nor pose as options.
struct EncoderCommandLine {
    QString text;
    QStringList arguments;
};

EncoderCommandLine probeCommandLine(const QString &inputPath);
// One encoder run probing every input in turn.
EncoderCommandLine probeCommandLine(const QStringList &inputPaths);
// parameters is empty or begins with a blank; it is split at blanks, double quotes grouping.
// " -length SECONDS": the input's length when it was added, which the encoder holds the output
// to, for an input that shrinks before or while it converts. Empty when the length is unknown.
QString plannedLengthOption(double lengthSeconds);

EncoderCommandLine conversionCommandLine(const QString &inputPath, const QString &parameters,
                                         const QString &outputPath);

// " -ss start" when the task starts later than its input, then " -t span" when it converts less
// than the whole input.
QString trimOptions(const ltvItemData &task);

// " -audio-langs eng,ger -subtitle-langs eng": the ordered languages of the tracks the encoder
// keeps first; a list left empty, or no list of codes, gives no switch.
QString trackLanguageOptions(const QString &audioLanguages, const QString &subtitleLanguages);
// " -audio-track 2 -subtitle-track none": the task's own picks, which win over the profile's rules.
QString trackPickOptions(const tasks::Task &task);
// The task's own switches: its track picks, and what its probe found, so that the encoder need not
// open the input again.
QString taskOptions(const tasks::Task &task);

} // namespace conversion
