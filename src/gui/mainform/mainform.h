#pragma once

#include "core/conversion/batchplan.h"
#include "core/conversion/batchrules.h"
#include "core/conversion/probequeue.h"
#include "core/platform/services.h"
#include "core/preferences/programvalues.h"
#include "core/profiles/profilelist.h"
#include "core/tasks/taskjournal.h"
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

namespace tasks {
class JournalSlot;
class JournalWriter;
} // namespace tasks

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
    const tasks::ProbeResults &probeResults() const { return m_probe; }
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
    // The encoder output kept of the row's last run when it failed or was left incomplete.
    QString failureLog(int row) const;
    // The notice shown before the computer turns off.
    std::unique_ptr<TTurnOffNotice> TurnOffNotice;
    // Ends the program as a close does, but without asking: a running batch is stopped and its
    // partial outputs removed first. For a termination request or a coming shutdown.
    void closeWithoutQuestion();
    // How long a probe may take before its file is added without a length.
    void setProbeTimeLimit(int milliseconds);
    // Whether added files are still being probed: their rows come as their probes end.
    bool probingInputs() const;
    // Where the journal of this window's task list is kept; empty when it keeps none.
    QString journalPath() const;

    // Toolbar.
    QToolBar *Toolbar1 = nullptr;
    QToolButton *tbtnAddFile = nullptr, *tbtnAddDir = nullptr, *tbtnUp = nullptr, *tbtnDown = nullptr,
                *tbtnRemove = nullptr, *tbtnClear = nullptr, *tbtnStart = nullptr, *tbtnStop = nullptr,
                *tbtnSetting = nullptr, *tbtnAbout = nullptr, *tbtnHelp = nullptr;
    // Main area.
    QWidget *panMain = nullptr, *panLeft = nullptr, *panBottom = nullptr, *panBottomRight = nullptr;
    QTreeWidget *ltvTask = nullptr;
    QMenu *ppmTask = nullptr;
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

    void AddInputFile(const QString &path);
    void AddInputDirectory(const QString &directory);
    // Hands path to the probes in the background; an unconfirmed one is listed only if they find a stream.
    void ProbeMedia(const QString &path, bool unconfirmed = false);

    // Start-up and the main window's own preferences.
    // Offers back the list of a session that did not close normally, and begins this one's journal.
    void RestoreTaskList();
    void AddStartupInputs(const QStringList &arguments);

    // Event handlers.
    void cmbProfileChange();
    void tbtnStartClick();
    void tbtnStopClick();
    void tbtnAddFileClick();
    void tbtnAddDirClick();
    void tbtnUpClick();
    void tbtnDownClick();
    void tbtnRemoveClick();
    void tbtnClearClick();
    // True when the key was the list's Backspace (Clear) or Delete (Remove).
    bool ltvTaskKeyDown(int key);
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
    // Adds dropped files and folders, unless a run has the list.
    void DropFiles(const QStringList &paths);

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
    int firstSelectedTask() const;
    void exchangeTasks(int from, int to);
    void emptyOutputSettings();
    void createSecondaryWindows();
    void createPreviewPlayer();
    QList<QWidget *> controlsLockedByRun() const;
    bool offerTaskJournal(const tasks::JournalSlot &slot, const QByteArray &bytes);
    void startTaskJournal();
    void restoreTasks(tasks::TaskJournal journal);
    void applyRestoredRunSettings();
    QString outputDecidingSettings() const;
    void forgetConvertedEarlierIfChanged();
    tasks::TaskJournal journalOfTaskList() const;
    void taskJournalChangedNow();
    void closeTaskJournal();
    void noticeJournalProblem(const QString &cause);

    platform::Services &m_services;
    std::unique_ptr<preview::PreviewPlayer> m_preview;
    preferences::ProgramValues m_values;
    QString m_openDialogFilter;
    tasks::ProbeResults m_probe;
    int m_rememberedListWidth = mainform::InitialRememberedListWidth;
    int m_probeTimeLimitMs = tasks::ProbeTimeLimitMs;
    conversion::ProbeQueue &inputProbes();
    void inputProbed(const QString &path, const tasks::ProbeResults &probe);
    void inputsProbed();
    std::unique_ptr<conversion::ProbeQueue> m_probes;
    bool m_selectLoneTask = false; // the dialog's files are being probed
    // The output folder Preferences.ini names, and the one shown instead when that was unusable.
    QString m_storedOutputPath;
    QString m_outputPathStandIn;

    std::unique_ptr<tasks::JournalSlot> m_journalSlot;
    std::unique_ptr<tasks::JournalWriter> m_journal;
    QString m_restoredProfile;
    QString m_restoredOutputFolder;
    // The settings a restored list's converted rows were converted with, as far as it is known.
    QString m_restoredRunSettings;
    QSet<QString> m_journalProblems; // each told once
    bool m_keepJournalAtClose = false;

    std::unique_ptr<ProfileControl> m_profileControl;
    std::unique_ptr<RunControl> m_runControl;
    bool m_shown = false;
    bool m_centreWhenGrowing = false;
    bool m_panelDragged = false; // the user gave the right panel its width
    widgets::BalloonTip *m_tip = nullptr;
};

} // namespace mainform
