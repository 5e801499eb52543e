#pragma once

#include <QMetaObject>

class QWidget;

namespace grids {

class KeyValueGrid;

// The user is on the "Video Size" row and it says "Custom Size", both exactly.
bool CustomSizeChosen(const KeyValueGrid &videoGrid);

// Shows sizeForm whenever a change of videoGrid leaves "Custom Size" chosen. The main window's
// Video grid has it; the settings dialog's does not.
QMetaObject::Connection ConnectCustomSizeTrigger(KeyValueGrid *videoGrid, QWidget *sizeForm);

} // namespace grids
