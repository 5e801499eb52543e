// The claim on an output's partial file that keeps two runs from writing one file. Each claim
// opens the file on its own, as another process would, so one process shows the rules.
#include "core/platform/outputclaim.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {
std::string pathIn(const QTemporaryDir &dir, const char *name)
{
    return QFile::encodeName(dir.filePath(QString::fromUtf8(name))).toStdString();
}

QByteArray contentsOf(const std::string &path)
{
    QFile file(QFile::decodeName(QByteArray::fromStdString(path)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

void write(const std::string &path, const QByteArray &text)
{
    QFile file(QFile::decodeName(QByteArray::fromStdString(path)));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
}
} // namespace

class OutputClaimTest : public QObject {
    Q_OBJECT

private slots:
    // One holder at a time; a file whose holder let go is taken over; the holder's file alone is
    // moved into place or removed.
    void oneHolderAtATime()
    {
        QTemporaryDir dir;
        const std::string part = pathIn(dir, "-clip é.mp4.part");
        const std::string output = pathIn(dir, "-clip é.mp4");
        std::string error;

        auto first = std::make_unique<platform::OutputClaim>();
        QCOMPARE(first->claim(part, &error), platform::OutputClaim::Outcome::Claimed);
        platform::OutputClaim second;
        QCOMPARE(second.claim(part, &error), platform::OutputClaim::Outcome::HeldElsewhere);
        QVERIFY(platform::isClaimedElsewhere(part));
        platform::removeUnlessClaimed(part);
        QVERIFY(QFile::exists(QFile::decodeName(QByteArray::fromStdString(part))));

        // The holder is gone (its process ended): the file it left is stale and taken over.
        write(part, "left by a killed run");
        first.reset();
        QVERIFY(!platform::isClaimedElsewhere(part));
        QCOMPARE(second.claim(part, &error), platform::OutputClaim::Outcome::Claimed);

        // An output that appeared meanwhile is kept unless replacing was asked for.
        write(output, "another run's");
        QVERIFY(!second.moveInto(output, false, &error));
        QCOMPARE(contentsOf(output), QByteArray("another run's"));
        QVERIFY(second.moveInto(output, true, &error));
        QCOMPARE(contentsOf(output), QByteArray("left by a killed run"));

        // A partial file put in the claimed one's place by someone else is neither moved nor removed.
        platform::OutputClaim third;
        QCOMPARE(third.claim(part, &error), platform::OutputClaim::Outcome::Claimed);
        QVERIFY(QFile::remove(QFile::decodeName(QByteArray::fromStdString(part))));
        write(part, "someone else's");
        QVERIFY(!third.moveInto(output, true, &error));
        QVERIFY2(error.find("replaced") != std::string::npos, error.c_str());
        third.discard();
        QCOMPARE(contentsOf(part), QByteArray("someone else's"));
        QCOMPARE(contentsOf(output), QByteArray("left by a killed run"));

        // Nobody holds it now: a run that killed its encoder removes it.
        platform::removeUnlessClaimed(part);
        QCOMPARE(contentsOf(part), QByteArray("(none)"));
    }

    // What is not a plain file is never claimed, so never written through.
    void onlyPlainFiles()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("folder.part"));
        std::string error;
        platform::OutputClaim claim;
        QCOMPARE(claim.claim(pathIn(dir, "folder.part"), &error), platform::OutputClaim::Outcome::Failed);
        QVERIFY(QFile::link(dir.filePath("elsewhere"), dir.filePath("link.part")));
        QCOMPARE(claim.claim(pathIn(dir, "link.part"), &error), platform::OutputClaim::Outcome::Failed);
        QVERIFY(!QFile::exists(dir.filePath("elsewhere")));
    }
};

std::unique_ptr<QObject> makeOutputClaimTest()
{
    return std::make_unique<OutputClaimTest>();
}

#include "tst_outputclaim.moc"
