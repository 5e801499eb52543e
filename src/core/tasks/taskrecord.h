#pragma once

#include <QString>

// The texts of one task as copied out of its row of the task list, and their seconds.
struct ltvItemData {
    QString InputFile;       // caption
    QString LengthText;      // sub-item 0
    QString SizeText;        // sub-item 1
    QString Status;          // sub-item 2
    QString NewName;         // sub-item 3
    QString OutputExt;       // sub-item 4
    QString SourceStartText; // sub-item 5
    QString SourceEndText;   // sub-item 6
    QString SpanText;        // sub-item 7
    QString StartText;       // sub-item 8
    QString EndText;         // sub-item 9
    double LengthSec = 0;
    double SourceStartSec = 0;
    double SourceEndSec = 0;
    double SpanSec = 0;
    double StartSec = 0;
    double EndSec = 0;

    bool operator==(const ltvItemData &) const = default;
};

namespace tasks {

inline constexpr int SubItemCount = 10;
// The status of a task being converted, which a run may follow with its percentage.
inline const QString ConvertingStatus = QStringLiteral("Converting");
inline const QString CompleteStatus = QStringLiteral("Complete");
// A task whose encoder the user holds; a restart begins it again as a converting one.
inline const QString PausedStatus = QStringLiteral("Paused");
// Field selectors of ReadTask and WriteTask besides the sub-item numbers 0 to 9.
inline constexpr int SelectWholeRow = -2;
inline constexpr int SelectCaption = -1;
// The sub-item, and with it the one field, each selector 0 to 9 copies.
inline constexpr int SelectLength = 0;
inline constexpr int SelectSize = 1;
inline constexpr int SelectStatus = 2;
inline constexpr int SelectNewName = 3;
inline constexpr int SelectOutputExt = 4;
inline constexpr int SelectSourceStart = 5;
inline constexpr int SelectSourceEnd = 6;
inline constexpr int SelectSpan = 7;
inline constexpr int SelectStart = 8;
inline constexpr int SelectEnd = 9;

// The task list column showing the field of a sub-item selector; column 0 holds the caption.
inline constexpr int columnOf(int selector)
{
    return selector + 1;
}

// The record field kept in sub-item 0 to 9.
QString ltvItemData::*subItemField(int subItem);

bool selectsCaption(int selector);
bool selectsSubItem(int selector, int subItem);

// Sets the seconds fields whose texts the selector names, from those texts.
void deriveSeconds(ltvItemData &record, int selector);
// Copies the texts that the selector names; the seconds stay as they are.
void copyTexts(const ltvItemData &from, ltvItemData &to, int selector);

} // namespace tasks
