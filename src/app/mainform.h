#pragma once

#include "programvalues.h"

#include <services.h>
#include <taskrecord.h>

#include <QMainWindow>

#include <memory>

class QTreeWidget;

// The converter's one working window.
class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    TMainForm(platform::Services &services, const QString &executableDirectory, QWidget *parent = nullptr);
    ~TMainForm() override;

    const app::ProgramValues &programValues() const { return m_values; }
    const QString &openDialogFilter() const { return m_openDialogFilter; }

    QTreeWidget *ltvTask = nullptr;

    void ReadTask(int position, int selector, ltvItemData &record) const;
    void WriteTask(int position, int selector, const ltvItemData &record);

    void TerminateEncoder();

private:
    void FormCreate(const QString &executableDirectory);
    void createTaskList();

    platform::Services &m_services;
    app::ProgramValues m_values;
    QString m_openDialogFilter;
    std::unique_ptr<platform::ChildProcess> m_encoder; // the encoder started last
};
