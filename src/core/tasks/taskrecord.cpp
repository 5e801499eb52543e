#include "core/tasks/taskrecord.h"

#include "core/tasks/timetext.h"

#include <array>

namespace tasks {
namespace {

constexpr std::array<QString ltvItemData::*, SubItemCount> SubItemFields{
    &ltvItemData::LengthText, &ltvItemData::SizeText,        &ltvItemData::Status,        &ltvItemData::NewName,
    &ltvItemData::OutputExt,  &ltvItemData::SourceStartText, &ltvItemData::SourceEndText, &ltvItemData::SpanText,
    &ltvItemData::StartText,  &ltvItemData::EndText,
};

struct TimedField {
    int subItem;
    QString ltvItemData::*text;
    double ltvItemData::*seconds;
};

constexpr std::array<TimedField, 6> TimedFields{{
    {SelectLength, &ltvItemData::LengthText, &ltvItemData::LengthSec},
    {SelectSourceStart, &ltvItemData::SourceStartText, &ltvItemData::SourceStartSec},
    {SelectSourceEnd, &ltvItemData::SourceEndText, &ltvItemData::SourceEndSec},
    {SelectSpan, &ltvItemData::SpanText, &ltvItemData::SpanSec},
    {SelectStart, &ltvItemData::StartText, &ltvItemData::StartSec},
    {SelectEnd, &ltvItemData::EndText, &ltvItemData::EndSec},
}};

} // namespace

QString ltvItemData::*subItemField(int subItem)
{
    return SubItemFields.at(std::size_t(subItem));
}

bool selectsCaption(int selector)
{
    return selector == SelectWholeRow || selector == SelectCaption;
}

bool selectsSubItem(int selector, int subItem)
{
    return selector == SelectWholeRow || selector == subItem;
}

void deriveSeconds(ltvItemData &record, int selector)
{
    for (const TimedField &field : TimedFields) {
        if (selectsSubItem(selector, field.subItem))
            record.*field.seconds = TimeTextToSeconds(record.*field.text);
    }
}

void copyTexts(const ltvItemData &from, ltvItemData &to, int selector)
{
    if (selectsCaption(selector))
        to.InputFile = from.InputFile;
    for (int sub = 0; sub < SubItemCount; ++sub) {
        if (selectsSubItem(selector, sub))
            to.*subItemField(sub) = from.*subItemField(sub);
    }
}

} // namespace tasks
