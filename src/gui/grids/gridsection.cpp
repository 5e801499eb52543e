#include "gui/grids/gridsection.h"

#include "gui/grids/keyvaluegrid.h"

#include <QEvent>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace grids {

namespace {

const QString ExpandedCaption = QStringLiteral("-");
const QString CollapsedCaption = QStringLiteral("+");
const QString CaptionIndent = QStringLiteral("      "); // clears the button at the bar's left
constexpr QRect ButtonGeometry(5, 3, 12, 12);

QFont boldened(QFont font)
{
    font.setBold(true);
    return font;
}

} // namespace

GridSection::GridSection(const QString &groupName, int keyColumnWidth, QWidget *parent)
    : QWidget(parent)
    , m_groupName(groupName)
    , m_headerBar(new QLabel(CaptionIndent + groupName, this))
    , m_button(new QToolButton(m_headerBar))
    , m_grid(new KeyValueGrid(keyColumnWidth, this))
{
    m_headerBar->setFixedHeight(HeaderBarHeight);
    m_headerBar->setFont(boldened(m_headerBar->font()));
    m_headerBar->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_headerBar->setAutoFillBackground(true);
    QPalette bar = m_headerBar->palette();
    bar.setColor(QPalette::Window, bar.color(QPalette::Dark));
    bar.setColor(QPalette::WindowText, Qt::black);
    m_headerBar->setPalette(bar);
    m_headerBar->installEventFilter(this);

    m_button->setGeometry(ButtonGeometry);
    m_button->setFont(boldened(m_button->font()));
    m_button->setText(ExpandedCaption);
    const QString hint = QStringLiteral("Show or hide the %1 parameters").arg(groupName);
    m_button->setToolTip(hint);
    m_button->setAccessibleName(hint);
    connect(m_button, &QToolButton::clicked, this, &GridSection::toggle);

    m_grid->setAccessibleName(groupName);
    m_grid->setFixedHeight(expandedGridHeight(0));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_headerBar);
    layout->addWidget(m_grid);
}

bool GridSection::isExpanded() const
{
    return m_button->text() == ExpandedCaption;
}

void GridSection::toggle()
{
    if (m_button->text() == CollapsedCaption) {
        m_grid->setFixedHeight(expandedGridHeight(m_grid->rowCount()));
        m_button->setText(ExpandedCaption);
    } else {
        m_grid->setFixedHeight(CollapsedGridHeight);
        m_button->setText(CollapsedCaption);
    }
}

int GridSection::expandedGridHeight(int rows)
{
    return rows * KeyValueGrid::RowHeight + rows + 1;
}

bool GridSection::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_headerBar && event->type() == QEvent::MouseButtonDblClick && m_headerDoubleClickToggles) {
        toggle();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace grids
