// Builds the main window's regions with the geometry they are designed with.
#include "gui/mainform/formparts.h"
#include "gui/mainform/mainform.h"
#include "gui/mainform/tasklistview.h"
#include "gui/mainform/windowgeometry.h"
#include "gui/widgets/publisher.h"
#include "gui/widgets/splitterbar.h"
#include "gui/widgets/toolbaricons.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QSvgRenderer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace mainform {

void TMainForm::createToolbar()
{
    Toolbar1 = new QToolBar(this);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setAccessibleName(QStringLiteral("Toolbar"));
    Toolbar1->setMovable(false);
    Toolbar1->setFloatable(false);
    Toolbar1->setFixedHeight(75);
    Toolbar1->setContentsMargins(5, 5, 5, 5);
    Toolbar1->setIconSize(QSize(48, 48));
    Toolbar1->toggleViewAction()->setEnabled(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    addToolBar(Qt::TopToolBarArea, Toolbar1);

    auto add = [this](QToolButton *&target, const QString &name, const QString &hint, const QString &picture,
                      bool enabled) {
        target = new QToolButton(Toolbar1);
        target->setObjectName(name);
        target->setToolTip(hint);
        target->setAccessibleName(hint);
        target->setAutoRaise(true);
        target->setFixedSize(56, 54);
        target->setIconSize(QSize(48, 48));
        target->setIcon(widgets::pictureIcon(picture, 48));
        target->setEnabled(enabled);
        Toolbar1->addWidget(target);
    };
    auto gap = [this](int width) {
        auto *spacer = new QWidget(Toolbar1);
        spacer->setFixedWidth(width);
        Toolbar1->addWidget(spacer);
    };
    add(tbtnAddFile, QStringLiteral("tbtnAddFile"), QStringLiteral("Add Video Files"), QStringLiteral("add-file"),
        true);
    add(tbtnAddDir, QStringLiteral("tbtnAddDir"), QStringLiteral("Add Directory"), QStringLiteral("add-directory"),
        true);
    gap(8);
    add(tbtnUp, QStringLiteral("tbtnUp"), QStringLiteral("Move Up"), QStringLiteral("move-up"), false);
    add(tbtnDown, QStringLiteral("tbtnDown"), QStringLiteral("Move Down"), QStringLiteral("move-down"), false);
    add(tbtnRemove, QStringLiteral("tbtnRemove"), QStringLiteral("Remove"), QStringLiteral("remove"), false);
    add(tbtnClear, QStringLiteral("tbtnClear"), QStringLiteral("Clear"), QStringLiteral("clear"), false);
    gap(8);
    add(tbtnStart, QStringLiteral("tbtnStart"), QStringLiteral("Start"), QStringLiteral("start"), false);
    add(tbtnStop, QStringLiteral("tbtnStop"), QStringLiteral("Stop"), QStringLiteral("stop"), false);
    add(tbtnPause, QStringLiteral("tbtnPause"), QStringLiteral("Pause"), QStringLiteral("pause"), false);
    tbtnPause->setText(tbtnPause->toolTip());
    // The arrow beside Stop ends the run more gently: after the files converting now.
    ppmStop = new QMenu(tbtnStop);
    ppmStop->setObjectName(QStringLiteral("ppmStop"));
    mniStopAfterCurrent = ppmStop->addAction(QStringLiteral("Stop after current"));
    mniStopAfterCurrent->setObjectName(QStringLiteral("mniStopAfterCurrent"));
    tbtnStop->setMenu(ppmStop);
    tbtnStop->setPopupMode(QToolButton::MenuButtonPopup);
    gap(12);
    add(tbtnSetting, QStringLiteral("tbtnSetting"), QStringLiteral("Settings"), QStringLiteral("settings"), true);
    gap(8);
    add(tbtnAbout, QStringLiteral("tbtnAbout"), QStringLiteral("About"), QStringLiteral("about"), true);
    add(tbtnHelp, QStringLiteral("tbtnHelp"), QStringLiteral("Help"), QStringLiteral("help"), true);
}

void TMainForm::createMainArea()
{
    auto *central = panel(this, QStringLiteral("panClient"));
    auto *columns = new QHBoxLayout(central);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setSpacing(0);
    setCentralWidget(central);

    panMain = panel(central, QStringLiteral("panMain"));
    panSplitter = new widgets::SplitterBar(central);
    panSplitter->setObjectName(QStringLiteral("panSplitter"));
    panProfile = panel(central, QStringLiteral("panProfile"));
    panProfile->setFixedWidth(200);
    columns->addWidget(panMain, 1);
    columns->addWidget(panSplitter);
    columns->addWidget(panProfile);

    auto *rows = new QVBoxLayout(panMain);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    auto *listRow = new QHBoxLayout;
    listRow->setSpacing(0);
    panLeft = panel(panMain, QStringLiteral("panLeft"));
    panLeft->setFixedWidth(10);
    auto *taskList = new mainform::TaskListView(panMain);
    connect(taskList, &mainform::TaskListView::Click, this, &TMainForm::ltvTaskClick);
    ltvTask = taskList;
    ltvTask->setObjectName(QStringLiteral("ltvTask"));
    ltvTask->setAccessibleName(QStringLiteral("Task List"));
    ltvTask->setRootIsDecorated(false);
    ltvTask->setUniformRowHeights(true);
    ltvTask->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ltvTask->setSelectionBehavior(QAbstractItemView::SelectRows);
    ltvTask->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ltvTask->setSortingEnabled(false);
    ltvTask->header()->setSectionsClickable(false);
    ltvTask->header()->setAccessibleName(QStringLiteral("Task List Columns"));
    ltvTask->header()->setStretchLastSection(false);
    ltvTask->setContextMenuPolicy(Qt::CustomContextMenu);
    // Column 0 is the caption, columns 1 to 10 the sub-items; only the first three sub-items show.
    QStringList headers{QStringLiteral("Input File"), QStringLiteral("Length"), QStringLiteral("Size"),
                        QStringLiteral("Status")};
    const int visibleColumns = int(headers.size());
    while (headers.size() <= tasks::SubItemCount)
        headers << QString();
    ltvTask->setHeaderLabels(headers);
    for (int column = visibleColumns; column <= tasks::SubItemCount; ++column)
        ltvTask->setColumnHidden(column, true);
    listRow->addWidget(panLeft);
    listRow->addWidget(ltvTask, 1);
    rows->addLayout(listRow, 1);

    panBottom = panel(panMain, QStringLiteral("panBottom"));
    panBottom->setFixedHeight(77);
    rows->addWidget(panBottom);
    auto *bottomFill = new QHBoxLayout(panBottom);
    bottomFill->setContentsMargins(0, 0, 0, 0);
    panBottomRight = panel(panBottom, QStringLiteral("panBottomRight"));
    bottomFill->addWidget(panBottomRight);
    createBottomBar();
    createStartPanel();
    createTaskMenu();
    createRightPanel();
}

void TMainForm::createBottomBar()
{
    panBottomCenter = panel(panBottomRight, QStringLiteral("panBottomCenter"));
    panBottomCenter->setGeometry(0, 0, 607, 77);
    label(panBottomCenter, QStringLiteral("Profile:"), 40, 16);
    cmbProfile = new QComboBox(panBottomCenter);
    cmbProfile->setObjectName(QStringLiteral("cmbProfile"));
    cmbProfile->setAccessibleName(QStringLiteral("Profile"));
    cmbProfile->setEditable(false);
    cmbProfile->setGeometry(74, 13, 407, 21);
    bbtnSetting = button(panBottomCenter, QStringLiteral("bbtnSetting"), QStringLiteral("&Setting"), 490, 10);
    label(panBottomCenter, QStringLiteral("Output Path:"), 12, 48);
    edtOutputdir = new QLineEdit(panBottomCenter);
    edtOutputdir->setObjectName(QStringLiteral("edtOutputdir"));
    edtOutputdir->setAccessibleName(QStringLiteral("Output Path"));
    edtOutputdir->setGeometry(75, 43, 322, 21);
    bbtnBrowser = button(panBottomCenter, QStringLiteral("bbtnBrowser"), QStringLiteral("&Browse"), 405, 41);
    bbtnOpen = button(panBottomCenter, QStringLiteral("bbtnOpen"), QStringLiteral("&Open"), 490, 40);

    panBottomLeft = panel(panBottomRight, QStringLiteral("panBottomLeft"));
    panBottomLeft->setGeometry(0, 0, 607, 77);
    label(panBottomLeft, QStringLiteral("Converting:"), 11, 8);
    labConvertingFile =
        valueLabel(panBottomLeft, QStringLiteral("labConvertingFile"), QStringLiteral("No File"), 67, 8);
    labConvertingFile->setFixedWidth(222);
    label(panBottomLeft, QStringLiteral("Time Elapsed:"), 298, 8);
    labElapsed = valueLabel(panBottomLeft, QStringLiteral("labElapsed"), QStringLiteral("00:00:00"), 367, 8);
    label(panBottomLeft, QStringLiteral("Time Remaining:"), 433, 8);
    labRemaining = valueLabel(panBottomLeft, QStringLiteral("labRemaining"), QStringLiteral("00:00:00"), 515, 8);
    label(panBottomLeft, QStringLiteral("Current Progress:"), 28, 29);
    pgbCurrent = progressBar(panBottomLeft, QStringLiteral("pgbCurrent"), QStringLiteral("Current Progress"), 115, 29);
    labCurProgress = valueLabel(panBottomLeft, QStringLiteral("labCurProgress"), QStringLiteral("0%"), 553, 31);
    label(panBottomLeft, QStringLiteral("Total Progress:"), 38, 53);
    pgbTotal = progressBar(panBottomLeft, QStringLiteral("pgbTotal"), QStringLiteral("Total Progress"), 115, 52);
    labTotalProgress = valueLabel(panBottomLeft, QStringLiteral("labTotalProgress"), QStringLiteral("0%"), 553, 54);
    for (QLabel *value : {labElapsed, labRemaining, labCurProgress, labTotalProgress})
        value->setMinimumWidth(60);
}

void TMainForm::createStartPanel()
{
    panbg = new QFrame(panMain);
    panbg->setObjectName(QStringLiteral("panbg"));
    panbg->setAutoFillBackground(true);
    QPalette white = panbg->palette();
    white.setColor(QPalette::Window, Qt::white);
    panbg->setPalette(white);
    panbg->setGeometry(11, 18, 568, 336);

    auto *picture = new QLabel(panbg);
    QPixmap pixmap(272, 239);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QSvgRenderer(QStringLiteral(":/icons/start-panel.svg")).render(&painter);
    painter.end();
    picture->setPixmap(pixmap);
    picture->setGeometry(294, 100, 272, 239);

    QFont title(QStringLiteral("Arial Black"));
    title.setPixelSize(28);
    title.setWeight(QFont::Black);
    auto nameLabel = [&](const QString &name, int left, int top, const QColor &colour) {
        auto *widget = new QLabel(preferences::ProgramName, panbg);
        widget->setObjectName(name);
        widget->setFont(title);
        widget->setStyleSheet(QStringLiteral("color: %1; background: transparent;").arg(colour.name()));
        widget->setGeometry(left, top, 451, 44);
        return widget;
    };
    labProgramNameShadow = nameLabel(QStringLiteral("labProgramNameShadow"), 18, 20, QColor(202, 202, 202));
    labProgramName = nameLabel(QStringLiteral("labProgramName"), 16, 18, palette().color(QPalette::WindowText));

    QFont steps(QStringLiteral("Liberation Sans"));
    steps.setPixelSize(15);
    const std::pair<QString, int> lines[] = {
        {QStringLiteral("1. Add unlimited videos to the list."), 119},
        {QStringLiteral("2. Specify the output profile and Path."), 162},
        {QStringLiteral("3. Click on the \"Start\" button."), 206},
    };
    for (const auto &[text, top] : lines) {
        auto *step = new QLabel(text, panbg);
        step->setFont(steps);
        step->setStyleSheet(QStringLiteral("color: rgb(13, 148, 221); background: transparent;"));
        step->move(25, top);
        step->adjustSize();
    }

    labLink = new QLabel(panbg);
    labLink->setObjectName(QStringLiteral("labLink"));
    labLink->setCursor(Qt::PointingHandCursor);
    labLink->move(16, 316);
    labLink->installEventFilter(this);
}

void TMainForm::createTaskMenu()
{
    ppmTask = new QMenu(this);
    ppmTask->setObjectName(QStringLiteral("ppmTask"));
    ppmTask->setAccessibleName(QStringLiteral("Task List Menu"));
    ppmTask->addAction(QStringLiteral("Open"))->setObjectName(QStringLiteral("mnuOpen"));
    ppmTask->addSeparator();
    ppmTask->addAction(QStringLiteral("Add Files..."), this, &TMainForm::tbtnAddFileClick);
    ppmTask->addAction(QStringLiteral("Add Directorys..."), this, &TMainForm::tbtnAddDirClick);
    ppmTask->addSeparator();
    ppmTask->addAction(QStringLiteral("Remove"))->setObjectName(QStringLiteral("mnuRemove"));
    ppmTask->addAction(QStringLiteral("Clear"))->setObjectName(QStringLiteral("mnuClear"));
    ppmTask->addSeparator();
    ppmTask->addAction(QStringLiteral("Show Log"), this, &TMainForm::ShowFailureLog)
        ->setObjectName(QStringLiteral("mnuShowLog"));
}

} // namespace mainform
