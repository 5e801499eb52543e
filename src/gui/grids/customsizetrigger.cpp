#include "gui/grids/customsizetrigger.h"

#include "core/profiles/designedrows.h"
#include "gui/grids/keyvaluegrid.h"

namespace grids {

bool CustomSizeChosen(const KeyValueGrid &videoGrid)
{
    const int current = videoGrid.currentRow();
    return current >= 0 && videoGrid.key(current) == profiles::VideoSizeKey &&
           videoGrid.valueOf(profiles::VideoSizeKey) == profiles::CustomSizeCaption;
}

QMetaObject::Connection ConnectCustomSizeTrigger(KeyValueGrid *videoGrid, QWidget *sizeForm)
{
    return QObject::connect(videoGrid, &KeyValueGrid::StringsChange, sizeForm, [videoGrid, sizeForm] {
        if (CustomSizeChosen(*videoGrid))
            sizeForm->show();
    });
}

} // namespace grids
