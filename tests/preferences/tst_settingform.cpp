#include "core/preferences/efcreateerror.h"
#include "gui/desktop/fakes/fakedesktop.h"
#include "gui/settings/settingform.h"
#include "helpers/testfiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>
#include <optional>

using settings::TSettingForm;

using platform::MessageButton;
Q_DECLARE_METATYPE(platform::MessageButton)

namespace {
// Output path | cmbSyn position | the three check boxes | the checked radio button.
QString generalPage(const TSettingForm &form)
{
    const auto flag = [](const QAbstractButton *button) { return button->isChecked() ? "1" : "0"; };
    return QStringList{form.edtOutputDir->text(), QString::number(form.cmbSyn->currentIndex()),
                       flag(form.chkOpenDir),     flag(form.chkExit),
                       flag(form.chkTurnoff),     QString(flag(form.rdbOverWrite)) + flag(form.rdbRename)}
        .join('|');
}
} // namespace

class SettingFormTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_dir.emplace();
        QVERIFY(m_dir->isValid());
        m_programDir = m_dir->path() + '/';
        m_preferences = m_programDir + "Preferences.ini";
        m_mainWindow.emplace();
        m_edtOutputdir = new QLineEdit(&*m_mainWindow);
        m_dialogs.emplace();
    }
    void cleanup() { m_form.reset(); }

    void loadsMainThenDefault_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no file
        QTest::addColumn<QString>("created");
        QTest::addColumn<MessageButton>("answer");
        QTest::addColumn<QString>("afterAnswer");
        QTest::newRow("no file, Yes") << QByteArray() << "<p>|0|1|0|0|10" << MessageButton::Yes << "<p>|0|0|0|0|10";
        QTest::newRow("no file, No") << QByteArray() << "<p>|0|1|0|0|10" << MessageButton::No << "<p>|0|1|0|0|10";
        QTest::newRow("stored")
            << QByteArray("[Main]\r\nOutput Path=/videos/\r\nSyn Mode=2\r\nAuto Open Dir=0\r\nAuto Exit=1\r\n"
                          "Auto Turn Off=1\r\nOverwrite=0\r\n[Default]\r\nOutput Path=/factory/\r\nSyn Mode=1\r\n"
                          "Auto Open Dir=1\r\n")
            << "/videos/|2|0|1|1|01" << MessageButton::Yes << "/factory/|1|1|0|0|10";
        QTest::newRow("unusable values")
            << QByteArray("[main]\nSyn Mode=3\nAuto Exit=yes\nOverwrite=x\n[DEFAULT]\nSyn Mode=-1\n")
            << "<p>|-1|1|0|0|10" << MessageButton::Yes << "<p>|-1|0|0|0|10";
    }
    void loadsMainThenDefault()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, created);
        QFETCH(MessageButton, answer);
        QFETCH(QString, afterAnswer);
        if (!content.isNull())
            QVERIFY(testfiles::writeFile(m_preferences, content));
        create();
        QCOMPARE(generalPage(*m_form), created.replace("<p>", m_programDir));
        // Each use rewrites the file, with CR LF; nothing reaches "Main" before OK.
        const QByteArray rewritten = content.replace("\r\n", "\n").replace("\n", "\r\n");
        QVERIFY(QFile::exists(m_preferences));
        QCOMPARE(testfiles::readFile(m_preferences), rewritten);

        m_dialogs->answers.push_back(answer);
        m_form->btnDefault->click();
        QCOMPARE(m_dialogs->messages.size(), 1);
        const desktop::ShownMessage &question = m_dialogs->messages.first();
        QCOMPARE(question.caption, "Load Default");
        QCOMPARE(question.text, "Are you sure to load the default preferences?");
        QCOMPARE(question.icon, platform::MessageIcon::Question);
        QCOMPARE(question.buttons, MessageButton::Yes | MessageButton::No);
        QCOMPARE(generalPage(*m_form), afterAnswer.replace("<p>", m_programDir));
        QCOMPARE(testfiles::readFile(m_preferences), rewritten);
    }

    void cancelKeepsChangesInForce()
    {
        create();
        m_edtOutputdir->setText("/main/");
        m_form->show();
        QCOMPARE(m_form->edtOutputDir->text(), "/main/");
        m_form->edtOutputDir->setText("/typed/");
        m_form->chkExit->setChecked(true);
        m_form->rdbRename->setChecked(true);
        m_form->btnCancel->click();

        QCOMPARE(generalPage(*m_form), "/typed/|0|1|1|0|01");
        QCOMPARE(m_edtOutputdir->text(), "/main/");
        QCOMPARE(testfiles::readFile(m_preferences), "");
        m_form->show();
        QCOMPARE(m_form->edtOutputDir->text(), "/main/");
    }

    void okWritesOnlyItsSixKeys_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("among other lines")
            << QByteArray("; kept\r\n[Main]\r\nVersion=9.9\r\nProfile=3\r\nOutput Path=/old/\r\nSyn Mode=5\r\n\r\n"
                          "Auto Open Dir=1\r\nAuto Exit=0\r\nAuto Turn Off=0\r\nOverwrite=1\r\nUnknown=x\r\n\r\n"
                          "[Default]\r\nAuto Exit=0\r\n")
            << QByteArray(
                   "; kept\r\n[Main]\r\nVersion=9.9\r\nProfile=3\r\nOutput Path=/my videos\r\nSyn Mode=-1\r\n\r\n"
                   "Auto Open Dir=0\r\nAuto Exit=1\r\nAuto Turn Off=1\r\nOverwrite=0\r\nUnknown=x\r\n\r\n"
                   "[Default]\r\nAuto Exit=0\r\n");
        QTest::newRow("no Main yet")
            << QByteArray("[Default]\r\nAuto Exit=0\r\n")
            << QByteArray("[Default]\r\nAuto Exit=0\r\n[Main]\r\nOverwrite=0\r\nAuto Turn Off=1\r\nAuto Exit=1\r\n"
                          "Auto Open Dir=0\r\nSyn Mode=0\r\nOutput Path=/my videos\r\n");
    }
    void okWritesOnlyItsSixKeys()
    {
        QFETCH(QByteArray, before);
        QVERIFY(testfiles::writeFile(m_preferences, before));
        create();
        m_form->show();
        m_form->edtOutputDir->clear();
        QTest::keyClicks(m_form->edtOutputDir, "/my videos");
        m_form->chkOpenDir->setChecked(false);
        m_form->chkExit->setChecked(true);
        m_form->chkTurnoff->setChecked(true);
        m_form->rdbRename->setChecked(true);
        m_form->btnOK->click();

        QTEST(testfiles::readFile(m_preferences), "after");
        QCOMPARE(m_edtOutputdir->text(), "/my videos");
    }

    // The languages are typed, refused while they are no codes, saved on OK and read back.
    void languagesTypedSavedAndReadBack()
    {
        create();
        m_form->show();
        QCOMPARE(m_form->edtAudioLanguages->text(), "eng");
        QCOMPARE(m_form->edtSubtitleLanguages->accessibleName(), "Subtitle languages");
        QTest::mouseClick(m_form->edtAudioLanguages, Qt::LeftButton);
        QTest::keyClick(m_form->edtAudioLanguages, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(m_form->edtAudioLanguages, "German");
        QTest::mouseClick(m_form->btnOK, Qt::LeftButton);
        QCOMPARE(m_dialogs->messages.size(), 1);
        QCOMPARE(m_dialogs->messages.first().text, "Audio languages must be three-letter language codes separated "
                                                   "by commas, such as \"eng,ger\".");
        QVERIFY(m_form->isVisible());
        QVERIFY(m_form->focusWidget() == m_form->edtAudioLanguages);
        QCOMPARE(m_form->generalPreferences().audioLanguages, "eng");
        QVERIFY(!testfiles::readFile(m_preferences).contains("languages"));

        QTest::keyClick(m_form->edtAudioLanguages, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(m_form->edtAudioLanguages, "ger, ENG");
        QTest::mouseClick(m_form->edtSubtitleLanguages, Qt::LeftButton);
        QTest::keyClick(m_form->edtSubtitleLanguages, Qt::Key_End);
        QTest::keyClicks(m_form->edtSubtitleLanguages, ",fre");
        QTest::mouseClick(m_form->btnOK, Qt::LeftButton);
        QVERIFY(!m_form->isVisible());
        const QByteArray saved = testfiles::readFile(m_preferences);
        QVERIFY2(saved.contains("Audio languages=ger,eng\r\n") && saved.contains("Subtitle languages=eng,fre\r\n"),
                 saved.constData());

        create();
        QCOMPARE(m_form->edtAudioLanguages->text(), "ger,eng");
        QCOMPARE(m_form->generalPreferences().subtitleLanguages, "eng,fre");
    }

    void browseAddsTheDelimiter_data()
    {
        QTest::addColumn<QString>("chosen"); // empty: cancelled
        QTest::addColumn<QString>("expected");
        QTest::newRow("without delimiter") << "/videos/out"
                                           << "/videos/out/";
        QTest::newRow("with delimiter") << "/videos/out/"
                                        << "/videos/out/";
        QTest::newRow("root") << "/"
                              << "/";
        QTest::newRow("cancelled") << ""
                                   << "/before";
    }
    void browseAddsTheDelimiter()
    {
        QFETCH(QString, chosen);
        create();
        m_edtOutputdir->setText("/before");
        m_form->show();
        m_dialogs->folderToChoose = chosen;
        m_form->sbtnBrowse->click();
        QCOMPARE(m_dialogs->folderTitles, QStringList{"Select the output directory."});
        QTEST(m_form->edtOutputDir->text(), "expected");
    }

    void closingEnablesTheMainWindow_data()
    {
        QTest::addColumn<QString>("how");
        for (const char *how : {"OK", "Cancel", "close box", "Escape"})
            QTest::newRow(how) << how;
    }
    void closingEnablesTheMainWindow()
    {
        QFETCH(QString, how);
        create();
        m_form->show();
        QVERIFY(!m_mainWindow->isEnabled());
        QVERIFY(m_form->isEnabled());
        if (how == "OK")
            m_form->btnOK->click();
        else if (how == "Cancel")
            m_form->btnCancel->click();
        else if (how == "close box")
            m_form->close();
        else
            QTest::keyClick(m_form.get(), Qt::Key_Escape);
        QVERIFY(!m_form->isVisible());
        QVERIFY(m_mainWindow->isEnabled());
    }

    void unwritableFileKeepsTheDialogOpen()
    {
        QVERIFY(QDir(m_programDir).mkdir("Preferences.ini"));
        QVERIFY(testfiles::writeFile(m_preferences + "/inside", "kept"));
        const auto before = testfiles::snapshot(m_programDir);
        const QString failure = "Cannot create file \"" + m_preferences + "\". ";
        create();
        QCOMPARE(m_dialogs->messages.size(), 1);
        QVERIFY(m_dialogs->messages.first().text.startsWith(failure));
        QCOMPARE(m_dialogs->messages.first().icon, platform::MessageIcon::Error);
        QCOMPARE(generalPage(*m_form), m_programDir + "|0|1|0|0|10");

        bool profileStep = false;
        m_form->ProfileSaved = [&](const QString &, const QString &) { profileStep = true; };
        m_form->show();
        std::optional<QString> error;
        m_form->ShowException = [&](const std::exception &e) {
            if (const auto *createError = dynamic_cast<const preferences::EFCreateError *>(&e))
                error = createError->message();
        };
        m_form->btnOK->click();
        QVERIFY(error && error->startsWith(failure));
        QVERIFY(m_form->isVisible());
        QVERIFY(!m_mainWindow->isEnabled());
        QVERIFY(!profileStep);
        QCOMPARE(testfiles::snapshot(m_programDir), before);
    }

    void presentsItsControls()
    {
        create({"3GP Normal", "MP4 High", "3GP Normal"});
        QCOMPARE(m_form->cmbProfile->count(), 3);
        QCOMPARE(m_form->cmbProfile->itemText(1), "MP4 High");
        QVERIFY(!m_form->cmbSyn->isEditable());
        QVERIFY(!m_form->accessibleName().isEmpty());
        for (QWidget *widget : m_form->findChildren<QWidget *>()) {
            const bool control = qobject_cast<QAbstractButton *>(widget) || qobject_cast<QLineEdit *>(widget) ||
                                 qobject_cast<QComboBox *>(widget) ||
                                 widget->parentWidget()->inherits("QStackedWidget");
            if (qobject_cast<QLabel *>(widget))
                QVERIFY2(widget->accessibleName().isEmpty(), qPrintable(widget->objectName()));
            else if (control)
                QVERIFY2(!widget->accessibleName().isEmpty(),
                         qPrintable(widget->objectName() + " " + widget->metaObject()->className() + " in " +
                                    widget->parentWidget()->objectName()));
        }
    }

private:
    void create(const QStringList &names = {})
    {
        QList<profiles::ProfileEntry> profiles;
        for (const QString &name : names)
            profiles.append({name, m_programDir + "Profiles/" + name + ".vkp"});
        m_form = std::make_unique<settings::TSettingForm>(*m_dialogs, m_programDir, &*m_mainWindow, m_edtOutputdir,
                                                          profiles);
    }

    std::optional<QTemporaryDir> m_dir;
    QString m_programDir;
    QString m_preferences;
    std::optional<QWidget> m_mainWindow;
    QLineEdit *m_edtOutputdir = nullptr;
    std::optional<desktop::FakeDialogs> m_dialogs;
    std::unique_ptr<settings::TSettingForm> m_form;
};

std::unique_ptr<QObject> makeSettingFormTest()
{
    return std::make_unique<SettingFormTest>();
}

#include "tst_settingform.moc"
