// The picture's size chosen on the command line, as a shipped profile hands it to the encoder. A
// fake encoder stands in, saying which arguments it was given.
#include "headless/headlessprogram.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace headlesstest;

class ConvertShapeTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramCopy> m_program;
    QString m_input;

private slots:
    void initTestCase()
    {
        const QString name = QStringLiteral("MP4 H.264 640x360.vkp");
        QFile shipped(QStringLiteral(VELKOR_BIN_DIR "/Profiles/") + name);
        QVERIFY(shipped.open(QIODevice::ReadOnly));
        m_program = std::make_unique<ProgramCopy>(QList<std::pair<QString, QByteArray>>{{name, shipped.readAll()}});
        QVERIFY(m_program->isValid());
        const QString encoder = m_program->directory.filePath("wmaspi.dll");
        QVERIFY(QFile::remove(encoder));
        QVERIFY(QFile::copy(VELKOR_TEST_BIN_DIR "/fake_encoder", encoder));
        m_input = m_program->home.filePath("clip.avi");
        QFile input(m_input);
        QVERIFY(input.open(QIODevice::WriteOnly) && input.write("any") == 3);
        m_program->writePreferences("[Main]\r\nOutput Path=" + m_program->home.path().toUtf8() + "\r\n");
    }

    // A custom size is a box the picture fits into, its shape kept; so is a listed one.
    void sizeReachesTheEncoderAsABox_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("arguments");
        QTest::newRow("custom") << QStringList{"--set", "Video Size=400x300"} << "arg=-video-box\narg=400x300\n";
        QTest::newRow("listed, stretched")
            << QStringList{"--set", "Video Size=854x480", "--set", "Aspect=Stretch to size"}
            << "arg=-video-box\narg=854x480\n";
        QTest::newRow("stated shape") << QStringList{"--set", "Aspect=4:3"} << "arg=-source-aspect\narg=4:3\n";
    }
    void sizeReachesTheEncoderAsABox()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, arguments);
        QProcessEnvironment environment = m_program->environment();
        environment.insert("FAKE_ENCODER_SCRIPT", "args|exit:1");
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(m_program->program(),
                      QStringList{"--convert", "--json", "-p", "MP4 H.264 640x360"} + options + QStringList{m_input});
        const Finished finished = finish(process);
        QString log;
        for (const QString &line : finished.out.split('\n', Qt::SkipEmptyParts)) {
            const QJsonObject event = QJsonDocument::fromJson(line.toUtf8()).object();
            if (event.value("event") == "taskEnded")
                log = event.value("log").toString();
        }
        QVERIFY2(log.contains(arguments), qPrintable(finished.describe()));
        QCOMPARE(log.contains("arg=-source-aspect\narg=stretch\n"), options.contains("Aspect=Stretch to size"));
        QVERIFY2(!log.contains("arg=-s\n") && !log.contains("arg=-aspect\n"), qPrintable(log));
    }
};

std::unique_ptr<QObject> makeConvertShapeTest()
{
    return std::make_unique<ConvertShapeTest>();
}

#include "tst_convertshape.moc"
