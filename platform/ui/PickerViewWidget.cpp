#include "platform/ui/PickerViewWidget.h"

#include "platform/ui/PickerView.h"

#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <cmath>

namespace ui {

PickerViewWidget::PickerViewWidget(PickerView& picker)
    : m_picker(picker)
{
    setFocusPolicy(Qt::StrongFocus);
}

void PickerViewWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QLinearGradient shade(0, 0, 0, height());
    shade.setColorAt(0, QColor(150, 150, 158));
    shade.setColorAt(0.2, QColor(250, 250, 252));
    shade.setColorAt(0.8, QColor(250, 250, 252));
    shade.setColorAt(1, QColor(150, 150, 158));
    painter.fillRect(rect(), shade);
}

void PickerViewWidget::wheelEvent(QWheelEvent* event)
{
    int steps = event->angleDelta().y() / 120;
    if (steps != 0)
        m_picker.userSelectRow(m_picker.selectedRowInComponent(0) - steps);
    event->accept();
}

void PickerViewWidget::keyPressEvent(QKeyEvent* event)
{
    int row = m_picker.selectedRowInComponent(0);
    if (event->key() == Qt::Key_Up)
        m_picker.userSelectRow(row - 1);
    else if (event->key() == Qt::Key_Down)
        m_picker.userSelectRow(row + 1);
    else
        QWidget::keyPressEvent(event);
}

// Taken, so that the release comes here too.
void PickerViewWidget::mousePressEvent(QMouseEvent* event) { event->accept(); }

void PickerViewWidget::mouseReleaseEvent(QMouseEvent* event)
{
    double fromMiddle = event->position().y() - height() / 2.0;
    int rows = int(std::lround(fromMiddle / PickerView::kRowHeight));
    m_picker.userSelectRow(m_picker.selectedRowInComponent(0) + rows);
}

} // namespace ui
