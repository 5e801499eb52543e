#pragma once

#include "programvalues.h"
#include "windowgeometry.h"

#include <mediaprobe.h>
#include <services.h>
#include <taskrecord.h>

#include <QMainWindow>

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
class QTreeWidget;
class SplitterBar;

// The converter's one working window. Its controls are public: the other windows and the batch
// run read and set them directly.
class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    TMainForm(platform::Services &services, const QString &executableDirectory, QWidget *parent = nullptr);
    ~TMainForm() override;

    const app::ProgramValues &programValues() const { return m_values; }
    const QString &openDialogFilter() const { return m_openDialogFilter; }
    const QString &outputExtension() const { return m_outputExtension; }
    const tasks::ProbeResults &probeResults() const { return m_probe; }

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
    QLabel *labConvertingFile = nullptr, *labElapsed = nullptr, *labRemaining = nullptr,
           *labCurProgress = nullptr, *labTotalProgress = nullptr;
    QProgressBar *pgbCurrent = nullptr, *pgbTotal = nullptr;
    // Right panel.
    SplitterBar *panSplitter = nullptr;
    QWidget *panProfile = nullptr, *panRight = nullptr, *panPreview = nullptr, *panRight1 = nullptr,
            *panPreviewButton = nullptr, *VideoWindow1 = nullptr;
    QGroupBox *gpbProfile = nullptr;
    QSplitter *Splitter1 = nullptr;
    QSlider *TrackBar = nullptr;
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
    void ProbeMedia(const QString &path);
    void TerminateEncoder();

    // Event handlers.
    void FormResize();
    void ltvTaskResize();
    void panSplitterMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint position);
    void bbtnBrowserClick();
    void bbtnOpenClick();
    void tbtnAddFileClick();
    void tbtnAddDirClick();
    void ltvTaskClick();
    void ltvTaskDblClick();
    void ppmTaskPopup();
    void labLinkMouseDown();
    void labLinkMouseUp();
    void labLinkClick();
    // Adds dropped files and folders, unless a run has the list.
    void DropFiles(const QStringList &paths);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void FormCreate(const QString &executableDirectory);
    void createToolbar();
    void createMainArea();
    void createBottomBar();
    void createRightPanel();
    void createStartPanel();
    void createTaskMenu();

    platform::Services &m_services;
    app::ProgramValues m_values;
    QString m_openDialogFilter;
    QString m_outputExtension;
    tasks::ProbeResults m_probe;
    int m_rememberedListWidth = app::InitialRememberedListWidth;
    std::unique_ptr<platform::ChildProcess> m_encoder; // the encoder started last
};
