#pragma once

#include "core/platform/fakes/fakechildprocess.h"
#include "gui/mainform/mainform.h"
#include "helpers/fakeprobe.h"
#include "helpers/testwindow.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <functional>

// The main window set for a batch run on fake encoders, shared by the run's test files.
namespace batchwindow {

using platform::FakeRun;
using platform::FakeStart;

using testprobe::isProbe;

inline QByteArray minuteReport(const QString &path)
{
    return ("Input #0, avi, from '" + path +
            "':\n  Duration: 00:01:00, start: 0.000000, bitrate: 1 kb/s\n"
            "    Stream #0.0: Video: mpeg4, yuv420p, 320x240, 25.00 fps\n")
        .toUtf8();
}

// A conversion that reports its progress and leaves its output where it was asked to.
inline FakeRun convertingRun(const FakeStart &start, int exitCode = 0)
{
    FakeRun run;
    run.reads = {"frame=1 time=0.0 \n", "frame=2 time=10.0 \n", "frame=3 time=30.0 \n", "frame=4 time=60.0 \n"};
    run.exit.exitCode = exitCode;
    const QString output = start.arguments.last();
    if (exitCode == 0) {
        run.onStart = [output] {
            QFile file(output);
            file.open(QIODevice::WriteOnly);
            file.write("converted");
        };
    }
    return run;
}

struct Window : testwindow::Window {
    QTemporaryDir outputDir;
    // How each conversion behaves, by its position in the run.
    std::function<FakeRun(const FakeStart &, int)> conversion = [](const FakeStart &start, int) {
        return convertingRun(start);
    };
    int conversions = 0;

    explicit Window(bool realEncoder = false)
        : testwindow::Window({{"Phone.vkp", testwindow::PhoneProfile},
                              {"Web.vkp", QByteArray(testwindow::PhoneProfile).replace("Type=3gp", "Type=mp4")}},
                             realEncoder ? testwindow::Encoder::Real : testwindow::Encoder::Fake)
    {
        fakeProcesses.responder = [this](const FakeStart &start) {
            return isProbe(start) ? testprobe::probeRun(start, minuteReport) : conversion(start, conversions++);
        };
        form->show();
        form->edtOutputdir->setText(outputDir.path());
    }
    void add(const QStringList &inputs)
    {
        for (const QString &input : inputs)
            form->taskList().AddInputFile(input);
        QVERIFY(QTest::qWaitFor([this] { return !form->taskList().probingInputs(); }, 60000));
        form->EnableListButtonsIfTasks();
    }
    QStringList statuses() const
    {
        QStringList texts;
        for (int row = 0; row < form->ltvTask->topLevelItemCount(); ++row)
            texts << form->ltvTask->topLevelItem(row)->text(tasks::columnOf(tasks::SelectStatus));
        return texts;
    }
    QList<QStringList> conversionArguments() const
    {
        QList<QStringList> found;
        for (const FakeStart &start : fakeProcesses.starts) {
            if (!isProbe(start))
                found << start.arguments;
        }
        return found;
    }
    QStringList messageTexts() const
    {
        QStringList texts;
        for (const auto &message : dialogs.messages)
            texts << message.text;
        return texts;
    }
    int probes() const { return testprobe::probedInputs(fakeProcesses.starts); }
    QStringList outputFiles() const { return QDir(outputDir.path()).entryList(QDir::Files); }
};

inline QByteArray contents(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

} // namespace batchwindow
