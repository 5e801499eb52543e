// The main window's task-list handlers: selection, the popup menu.
#include <mainform.h>

#include <QAction>
#include <QMenu>
#include <QTreeWidget>

void TMainForm::ltvTaskClick()
{
}

void TMainForm::ltvTaskDblClick()
{
}

void TMainForm::ppmTaskPopup()
{
    const bool selection = !ltvTask->selectedItems().isEmpty();
    for (QAction *action : ppmTask->actions()) {
        if (action->objectName() == QLatin1String("mnuOpen") || action->objectName() == QLatin1String("mnuRemove"))
            action->setEnabled(selection);
        else if (action->objectName() == QLatin1String("mnuClear"))
            action->setEnabled(ltvTask->topLevelItemCount() > 0);
    }
}
