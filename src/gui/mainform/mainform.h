#pragma once

#include "core/conversion/batchplan.h"
#include "core/platform/services.h"
#include "core/preferences/programvalues.h"
#include "core/profiles/profilelist.h"
#include "core/tasks/taskrecord.h"
#include "gui/grids/profilegrids.h"
#include "gui/mainform/profilecontrol.h"
#include "gui/mainform/runcontrol.h"
#include "gui/mainform/windowgeometry.h"

#include <QMainWindow>
#include <QSet>

#include <memory>

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QSlider;
class QSplitter;
class QToolBar;
class QToolButton;
class QTimer;
class QTreeWidget;
namespace about {
class TAboutForm;
}
namespace grids {
class TSizeForm;
}
namespace settings {
class TSettingForm;
}
namespace widgets {
class SplitterBar;
}

namespace widgets {
class BalloonTip;
}

namespace preview {
class PreviewPlayer;
class TDSTrackBar;
class TFilterGraph;
class TVideoWindow;
} // namespace preview

namespace grids {
class GridSectionStack;
class KeyValueGrid;
} // namespace grids

namespace mainform {

class TaskList;
class TTurnOffNotice;

// The converter's one working window. Its controls are public: the other windows and the batch
// run read and set them directly.
class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    // arguments: the program's command-line arguments, without the program itself.
    TMainForm(platform::Services &services, const QString &executableDirectory, const QStringList &arguments = {},
              QWidget *parent = nullptr);
    ~TMainForm() override;

    const preferences::ProgramValues &programValues() const { return m_values; }
    const QString &openDialogFilter() const { return m_openDialogFilter; }
    const QString &outputExtension() const;
    // The batch run, its clock and a close that waits for it.
    RunControl &runControl() const { return *m_runControl; }
    // The profile list and the loaded profile.
    ProfileControl &profileControl() const { return *m_profileControl; }

    // Secondary windows, created with the main window and alive as long as it is.
    std::unique_ptr<about::TAboutForm> AboutForm;
    std::unique_ptr<settings::TSettingForm> SettingForm;
    std::unique_ptr<grids::TSizeForm> SizeForm;

    using RunState = conversion::RunState;
    // The one test of whether the list, the profile and the settings may change, and a run or a
    // probe may start: true while no batch runs, whatever the widgets show.
    bool runIsIdle() const;
    // The notice shown before the computer turns off.
    std::unique_ptr<TTurnOffNotice> TurnOffNotice;
    // Ends the program as a close does, but without asking: a running batch is stopped and its
    // partial outputs removed first. For a termination request or a coming shutdown.
    void closeWithoutQuestion();
    // The task list at work: adding, probing, editing and its journal.
    TaskList &taskList() const { return *m_taskList; }

    // Toolbar.
    QToolBar *Toolbar1 = nullptr;
    QToolButton *tbtnAddFile = nullptr, *tbtnAddDir = nullptr, *tbtnUp = nullptr, *tbtnDown = nullptr,
                *tbtnRemove = nullptr, *tbtnClear = nullptr, *tbtnStart = nullptr, *tbtnStop = nullptr,
                *tbtnPause = nullptr, *tbtnSetting = nullptr, *tbtnAbout = nullptr, *tbtnHelp = nullptr;
    // Main area.
    QWidget *panMain = nullptr, *panLeft = nullptr, *panBottom = nullptr, *panBottomRight = nullptr;
    QTreeWidget *ltvTask = nullptr;
    QMenu *ppmTask = nullptr;
    // Stop's menu, and its one command.
    QMenu *ppmStop = nullptr;
    QAction *mniStopAfterCurrent = nullptr;
    QFrame *panbg = nullptr;
    QLabel *labProgramName = nullptr, *labProgramNameShadow = nullptr, *labLink = nullptr;
    // The bottom bar's two faces.
    QWidget *panBottomCenter = nullptr, *panBottomLeft = nullptr;
    QComboBox *cmbProfile = nullptr;
    QPushButton *bbtnSetting = nullptr, *bbtnBrowser = nullptr, *bbtnOpen = nullptr;
    QLineEdit *edtOutputdir = nullptr;
    QLabel *labConvertingFile = nullptr, *labElapsed = nullptr, *labRemaining = nullptr, *labCurProgress = nullptr,
           *labTotalProgress = nullptr;
    QProgressBar *pgbCurrent = nullptr, *pgbTotal = nullptr;
    // Right panel.
    widgets::SplitterBar *panSplitter = nullptr;
    QWidget *panProfile = nullptr, *panRight = nullptr, *panPreview = nullptr, *panRight1 = nullptr,
            *panPreviewButton = nullptr;
    preview::TVideoWindow *VideoWindow1 = nullptr;
    QGroupBox *gpbProfile = nullptr;
    grids::GridSectionStack *profileSections = nullptr;
    grids::KeyValueGrid *vleOutput = nullptr, *vleVideo = nullptr, *vleAudio = nullptr, *vleAdvanced = nullptr;
    QTimer *timerTime = nullptr;
    QSplitter *Splitter1 = nullptr;
    preview::TDSTrackBar *TrackBar = nullptr;
    preview::TFilterGraph *FilterGraph = nullptr;
    QToolButton *sbtnPlay = nullptr, *sbtnPause = nullptr, *sbtnStop = nullptr;
    QLabel *labPreviewTime = nullptr;

    void ReadTask(int position, int selector, ltvItemData &record) const;
    void WriteTask(int position, int selector, const ltvItemData &record);

    void DisableControlsForRun();
    void EnableControlsAfterRun();
    // The list buttons are always switched together.
    void SetListButtonsEnabled(bool enabled);
    void EnableListButtonsIfTasks();
    bool SelectDirectory(QWidget *owner, const QString &title, const QString &root, QString &folder);

    // Start-up and the main window's own preferences.
    // Event handlers.
    void cmbProfileChange();
    void tbtnStartClick();
    void tbtnStopClick();
    void tbtnPauseClick();
    void mniStopAfterCurrentClick();
    void SetGridValue(int grid, const QString &key, const QString &value);
    void ltvTaskClick();
    void ltvTaskDblClick();
    void vleOutputValidate();
    void ppmTaskPopup();
    void ShowFailureLog();
    void tbtnSettingClick();
    void bbtnSettingClick();
    // Opens target with the desktop, or tells the user that nothing could open it.
    void OpenWithDesktop(const QString &target);

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void ltvTaskResize();
    void vleOutputMouseDown();
    void repaintParameterGrids();
    void FormShow();
    void FormClose();
    void LoadMainPreferences();
    // False, after telling the user, when Preferences.ini could not be written.
    bool SaveMainPreferences();
    void timerTimeTimer();
    void FormResize();
    void panSplitterMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint position);
    void bbtnBrowserClick();
    void bbtnOpenClick();
    // Plays the first selected task's input in the preview.
    void PreviewTask();
    void sbtnPlayClick();
    void sbtnPauseClick();
    void sbtnStopClick();
    void tbtnAboutClick();
    void tbtnHelpClick();
    void labLinkMouseDown();
    void labLinkMouseUp();
    void labLinkClick();
    void FormCreate(const QString &executableDirectory, const QStringList &arguments);
    void createToolbar();
    void createMainArea();
    void createBottomBar();
    void createRightPanel();
    void createStartPanel();
    void createTaskMenu();
    void createProfileSections();
    void widenRightPanelForGrids();
    // The task list's handlers: each hands its command to the task list.
    void tbtnAddFileClick();
    void tbtnAddDirClick();
    void tbtnUpClick();
    void tbtnDownClick();
    void tbtnRemoveClick();
    void tbtnClearClick();
    // True when the key was the list's Backspace (Clear) or Delete (Remove).
    bool ltvTaskKeyDown(int key);
    int firstSelectedTask() const;
    void emptyOutputSettings();
    // The Output grid's track rows for the task of row, or empty ones for none.
    void showTrackChoices(int row);
    // The preferred languages the automatic track picks follow, "eng,ger".
    QString preferredAudioLanguages() const;
    QString preferredSubtitleLanguages() const;
    void createSecondaryWindows();
    void createPreviewPlayer();
    QList<QWidget *> controlsLockedByRun() const;

    platform::Services &m_services;
    std::unique_ptr<preview::PreviewPlayer> m_preview;
    preferences::ProgramValues m_values;
    QString m_openDialogFilter;
    int m_rememberedListWidth = mainform::InitialRememberedListWidth;
    // The output folder Preferences.ini names, and the one shown instead when that was unusable.
    QString m_storedOutputPath;
    QString m_outputPathStandIn;

    std::unique_ptr<TaskList> m_taskList;

    std::unique_ptr<ProfileControl> m_profileControl;
    std::unique_ptr<RunControl> m_runControl;
    bool m_shown = false;
    bool m_centreWhenGrowing = false;
    bool m_panelDragged = false; // the user gave the right panel its width
    widgets::BalloonTip *m_tip = nullptr;
};

} // namespace mainform
