#include "customsizetrigger.h"

#include "designedrows.h"
#include "keyvaluegrid.h"

namespace profiles {

bool CustomSizeChosen(const KeyValueGrid &videoGrid)
{
    const int current = videoGrid.currentRow();
    return current >= 0 && videoGrid.key(current) == VideoSizeKey
        && videoGrid.valueOf(VideoSizeKey) == CustomSizeCaption;
}

QMetaObject::Connection ConnectCustomSizeTrigger(KeyValueGrid *videoGrid, QWidget *sizeForm)
{
    return QObject::connect(videoGrid, &KeyValueGrid::StringsChange, sizeForm, [videoGrid, sizeForm] {
        if (CustomSizeChosen(*videoGrid))
            sizeForm->show();
    });
}

} // namespace profiles
