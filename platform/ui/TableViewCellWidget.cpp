#include "platform/ui/TableViewCellWidget.h"

#include "platform/ui/FocusRing.h"
#include "platform/ui/TableViewCell.h"

#include <QMouseEvent>
#include <QPainter>

#include <cstdlib>

namespace ui {

TableViewCellWidget::TableViewCellWidget(TableViewCell& cell)
    : m_cell(cell)
{
}

void TableViewCellWidget::mousePressEvent(QMouseEvent* event)
{
    m_pressPosition = event->position().toPoint();
    m_swiped = false;
    m_cell.pressed();
}

void TableViewCellWidget::mouseMoveEvent(QMouseEvent* event)
{
    QPoint moved = event->position().toPoint() - m_pressPosition;
    if (!m_swiped && std::abs(moved.x()) > kSwipeDistance && std::abs(moved.x()) > 2 * std::abs(moved.y())) {
        m_swiped = true;
        m_cell.released(false);
        m_cell.swiped();
    }
}

void TableViewCellWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_swiped)
        m_cell.released(rect().contains(event->position().toPoint()));
}

} // namespace ui

namespace ui {

void TableViewCellWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(QColor(200, 200, 204));
    painter.drawLine(0, height() - 1, width(), height() - 1);
    QWidget* table = parentWidget();
    if (!m_cell.isKeyboardChoice() || !table || !table->hasFocus())
        return;
    FocusRing::draw(painter, rect());
}

} // namespace ui
