#include "gui/grids/customsizetrigger.h"
#include "gui/grids/gridsection.h"
#include "gui/grids/gridsectionstack.h"
#include "gui/grids/keyvaluegrid.h"
#include "gui/grids/picklistpopup.h"
#include "gui/grids/profilegrids.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include <memory>

using namespace profiles;
using namespace grids;

namespace {

ProfileParameter parameter(const QString &name, int grid, bool list, bool readOnly, const QString &caption,
                           int index = 0)
{
    ProfileParameter made;
    made.name = name;
    made.sort = made.grid = grid;
    made.list = list;
    made.readOnly = readOnly;
    made.caption = made.value = caption;
    made.index = index;
    return made;
}

// Row 0 fixed, row 1 a pick list, row 2 free; the audio grid gets two pick lists.
ProfileData sampleProfile()
{
    ProfileData profile;
    profile.parameters = {
        parameter("Level", VideoGrid, false, true, "Main"),
        parameter("Video Size", VideoGrid, true, false, "Original Size,320x240,Custom Size,"),
        parameter("Bit Rate", VideoGrid, false, false, "300k"),
        parameter("Channels", AudioGrid, true, false, "Mono,Stereo,", 1),
        parameter("Volumn", AudioGrid, true, false, "100%,50%,"),
    };
    return profile;
}

// Two sections in a shown, active window, with the sample profile loaded.
struct ShownGrids {
    QWidget window;
    GridSectionStack *stack = new GridSectionStack;
    GridSection *video = stack->addSection("Video", 95);
    GridSection *audio = stack->addSection("Audio", 95);
    GridSection *advanced = stack->addSection("Advanced", 95);
    QLineEdit *elsewhere = new QLineEdit;

    ShownGrids()
    {
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(stack);
        layout->addWidget(elsewhere);
        grids::FillProfileGrids(sampleProfile(), {video->grid(), audio->grid(), advanced->grid()});
        window.resize(320, 300);
        window.show();
        QApplication::setActiveWindow(&window);
    }
    QPoint valueCentre(KeyValueGrid *grid, int row) const
    {
        return grid->visualRect(grid->model()->index(row, KeyValueGrid::ValueColumn)).center();
    }
    QPoint cellPixel(KeyValueGrid *grid, int row, int column) const
    {
        const QRect cell = grid->visualRect(grid->model()->index(row, column));
        return {cell.left() + 1, cell.center().y()};
    }
};

QColor pixel(grids::KeyValueGrid *grid, const QPoint &at)
{
    return grid->viewport()->grab().toImage().pixelColor(at);
}

// Text drawn in one colour on white shows that colour where it is solid and lighter elsewhere.
bool textOnlyIn(grids::KeyValueGrid *grid, int row, const QColor &colour)
{
    const QImage image = grid->viewport()->grab().toImage();
    const QRect cell = grid->visualRect(grid->model()->index(row, KeyValueGrid::ValueColumn));
    bool seen = false;
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
        for (int x = cell.left(); x <= cell.left() + 40; ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() < colour.red() || c.green() < colour.green() || c.blue() < colour.blue())
                return false;
            seen = seen || c == colour;
        }
    }
    return seen;
}

} // namespace

class ParameterGridsTest : public QObject {
    Q_OBJECT

private slots:
    void pickListsChangeByChoiceOnly()
    {
        ShownGrids shown;
        QVERIFY(QTest::qWaitForWindowActive(&shown.window));
        grids::KeyValueGrid *grid = shown.video->grid();
        QSignalSpy validated(grid, &KeyValueGrid::Validate);

        // A real double-click begins with a press.
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, shown.valueCentre(grid, 1));
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, shown.valueCentre(grid, 1));
        QCOMPARE(grid->value(1), "320x240");
        grid->stepToNextCaption(1);
        grid->stepToNextCaption(1);
        QCOMPARE(grid->value(1), "Original Size"); // after the last, back to the first
        grid->setValue(1, "640x360");              // a custom size is no caption
        grid->stepToNextCaption(1);
        QCOMPARE(grid->value(1), "Original Size");
        QCOMPARE(validated.size(), 4); // the program's own setValue is no edit

        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->dropDownButtonRect(1).center());
        grids::PickListPopup *popup = grid->pickListPopup();
        QVERIFY(popup && popup->isVisible());
        QCOMPARE(popup->count(), 3);
        QTest::keyClick(popup, Qt::Key_Escape);
        QVERIFY(!popup->isVisible());
        QCOMPARE(grid->value(1), "Original Size");
        grid->openPickList(1);
        QTest::keyClick(popup, Qt::Key_Down);
        QTest::keyClick(popup, Qt::Key_Return);
        QVERIFY(!popup->isVisible());
        QCOMPARE(grid->value(1), "320x240");
        QCOMPARE(validated.size(), 5);
        QCOMPARE(validated.last().at(1).toString(), "Video Size");
    }

    void typingReachesFreeRowsOnly_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("commitByLeaving");
        QTest::addColumn<QString>("value");
        QTest::newRow("free, Enter") << 2 << false << "1m";
        QTest::newRow("free, focus leaves") << 2 << true << "1m";
        QTest::newRow("fixed") << 0 << false << "Main";
        QTest::newRow("pick list marked ReadOnly 0") << 1 << false << "Original Size";
    }
    void typingReachesFreeRowsOnly()
    {
        QFETCH(int, row);
        QFETCH(bool, commitByLeaving);
        ShownGrids shown;
        QVERIFY(QTest::qWaitForWindowActive(&shown.window));
        grids::KeyValueGrid *grid = shown.video->grid();
        QSignalSpy validated(grid, &KeyValueGrid::Validate);
        grid->setFocus();
        grid->setCurrentCell(row, KeyValueGrid::ValueColumn);
        QTest::keyClick(grid, Qt::Key_1);
        if (auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
            editor && editor != shown.elsewhere) {
            QTest::keyClick(editor, Qt::Key_M);
            if (commitByLeaving)
                shown.elsewhere->setFocus();
            else
                QTest::keyClick(editor, Qt::Key_Return);
        }
        QFETCH(QString, value);
        // Enter commits once the editor has had the key.
        QTRY_COMPARE_WITH_TIMEOUT(grid->value(row), value, 5000);
        const bool changed = row == 2;
        QCOMPARE(validated.size(), changed ? 1 : 0);
        if (changed)
            QCOMPARE(validated[0], (QVariantList{2, "Bit Rate", "1m"}));
    }

    void sectionHeights()
    {
        ShownGrids shown;
        grids::GridSection *video = shown.video;
        QCOMPARE(video->grid()->height(), 3 * 18);
        QCOMPARE(shown.advanced->grid()->height(), 18); // no rows counts as one
        video->button()->click();
        QCOMPARE(video->grid()->height(), GridSection::CollapsedGridHeight);
        QCOMPARE(video->button()->text(), "+");

        // A load opens a collapsed grid without touching its button; the next click expands.
        grids::FillProfileGrids(sampleProfile(), {video->grid(), shown.audio->grid(), shown.advanced->grid()});
        QCOMPARE(video->grid()->height(), 54);
        QCOMPARE(video->button()->text(), "+");
        video->button()->click();
        QCOMPARE(video->grid()->height(), 3 * 17 + 3 + 1);
        QCOMPARE(video->button()->text(), "-");

        grids::FillDesignedRows(*video->grid(), DesignedGrid::Video);
        video->button()->click();
        video->button()->click();
        QCOMPARE(video->grid()->height(), 109);
        ProfileData sixRows;
        for (const QString &key : DesignedRowKeys(DesignedGrid::Video))
            sixRows.parameters.append(parameter(key, VideoGrid, false, false, QString()));
        grids::FillProfileGrids(sixRows, {video->grid(), shown.audio->grid(), shown.advanced->grid()});
        QCOMPARE(video->grid()->height(), 108);
    }

    void headerDoubleClick_data()
    {
        QTest::addColumn<bool>("toggles");
        QTest::newRow("main window") << true;
        QTest::newRow("settings dialog") << false;
    }
    void headerDoubleClick()
    {
        QFETCH(bool, toggles);
        ShownGrids shown;
        shown.audio->setHeaderDoubleClickToggles(toggles);
        QTest::mouseDClick(shown.audio->headerBar(), Qt::LeftButton, {}, QPoint(80, 9));
        QCOMPARE(shown.audio->isExpanded(), !toggles);
        QCOMPARE(shown.audio->grid()->height(), toggles ? 1 : 2 * 18);
    }

    void drawingColours()
    {
        ShownGrids shown;
        QVERIFY(QTest::qWaitForWindowActive(&shown.window));
        grids::KeyValueGrid *video = shown.video->grid();
        grids::KeyValueGrid *audio = shown.audio->grid();
        const QPalette palette = video->palette();
        const QColor window = palette.color(QPalette::Base);
        const QColor blue(49, 106, 197);

        QTest::mouseClick(video->viewport(), Qt::LeftButton, {}, shown.valueCentre(video, 1));
        QTRY_VERIFY_WITH_TIMEOUT(video->hasFocus(), 5000);
        QCOMPARE(pixel(video, shown.cellPixel(video, 1, KeyValueGrid::KeyColumn)), blue);
        QCOMPARE(pixel(video, shown.cellPixel(video, 0, KeyValueGrid::KeyColumn)), palette.color(QPalette::Button));
        QCOMPARE(pixel(video, shown.cellPixel(video, 1, KeyValueGrid::ValueColumn)), window);
        QCOMPARE(pixel(audio, shown.cellPixel(audio, 0, KeyValueGrid::KeyColumn)), window);
        QVERIFY(textOnlyIn(video, 0, QColor(192, 192, 192)));
        QVERIFY(!textOnlyIn(video, 2, QColor(192, 192, 192)));

        // Moving into the Audio grid moves the mark; the fixed value stays silver when current.
        QTest::mouseClick(audio->viewport(), Qt::LeftButton, {}, shown.valueCentre(audio, 1));
        QTRY_VERIFY_WITH_TIMEOUT(audio->hasFocus(), 5000);
        QCOMPARE(pixel(audio, shown.cellPixel(audio, 1, KeyValueGrid::KeyColumn)), blue);
        QCOMPARE(pixel(video, shown.cellPixel(video, 1, KeyValueGrid::KeyColumn)), window);
        video->setCurrentCell(0, KeyValueGrid::ValueColumn);
        QVERIFY(textOnlyIn(video, 0, QColor(192, 192, 192)));
        QCOMPARE(pixel(video, shown.cellPixel(video, 0, KeyValueGrid::ValueColumn)), window);
    }

    void customSizeTrigger_data()
    {
        QTest::addColumn<int>("currentRow");
        QTest::addColumn<QString>("change"); // a caption chosen, "step", or a text set
        QTest::addColumn<bool>("opens");
        QTest::newRow("Custom Size chosen") << 1 << "Custom Size" << true;
        QTest::newRow("another caption") << 1 << "320x240" << false;
        QTest::newRow("stepped to") << 1 << "step" << true;
        QTest::newRow("set while on another row") << 0 << "Custom Size" << false;
        QTest::newRow("other case") << 1 << "custom size" << false;
    }
    void customSizeTrigger()
    {
        QFETCH(int, currentRow);
        QFETCH(QString, change);
        grids::KeyValueGrid video(95);
        grids::KeyValueGrid none(95);
        grids::FillProfileGrids(sampleProfile(), {&video, &none, &none});
        video.setValue(1, "320x240");
        QWidget sizeForm;
        grids::ConnectCustomSizeTrigger(&video, &sizeForm);
        video.setCurrentCell(currentRow, KeyValueGrid::ValueColumn);
        if (change == "step")
            video.stepToNextCaption(1);
        else if (change == "Custom Size" || change == "320x240")
            video.choosePickListEntry(1, change);
        else
            video.SetGridValue("Video Size", change);
        QTEST(sizeForm.isVisible(), "opens");
    }
};

std::unique_ptr<QObject> makeParameterGridsTest()
{
    return std::make_unique<ParameterGridsTest>();
}

#include "tst_parametergrids.moc"
