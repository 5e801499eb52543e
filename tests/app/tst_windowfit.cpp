// Whether what the windows show fits them: every key and value of the parameter grids, and every
// caption of the settings dialog, whole, with nothing scrolled sideways.
#include "core/profiles/profilelist.h"
#include "gui/grids/gridsection.h"
#include "gui/grids/gridsectionstack.h"
#include "gui/grids/keyvaluegrid.h"
#include "gui/settings/settingform.h"
#include "gui/widgets/splitterbar.h"
#include "helpers/testwindow.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDirIterator>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>

using mainform::TMainForm;
using settings::TSettingForm;

namespace {

QList<std::pair<QString, QByteArray>> shippedProfiles()
{
    QList<std::pair<QString, QByteArray>> profiles;
    QDirIterator files(QStringLiteral(VELKOR_BIN_DIR "/Profiles"), {QStringLiteral("*.vkp")}, QDir::Files);
    while (files.hasNext()) {
        QFile file(files.next());
        if (file.open(QIODevice::ReadOnly))
            profiles.append({files.fileName(), file.readAll()});
    }
    return profiles;
}

// The cell delegate leaves two pixels each side of a text; a pick list's button takes 16.
constexpr int TextRoom = 4;
constexpr int DropDownRoom = 18;

// Every key and every value or caption a row can show fits its column, the columns fill the
// viewport, and the grid lies inside the stack's viewport with nothing scrolled.
void verifyWhole(const grids::GridSectionStack &stack, const QString &where)
{
    QCOMPARE(stack.horizontalScrollBar()->value(), 0);
    const QWidget *viewport = stack.viewport();
    for (const grids::GridSection *section : stack.sections()) {
        const grids::KeyValueGrid &grid = *section->grid();
        const QString context = where + QStringLiteral(", ") + section->groupName();
        QVERIFY2(grid.horizontalScrollBar()->value() == 0, qPrintable(context));
        QVERIFY2(grid.columnWidth(0) + grid.columnWidth(1) <= grid.viewport()->width(), qPrintable(context));
        const QPoint right = grid.mapTo(viewport, QPoint(grid.width(), 0));
        QVERIFY2(grid.mapTo(viewport, QPoint(0, 0)).x() >= 0 && right.x() <= viewport->width(), qPrintable(context));
        const QFontMetrics metrics = grid.fontMetrics();
        for (int row = 0; row < grid.rowCount(); ++row) {
            const QString key = grid.key(row);
            QVERIFY2(metrics.horizontalAdvance(key) + TextRoom <= grid.columnWidth(0),
                     qPrintable(context + ": " + key));
            const bool pickList = grid.editStyle(row) == grids::KeyValueGrid::EditStyle::PickList;
            QStringList values = grid.pickList(row);
            values << grid.value(row);
            for (const QString &value : std::as_const(values)) {
                const int needed = metrics.horizontalAdvance(value) + TextRoom + (pickList ? DropDownRoom : 0);
                QVERIFY2(needed <= grid.columnWidth(1), qPrintable(context + ": " + key + " = " + value));
            }
        }
    }
}

} // namespace

class WindowFitTest : public QObject {
    Q_OBJECT

private slots:
    void parameterGridsShowWholeKeysAndValues_data()
    {
        QTest::addColumn<int>("widerBy");
        QTest::newRow("default size") << 0;
        QTest::newRow("wider") << 300;
    }
    void parameterGridsShowWholeKeysAndValues()
    {
        QFETCH(int, widerBy);
        testwindow::Window w(shippedProfiles());
        mainform::TMainForm &form = *w.form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        verifyWhole(*form.profileSections, QStringLiteral("designed rows"));
        const int mainAreaWidth = form.panMain->width();
        // The window grows for the grids to give the list its designed room, but never past the
        // screen.
        const int screenWidth = form.screen()->availableGeometry().width();
        QVERIFY(form.frameGeometry().width() <= screenWidth);
        QVERIFY(mainAreaWidth == 580 || form.frameGeometry().width() == screenWidth);
        QVERIFY(form.cmbProfile->count() >= 10);
        for (int position = 0; position < form.cmbProfile->count(); ++position) {
            form.cmbProfile->setCurrentIndex(position);
            form.cmbProfileChange();
            if (widerBy)
                form.resize(form.width() + widerBy, form.height() + widerBy);
            QTRY_VERIFY(form.panMain->width() >= mainAreaWidth);
            QApplication::processEvents();
            verifyWhole(*form.profileSections, form.cmbProfile->currentText());
            form.vleVideo->setFocus();
            form.vleVideo->setCurrentCell(0, 1);
            verifyWhole(*form.profileSections, form.cmbProfile->currentText() + " with a current cell");
        }

        settings::TSettingForm &settings = *form.SettingForm;
        form.bbtnSettingClick();
        QVERIFY(QTest::qWaitForWindowExposed(&settings));
        for (int position = 0; position < settings.cmbProfile->count(); ++position) {
            settings.cmbProfile->setCurrentIndex(position);
            settings.cmbProfileChange();
            QApplication::processEvents();
            verifyWhole(*settings.profileSections, QStringLiteral("settings: ") + settings.cmbProfile->currentText());
        }
        QVERIFY(w.dialogs.messages.isEmpty());
    }

    // A panel the user dragged narrower stays so when another profile is loaded, and loading
    // the same profile again grows nothing.
    void aDraggedPanelIsLeftAlone()
    {
        testwindow::Window w(shippedProfiles());
        mainform::TMainForm &form = *w.form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const int windowWidth = form.width();
        form.cmbProfile->setCurrentIndex(0);
        form.cmbProfileChange();
        form.cmbProfileChange();
        QCOMPARE(form.width(), windowWidth);
        QMouseEvent drag(QEvent::MouseMove, QPointF(40, 5), form.panSplitter->mapToGlobal(QPointF(40, 5)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.panSplitter, &drag);
        const int dragged = form.panProfile->width();
        for (int position = 1; position < form.cmbProfile->count(); ++position) {
            form.cmbProfile->setCurrentIndex(position);
            form.cmbProfileChange();
            QCOMPARE(form.panProfile->width(), dragged);
        }
        QCOMPARE(form.width(), windowWidth);
    }

    // Both windows list the profiles in one order, and the stored position is a place in it.
    void profileListIsSortedInBothWindows()
    {
        testwindow::Window w({{"zeta.vkp", "[Main]\nType=3gp\n"},
                              {"Alpha.vkp", "[Main]\nType=mp4\n"},
                              {"beta.vkp", "[Main]\nType=avi\n"}});
        QFile preferences(w.programDir.filePath("Preferences.ini"));
        QVERIFY(preferences.open(QIODevice::WriteOnly));
        preferences.write("[Main]\r\nProfile=1\r\n");
        preferences.close();
        w.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
        const auto items = [](const QComboBox &list) {
            QStringList names;
            for (int position = 0; position < list.count(); ++position)
                names << list.itemText(position);
            return names;
        };
        QCOMPARE(items(*w.form->cmbProfile), (QStringList{"Alpha", "beta", "zeta"}));
        QCOMPARE(items(*w.form->SettingForm->cmbProfile), items(*w.form->cmbProfile));
        QCOMPARE(w.form->cmbProfile->currentText(), "beta");
        QCOMPARE(w.form->outputExtension(), ".avi");
    }

    // Every caption of the settings dialog shows whole at the dialog's size, on both pages.
    void settingsCaptionsShowWhole()
    {
        testwindow::Window w;
        settings::TSettingForm &settings = *w.form->SettingForm;
        for (int page = 0; page < settings.pgcSetting->count(); ++page) {
            settings.pgcSetting->setCurrentIndex(page);
            settings.show();
            QVERIFY(QTest::qWaitForWindowExposed(&settings));
            const QWidget *shown = settings.pgcSetting->currentWidget();
            for (const QAbstractButton *button : shown->findChildren<QAbstractButton *>()) {
                // A section's "-"/"+" button has its designed 12 pixels.
                const bool sectionButton =
                    qobject_cast<const grids::GridSection *>(button->parentWidget()->parentWidget());
                if (!button->isVisible() || button->text().isEmpty() || sectionButton)
                    continue;
                QVERIFY2(button->width() >= button->sizeHint().width(), qPrintable(button->text()));
                QVERIFY2(shown->rect().contains(QRect(button->mapTo(shown, QPoint(0, 0)), button->size())),
                         qPrintable(button->text()));
            }
            for (const QLabel *label : shown->findChildren<QLabel *>()) {
                if (label->isVisible() && !label->text().isEmpty())
                    QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(label->text()));
            }
            settings.hide();
        }
    }
};

std::unique_ptr<QObject> makeWindowFitTest()
{
    return std::make_unique<WindowFitTest>();
}

#include "tst_windowfit.moc"
