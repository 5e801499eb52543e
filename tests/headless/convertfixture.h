#pragma once

#include "headless/headlessprogram.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <utility>

namespace headlesstest {

// In the window's sorted list: Damaged, Small, Tiny.
extern const QList<std::pair<QString, QByteArray>> TestProfiles;

// A Target Size conversion held to the pace of playing.
extern const QByteArray SizedProfile;

// The realtime filter holds a conversion to the pace of playing, so it is still running when
// the test interrupts it.
extern const QString PlayingPace;

// The files below folder, by their paths relative to it.
QStringList filesBelow(const QString &folder);

// The lines of a plain report that tell one status, e.g. "Complete".
QStringList linesWith(const QString &out, const QString &status);

// The program copy and the clips every test object of the command line shares: made once, as
// the clips take longer to make than most runs take to convert them.
struct ConvertMedia {
    std::unique_ptr<ProgramCopy> program;
    QTemporaryDir media;
    QTemporaryDir storedOutput; // the output path in the preferences
    bool ready = false;

    static ConvertMedia &shared();
};

// The base of each test object: the shared program and clips under the names the tests use.
// Each object calls setUp() from its initTestCase and storePreferences() from its init.
class ConvertTestBase : public QObject {
protected:
    ConvertMedia &m_shared = ConvertMedia::shared();
    std::unique_ptr<ProgramCopy> &m_program = m_shared.program;
    QTemporaryDir &m_media = m_shared.media;
    QTemporaryDir &m_storedOutput = m_shared.storedOutput;

    QString media(const QString &name) const { return m_media.filePath(name); }
    void setUp();
    // Tiny is stored by its name and the position it had before Damaged was added, so every
    // run without -p shows that the name wins while it is listed.
    void storePreferences(const QByteArray &overwrite = "1", const QByteArray &jobs = "1");
};

} // namespace headlesstest
