#include "StrayWindowWatch.h"

#include "platform/ui/ViewWidget.h"
#include "platform/ui/Window.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QWidget>

namespace {

bool isExpectedWindow(const QWidget& widget)
{
    auto type = widget.windowType();
    if (type == Qt::Popup || type == Qt::ToolTip || qobject_cast<const QDialog*>(&widget))
        return true;
    const auto* view = dynamic_cast<const ui::ViewWidget*>(&widget);
    return view && dynamic_cast<const ui::Window*>(&view->view());
}

} // namespace

StrayWindowWatch::StrayWindowWatch() { QApplication::instance()->installEventFilter(this); }

StrayWindowWatch::~StrayWindowWatch() { QApplication::instance()->removeEventFilter(this); }

bool StrayWindowWatch::eventFilter(QObject* watched, QEvent* event)
{
    auto* widget = event->type() == QEvent::Show ? qobject_cast<QWidget*>(watched) : nullptr;
    if (widget && widget->isWindow() && !isExpectedWindow(*widget)) {
        m_strays.push_back(std::string(widget->metaObject()->className()) + " " + std::to_string(widget->width()) + "x"
                           + std::to_string(widget->height()) + " \"" + widget->accessibleName().toStdString() + "\"");
    }
    return false;
}
