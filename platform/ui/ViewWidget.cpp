#include "platform/ui/ViewWidget.h"

#include "platform/ui/GraphicsContext.h"
#include "platform/ui/View.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>

namespace ui {

ViewWidget::ViewWidget(View& view)
    : m_view(view)
{
}

void ViewWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    GraphicsContext context(painter);
    m_view.drawRect(context, m_view.bounds());
}

void ViewWidget::closeEvent(QCloseEvent* event)
{
    if (on_close)
        on_close();
    event->accept();
}

void ViewWidget::keyPressEvent(QKeyEvent* event)
{
    if (on_keyPress && on_keyPress(*event))
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

} // namespace ui
