#include "benchprocesses.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <functional>
#include <sys/resource.h>

bool runAll(const QString &program, const QList<QStringList> &argumentLists, int width)
{
    QEventLoop loop;
    QObject owner;
    qsizetype next = 0;
    int active = 0;
    bool ok = true;
    std::function<void()> fill = [&] {
        while (ok && active < width && next < argumentLists.size()) {
            auto *process = new QProcess(&owner);
            process->setStandardOutputFile(QProcess::nullDevice());
            process->setStandardErrorFile(QProcess::nullDevice());
            const auto ended = [&, process](bool succeeded) {
                ok = ok && succeeded;
                --active;
                process->deleteLater();
                fill();
                if (active == 0)
                    loop.quit();
            };
            QObject::connect(process, &QProcess::finished, &owner, [ended](int code, QProcess::ExitStatus status) {
                ended(status == QProcess::NormalExit && code == 0);
            });
            QObject::connect(process, &QProcess::errorOccurred, &owner, [ended](QProcess::ProcessError error) {
                if (error == QProcess::FailedToStart)
                    ended(false);
            });
            ++active;
            process->start(program, argumentLists[next++]);
        }
    };
    fill();
    if (active > 0)
        loop.exec();
    return ok;
}

bool runs(const QString &program, const QStringList &arguments)
{
    return runAll(program, {arguments}, 1);
}

HeadlessFigure runHeadless(const QString &velkor, const QStringList &arguments)
{
    HeadlessFigure figure;
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QEventLoop loop;
    QElapsedTimer clock;
    QByteArray pending;
    QObject::connect(&process, &QProcess::readyReadStandardOutput, &loop, [&] {
        pending += process.readAllStandardOutput();
        for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n')) {
            const QByteArray line = pending.left(end);
            pending.remove(0, end + 1);
            const double now = double(clock.nsecsElapsed()) / 1e9;
            const QString event = QJsonDocument::fromJson(line).object().value(QStringLiteral("event")).toString();
            if (event == QStringLiteral("taskStarted")) {
                if (figure.firstStartSeconds < 0)
                    figure.firstStartSeconds = now;
                figure.starts.push_back(now);
            } else if (event == QStringLiteral("taskEnded")) {
                figure.ends.push_back(now);
            }
        }
    });
    QObject::connect(&process, &QProcess::finished, &loop, [&](int code, QProcess::ExitStatus status) {
        figure.seconds = double(clock.nsecsElapsed()) / 1e9;
        figure.ok = status == QProcess::NormalExit && code == 0;
        loop.quit();
    });
    const double cpuBefore = childCpuMs();
    clock.start();
    process.start(velkor, arguments);
    if (!process.waitForStarted(-1))
        return figure;
    loop.exec();
    figure.cpuSeconds = (childCpuMs() - cpuBefore) / 1e3;
    if (!figure.ok)
        figure.seconds = -1;
    return figure;
}

namespace {
double cpuMsOf(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}
} // namespace

double childCpuMs()
{
    return cpuMsOf(RUSAGE_CHILDREN);
}

double ownCpuMs()
{
    return cpuMsOf(RUSAGE_SELF);
}
