#include "platform/ui/ViewController.h"

namespace ui {

std::shared_ptr<View> ViewController::view()
{
    if (!m_view)
        loadView();
    if (!m_viewDidLoad) {
        m_viewDidLoad = true;
        viewDidLoad();
    }
    return m_view;
}

void ViewController::setView(std::shared_ptr<View> view)
{
    auto old = std::move(m_view);
    m_view = std::move(view);
    if (!old || !m_view)
        return;
    if (View* superview = old->superview()) {
        m_view->setFrame(old->frame());
        old->removeFromSuperview();
        superview->addSubview(m_view);
    }
}

void ViewController::loadView()
{
    auto view = std::make_shared<View>(kContentFrame);
    view->setBackgroundColor(Color::white());
    setView(view);
}

} // namespace ui
