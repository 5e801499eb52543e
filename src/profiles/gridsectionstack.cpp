#include "gridsectionstack.h"

#include "gridsection.h"
#include "keyvaluegrid.h"

#include <QVBoxLayout>

namespace profiles {

GridSectionStack::GridSectionStack(QWidget *parent)
    : QScrollArea(parent)
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
    return section;
}

void GridSectionStack::repaintGrids()
{
    for (GridSection *section : std::as_const(m_sections))
        section->grid()->viewport()->update();
}

} // namespace profiles
