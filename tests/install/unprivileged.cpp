#include "install/unprivileged.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace unprivileged {
namespace {

constexpr QFile::Permissions ReadOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther | QFile::ReadUser;
constexpr QFile::Permissions Runnable = ReadOnly | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther | QFile::ExeUser;

} // namespace

bool isPrivileged()
{
    QTemporaryDir probe;
    QFile::setPermissions(probe.path(), Runnable);
    QFile file(probe.filePath("probe"));
    const bool privileged = file.open(QIODevice::WriteOnly);
    QFile::setPermissions(probe.path(), Runnable | QFile::WriteOwner);
    return privileged;
}

bool rerunAsNobody(const char *testFunction)
{
    // The executable is copied where nobody may read it: the build folder may be closed to others.
    QTemporaryDir folder;
    QFile::setPermissions(folder.path(), Runnable);
    const QString copy = folder.filePath("tst_install");
    if (!QFile::copy(QCoreApplication::applicationFilePath(), copy) || !QFile::setPermissions(copy, Runnable))
        return false;
    QProcess child;
    child.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", "/nonexistent");
    environment.insert("VELKOR_PROGRAM_COPY", readOnlyProgramCopy(folder.path()));
    child.setProcessEnvironment(environment);
    child.start("setpriv", {"--reuid=nobody", "--regid=nogroup", "--clear-groups", "--", copy, testFunction});
    const bool finished = child.waitForFinished(300000);
    qInfo().noquote() << QString::fromUtf8(child.readAll());
    return finished && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
}

QString readOnlyProgramCopy(const QString &parent)
{
    const QString target = parent + "/program";
    const QDir built(QStringLiteral(VELKOR_BIN_DIR));
    QDir().mkpath(target + "/Profiles");
    for (const QString &name : {"wmaspi.dll", "Preferences.ini", "velkor-help.html"})
        QFile::copy(built.filePath(name), target + "/" + name);
    for (const QString &profile : QDir(built.filePath("Profiles")).entryList(QDir::Files))
        QFile::copy(built.filePath("Profiles/" + profile), target + "/Profiles/" + profile);
    QDirIterator files(target, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString file = files.next();
        QFile::setPermissions(file, file.endsWith("wmaspi.dll") ? Runnable : ReadOnly);
    }
    QFile::setPermissions(target + "/Profiles", Runnable);
    QFile::setPermissions(target, Runnable);
    return target;
}

} // namespace unprivileged
