#include "gui/grids/gridsectionstack.h"

#include "gui/grids/gridsection.h"
#include "gui/grids/keyvaluegrid.h"
#include "gui/grids/profilegrids.h"

#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace grids {

GridSectionStack::GridSectionStack(QWidget *parent) : QScrollArea(parent)
{
    auto *content = new QWidget;
    content->setBackgroundRole(QPalette::Base);
    content->setAutoFillBackground(true);
    m_layout = new QVBoxLayout(content);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_layout->addStretch();
    setWidget(content);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setBackgroundRole(QPalette::Base);
    setFrameShape(QFrame::NoFrame);
}

GridSection *GridSectionStack::addSection(const QString &groupName, int keyColumnWidth)
{
    auto *section = new GridSection(groupName, keyColumnWidth, widget());
    m_layout->insertWidget(m_layout->count() - 1, section);
    m_sections.append(section);
    connect(section->grid(), &KeyValueGrid::MouseDown, this, &GridSectionStack::repaintGrids);
    // A scroll area does not pass its content's new minimum on by itself.
    connect(section->grid(), &KeyValueGrid::StringsChange, this, [this] { updateGeometry(); });
    return section;
}

KeyValueGrid *GridSectionStack::addDesignedSection(profiles::DesignedGrid which, int keyColumnWidth)
{
    const QString name = profiles::GroupName(which);
    GridSection *section = addSection(name, keyColumnWidth);
    section->button()->setObjectName(QStringLiteral("btn") + name);
    KeyValueGrid *grid = section->grid();
    grid->setObjectName(QStringLiteral("vle") + name);
    grid->setAccessibleName(name);
    FillDesignedRows(*grid, which);
    return grid;
}

QSize GridSectionStack::minimumSizeHint() const
{
    // Asked of the grids themselves: the layouts between them and this cache their hints until
    // they are next laid out.
    int widest = 0;
    for (const GridSection *section : m_sections)
        widest = qMax(widest, section->grid()->minimumSizeHint().width());
    const int width = widest + verticalScrollBar()->sizeHint().width() + 2 * frameWidth();
    return {width, QScrollArea::minimumSizeHint().height()};
}

void GridSectionStack::repaintGrids()
{
    for (GridSection *section : std::as_const(m_sections))
        section->grid()->viewport()->update();
}

} // namespace grids
