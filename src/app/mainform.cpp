#include "mainform.h"

#include <encoderrun.h>
#include <tasklistrows.h>

#include <QApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTreeWidget>

namespace {
const QStringList TaskColumns{QStringLiteral("Input File"), QStringLiteral("Length"), QStringLiteral("Size"),
                              QStringLiteral("Status")};
constexpr int TaskColumnWidths[] = {260, 90, 80, 100};
} // namespace

TMainForm::TMainForm(platform::Services &services, const QString &executableDirectory, QWidget *parent)
    : QMainWindow(parent), m_services(services)
{
    setObjectName(QStringLiteral("MainForm"));
    resize(798, 542);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    createTaskList();
    FormCreate(executableDirectory);
}

TMainForm::~TMainForm()
{
    TerminateEncoder();
}

void TMainForm::createTaskList()
{
    ltvTask = new QTreeWidget(this);
    ltvTask->setObjectName(QStringLiteral("ltvTask"));
    ltvTask->setAccessibleName(QStringLiteral("Task List"));
    ltvTask->setRootIsDecorated(false);
    ltvTask->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ltvTask->setSelectionBehavior(QAbstractItemView::SelectRows);
    ltvTask->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ltvTask->setSortingEnabled(false);
    ltvTask->header()->setSectionsClickable(false);
    // Column 0 is the caption, columns 1 to 10 the sub-items; only the first three sub-items show.
    QStringList headers = TaskColumns;
    for (int sub = TaskColumns.size() - 1; sub < tasks::SubItemCount; ++sub)
        headers << QString();
    ltvTask->setHeaderLabels(headers);
    for (int column = TaskColumns.size(); column <= tasks::SubItemCount; ++column)
        ltvTask->setColumnHidden(column, true);
    setCentralWidget(ltvTask);
}

void TMainForm::FormCreate(const QString &executableDirectory)
{
    m_values = app::programValuesFor(executableDirectory);
    ltvTask->header()->setStyleSheet(QStringLiteral("QHeaderView::section { background-color: rgb(243, 243, 243); }"));
    QApplication::setApplicationDisplayName(QString());
    QApplication::setApplicationName(app::ProgramName);
    setWindowTitle(m_values.mainCaption());
    setAccessibleName(m_values.mainCaption());
    m_openDialogFilter = app::OpenDialogFilter();
    for (int column = 0; column < int(std::size(TaskColumnWidths)); ++column)
        ltvTask->setColumnWidth(column, TaskColumnWidths[column]);
}

void TMainForm::ReadTask(int position, int selector, ltvItemData &record) const
{
    tasks::ReadTask(*ltvTask, position, selector, record);
}

void TMainForm::WriteTask(int position, int selector, const ltvItemData &record)
{
    tasks::WriteTask(*ltvTask, position, selector, record);
}

void TMainForm::TerminateEncoder()
{
    conversion::TerminateEncoder(m_encoder.get());
}
