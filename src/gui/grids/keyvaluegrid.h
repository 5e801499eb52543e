#pragma once

#include <QStringList>
#include <QTableWidget>

namespace grids {

class PickListPopup;

// A two-column key/value grid without a title row: a fixed key column and an editable value
// column. Each row has a read-only flag and an edit style; a pick-list row carries its captions.
class KeyValueGrid : public QTableWidget {
    Q_OBJECT

public:
    enum class EditStyle { PlainText, PickList };
    static constexpr int KeyColumn = 0;
    static constexpr int ValueColumn = 1;
    static constexpr int RowHeight = 17; // without the grid line below each row

    explicit KeyValueGrid(int keyColumnWidth, QWidget *parent = nullptr);

    int appendRow(const QString &key, const QString &value = QString());
    void clearRows();
    // Keys are compared without regard to case; -1 when there is no such row.
    int findRow(const QString &key) const;
    QString key(int row) const;
    QString value(int row) const;
    // Empty when there is no such row.
    QString valueOf(const QString &key) const;
    void setValue(int row, const QString &value);
    // Sets the row's value, appending a row for key when there is none.
    void SetGridValue(const QString &key, const QString &value);

    bool isReadOnly(int row) const;
    void setReadOnly(int row, bool readOnly);
    EditStyle editStyle(int row) const;
    void setEditStyle(int row, EditStyle style);
    QStringList pickList(int row) const;
    void setPickList(int row, const QStringList &captions);
    // Read-only plain text: drawn greyed, and the user cannot change it.
    bool isFixed(int row) const;

    // What the user does to a pick-list row: open its drop-down, choose a caption from it, or
    // step to the next caption (after the last back to the first) with a double-click.
    void openPickList(int row);
    void choosePickListEntry(int row, const QString &caption);
    void stepToNextCaption(int row);
    QRect dropDownButtonRect(int row) const;
    PickListPopup *pickListPopup() const { return m_popup; }

    // The focus is in the grid or in its in-place editor.
    bool hasFocusWithin() const;

    // The widths that show every key, and every value and caption beside its drop-down button,
    // whole. The key column never starts narrower than keyColumnNeeds(); the value column takes
    // what is left of the width, so the grid never scrolls sideways. The minimum size hint is the
    // key column as it is and the value column as it needs to be.
    int keyColumnNeeds() const;
    int valueColumnNeeds() const;
    QSize minimumSizeHint() const override;

signals:
    // After any change of the rows or of a value.
    void StringsChange();
    // The user changed a value and left it: moved to another cell, pressed Enter, or the grid
    // lost the focus.
    void Validate(int row, const QString &key, const QString &value);
    void MouseDown();

protected:
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    friend class KeyValueCellDelegate;
    void acceptTypedValue(int row, const QString &text);
    void changeValueAsUser(int row, const QString &value);
    void handlePress(QMouseEvent *event);
    void updateValueFlags(int row);
    bool onColumnBoundary(const QPoint &viewportPosition) const;
    void fitColumns();
    int cellWidthFor(const QString &text) const;

    PickListPopup *m_popup = nullptr;
    bool m_sizingKeyColumn = false;
    int m_keyColumnWidth; // as designed, or as the user dragged it
};

} // namespace grids
