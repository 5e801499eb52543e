#include "gui/mainform/mainform.h"

#include "core/tasks/inputfiles.h"
#include "gui/about/aboutform.h"
#include "gui/grids/customsizetrigger.h"
#include "gui/grids/keyvaluegrid.h"
#include "gui/grids/sizeform.h"
#include "gui/mainform/profilecontrol.h"
#include "gui/mainform/runcontrol.h"
#include "gui/mainform/tasklist.h"
#include "gui/mainform/tasklistrows.h"
#include "gui/mainform/turnoffnotice.h"
#include "gui/preview/dstrackbar.h"
#include "gui/preview/previewplayer.h"
#include "gui/settings/settingform.h"
#include "gui/widgets/errordisplay.h"
#include "gui/widgets/publisher.h"
#include "gui/widgets/splitterbar.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

namespace mainform {

TMainForm::TMainForm(platform::Services &services, const QString &executableDirectory, const QStringList &arguments,
                     QWidget *parent)
    : QMainWindow(parent)
    , m_services(services)
{
    setObjectName(QStringLiteral("MainForm"));
    // Liberation Sans has the metrics the designed positions were measured with.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    setFont(font);
    createToolbar();
    createMainArea();
    // Client area of a window that is 798 x 542 with its frame.
    resize(790, 508);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - frameGeometry().center() + pos());
    TurnOffNotice = std::make_unique<TTurnOffNotice>(this);
    m_runControl = std::make_unique<RunControl>(*this, services);
    m_taskList = std::make_unique<TaskList>(*this, m_services);
    connect(m_runControl.get(), &RunControl::taskChanged, m_taskList.get(), &TaskList::journalChangedNow);
    // A Start pressed while files were being added waits for them.
    connect(m_taskList.get(), &TaskList::inputsListed, m_runControl.get(), &RunControl::inputsListed);
    connect(m_taskList.get(), &TaskList::addingCancelled, m_runControl.get(), &RunControl::cancelPendingStart);
    m_profileControl = std::make_unique<ProfileControl>(*this, services.dialogs);
    FormCreate(executableDirectory, arguments);
    createPreviewPlayer();
    createSecondaryWindows();
}

TMainForm::~TMainForm()
{
    // The encoder goes first, and with it any word from the run to a window half gone.
    m_runControl.reset();
}

void TMainForm::FormCreate(const QString &executableDirectory, const QStringList &arguments)
{
    m_values = preferences::programValuesFor(executableDirectory);
    preferences::makeUserPreferences(m_values.locations);
    edtOutputdir->setText(m_values.locations.defaultOutputDirectory);
    ltvTask->header()->setStyleSheet(QStringLiteral("QHeaderView::section { background-color: rgb(243, 243, 243); "
                                                    "border: none; border-right: 1px solid rgb(210, 210, 210); "
                                                    "padding-left: 4px; }"));
    QApplication::setApplicationName(preferences::ProgramName);
    setWindowTitle(m_values.mainCaption());
    setAccessibleName(m_values.mainCaption());
    m_openDialogFilter = preferences::OpenDialogFilter();
    m_profileControl->listProfiles(m_values.locations);
    // A restored list comes first; the files named on the command line are added after it.
    m_taskList->RestoreTaskList();
    m_taskList->AddStartupInputs(arguments);
    EnableListButtonsIfTasks();
    setAcceptDrops(true);
    panBottomCenter->resize(607, panBottomCenter->height());
    panBottomLeft->resize(607, panBottomLeft->height());
    panBottomLeft->hide();
    const int widths[] = {260, 90, 80, 100};
    for (int column = 0; column < 4; ++column)
        ltvTask->setColumnWidth(column, widths[column]);
    labLink->setText(widgets::PublisherName + QStringLiteral(" - ") + widgets::WebAddress);
    labLink->adjustSize();
    labLinkMouseUp();

    panMain->installEventFilter(this);
    ltvTask->installEventFilter(this);
    panPreviewButton->installEventFilter(this);
    connect(panSplitter, &widgets::SplitterBar::mouseMoved, this, &TMainForm::panSplitterMouseMove);
    connect(bbtnBrowser, &QPushButton::clicked, this, &TMainForm::bbtnBrowserClick);
    connect(bbtnOpen, &QPushButton::clicked, this, &TMainForm::bbtnOpenClick);
    connect(cmbProfile, &QComboBox::activated, this, &TMainForm::cmbProfileChange);
    connect(tbtnStart, &QToolButton::clicked, this, widgets::guarded([this] { tbtnStartClick(); }));
    connect(tbtnStop, &QToolButton::clicked, this, &TMainForm::tbtnStopClick);
    connect(tbtnPause, &QToolButton::clicked, this, &TMainForm::tbtnPauseClick);
    connect(mniStopAfterCurrent, &QAction::triggered, this, &TMainForm::mniStopAfterCurrentClick);
    connect(tbtnSetting, &QToolButton::clicked, this, &TMainForm::tbtnSettingClick);
    connect(bbtnSetting, &QPushButton::clicked, this, widgets::guarded([this] { bbtnSettingClick(); }));
    connect(tbtnAbout, &QToolButton::clicked, this, &TMainForm::tbtnAboutClick);
    connect(tbtnHelp, &QToolButton::clicked, this, &TMainForm::tbtnHelpClick);
    timerTime = new QTimer(this);
    timerTime->setObjectName(QStringLiteral("timerTime"));
    connect(timerTime, &QTimer::timeout, this, &TMainForm::timerTimeTimer);
    connect(tbtnAddFile, &QToolButton::clicked, this, &TMainForm::tbtnAddFileClick);
    connect(tbtnAddDir, &QToolButton::clicked, this, &TMainForm::tbtnAddDirClick);
    connect(tbtnUp, &QToolButton::clicked, this, &TMainForm::tbtnUpClick);
    connect(tbtnDown, &QToolButton::clicked, this, &TMainForm::tbtnDownClick);
    connect(tbtnRemove, &QToolButton::clicked, this, &TMainForm::tbtnRemoveClick);
    connect(tbtnClear, &QToolButton::clicked, this, &TMainForm::tbtnClearClick);
    for (QAction *action : ppmTask->actions()) {
        if (action->objectName() == QLatin1String("mnuRemove"))
            connect(action, &QAction::triggered, this, &TMainForm::tbtnRemoveClick);
        else if (action->objectName() == QLatin1String("mnuClear"))
            connect(action, &QAction::triggered, this, &TMainForm::tbtnClearClick);
    }
    connect(vleOutput, &grids::KeyValueGrid::MouseDown, this, &TMainForm::vleOutputMouseDown);
    connect(vleOutput, &grids::KeyValueGrid::Validate, this, &TMainForm::vleOutputValidate);
    for (grids::KeyValueGrid *grid : {vleVideo, vleAudio, vleAdvanced})
        connect(grid, &grids::KeyValueGrid::MouseDown, this, &TMainForm::repaintParameterGrids);
    connect(ltvTask, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        ppmTaskPopup();
        ppmTask->popup(ltvTask->viewport()->mapToGlobal(at));
    });
}

void TMainForm::createSecondaryWindows()
{
    AboutForm = std::make_unique<about::TAboutForm>(m_services.desktop, m_values, this);
    SettingForm = std::make_unique<settings::TSettingForm>(m_services.dialogs, m_values.programDirectory, this,
                                                           edtOutputdir, m_profileControl->profileEntries());
    SettingForm->ShowException = [](const std::exception &error) { widgets::showError(error); };
    SettingForm->ProfileSaved = [this](const QString &profileName, const QString &profilePath) {
        m_profileControl->replaceProfileFile(profilePath);
        if (cmbProfile->currentText() == profileName)
            cmbProfileChange();
    };
    SizeForm = std::make_unique<grids::TSizeForm>(this, vleVideo, m_services.dialogs);
    grids::ConnectCustomSizeTrigger(vleVideo, SizeForm.get());
}

void TMainForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!std::exchange(m_shown, true)) {
        m_centreWhenGrowing = true;
        FormShow();
        m_centreWhenGrowing = false;
    }
}

void TMainForm::FormShow()
{
    LoadMainPreferences();
    m_taskList->applyRestoredRunSettings();
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    if (!m_runControl->allowClose()) {
        event->ignore();
        return;
    }
    // Anything still adding inputs stops at the next file.
    m_taskList->stopAdding();
    FormClose();
    event->accept();
}

void TMainForm::closeWithoutQuestion()
{
    m_taskList->keepJournalAtClose();
    m_runControl->closeWithoutQuestion();
}

void TMainForm::FormClose()
{
    SaveMainPreferences();
    m_taskList->closeJournal();
    SettingForm->hide();
    SizeForm->hide();
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize) {
        if (watched == panMain)
            FormResize();
        else if (watched == ltvTask)
            ltvTaskResize();
        else if (watched == panPreviewButton)
            TrackBar->resize(panPreviewButton->width(), TrackBar->height());
    } else if (watched == ltvTask && event->type() == QEvent::KeyPress) {
        if (ltvTaskKeyDown(static_cast<QKeyEvent *>(event)->key()))
            return true;
    } else if (watched == labLink) {
        if (event->type() == QEvent::MouseButtonPress)
            labLinkMouseDown();
        else if (event->type() == QEvent::MouseButtonRelease) {
            labLinkMouseUp();
            const auto *release = static_cast<QMouseEvent *>(event);
            // A click is the left button's; the others only light the link up.
            if (release->button() == Qt::LeftButton && labLink->rect().contains(release->position().toPoint()))
                labLinkClick();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::ReadTask(int position, int selector, ltvItemData &record) const
{
    mainform::ReadTask(*ltvTask, position, selector, record);
}

void TMainForm::WriteTask(int position, int selector, const ltvItemData &record)
{
    mainform::WriteTask(*ltvTask, position, selector, record);
}

void TMainForm::FormResize()
{
    const mainform::BottomBarGeometry g = mainform::bottomBarFor(panMain->width());
    panBottomCenter->resize(g.faceWidth, panBottomCenter->height());
    panBottomLeft->resize(g.faceWidth, panBottomLeft->height());
    bbtnSetting->move(g.settingLeft, bbtnSetting->y());
    cmbProfile->resize(g.profileWidth, cmbProfile->height());
    bbtnOpen->move(g.openLeft, bbtnOpen->y());
    bbtnBrowser->move(g.browserLeft, bbtnBrowser->y());
    edtOutputdir->resize(g.outputDirWidth, edtOutputdir->height());
    labCurProgress->move(g.progressLabelLeft, labCurProgress->y());
    pgbCurrent->resize(g.progressBarWidth, pgbCurrent->height());
    labTotalProgress->move(g.progressLabelLeft, labTotalProgress->y());
    pgbTotal->resize(g.progressBarWidth, pgbTotal->height());
}

void TMainForm::ltvTaskResize()
{
    const int width = ltvTask->width();
    const int remembered = std::exchange(m_rememberedListWidth, width);
    if (width == remembered)
        return;
    mainform::TaskColumnWidths widths;
    for (int column = 0; column < 4; ++column)
        widths[std::size_t(column)] = ltvTask->columnWidth(column);
    widths = mainform::spreadColumns(widths, remembered, width);
    for (int column = 0; column < 4; ++column)
        ltvTask->setColumnWidth(column, widths[std::size_t(column)]);
}

void TMainForm::panSplitterMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint position)
{
    const Qt::KeyboardModifiers blocking = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
    if (buttons != Qt::LeftButton || (modifiers & blocking) || position.x() == 0)
        return;
    // The main area keeps room for its margin and a sliver of the list.
    const int widest = centralWidget()->width() - panSplitter->width() - 2 * mainform::MinimumWidth - panLeft->width();
    panProfile->setFixedWidth(mainform::rightPanelWidthAfterDrag(panProfile->width(), position.x(), widest));
    m_panelDragged = true;
    centralWidget()->layout()->activate();
    FormResize();
}

bool TMainForm::SelectDirectory(QWidget *owner, const QString &title, const QString &root, QString &folder)
{
    return m_services.dialogs.selectDirectory(owner, title, root, folder);
}

void TMainForm::bbtnBrowserClick()
{
    QString folder;
    if (SelectDirectory(this, QStringLiteral("Select the output directory."), QString(), folder))
        edtOutputdir->setText(preferences::IncludeTrailingBackslash(folder));
}

void TMainForm::bbtnOpenClick()
{
    const QString folder = edtOutputdir->text();
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        OpenWithDesktop(folder);
}

// The controls that could change the list, the profile or the settings, in the order they switch.
QList<QWidget *> TMainForm::controlsLockedByRun() const
{
    return {tbtnAddFile, tbtnAddDir,  tbtnUp,  tbtnDown,    tbtnRemove, tbtnClear,
            tbtnStart,   tbtnSetting, ltvTask, panSplitter, gpbProfile};
}

void TMainForm::DisableControlsForRun()
{
    m_preview->Stop();
    for (QWidget *control : controlsLockedByRun())
        control->setEnabled(false);
    tbtnStop->setEnabled(true);
    tbtnPause->setEnabled(true);
    mniStopAfterCurrent->setEnabled(true);
}

void TMainForm::EnableControlsAfterRun()
{
    for (QWidget *control : controlsLockedByRun())
        control->setEnabled(true);
    tbtnStop->setEnabled(false);
    tbtnPause->setEnabled(false);
    mniStopAfterCurrent->setEnabled(false);
}

void TMainForm::SetListButtonsEnabled(bool enabled)
{
    for (QToolButton *button : {tbtnUp, tbtnDown, tbtnRemove, tbtnClear})
        button->setEnabled(enabled);
    // A Start already waiting for the probes is not pressed twice.
    tbtnStart->setEnabled(enabled && !m_runControl->startPending());
}

void TMainForm::EnableListButtonsIfTasks()
{
    if (ltvTask->topLevelItemCount() > 0)
        SetListButtonsEnabled(true);
}

} // namespace mainform
