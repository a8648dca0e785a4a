#include "platform/ui/ViewController.h"

#include "platform/core/RunLoop.h"
#include "platform/ui/Application.h"

#include <algorithm>

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
        bool hadKeyboard = old->hasKeyboardFocus();
        m_view->setFrame(old->frame());
        const auto& siblings = superview->subviews();
        auto index = std::size_t(std::find(siblings.begin(), siblings.end(), old) - siblings.begin());
        old->removeFromSuperview();
        superview->insertSubview(m_view, index);
        if (hadKeyboard)
            takeKeyboardFocus();
    }
}

std::shared_ptr<View> ViewController::keyboardView()
{
    return m_modalViewController ? m_modalViewController->keyboardView() : view();
}

void ViewController::takeKeyboardFocus()
{
    if (auto target = keyboardView())
        target->takeKeyboardFocus();
}

void ViewController::loadView()
{
    auto view = std::make_shared<View>(kContentFrame);
    view->setBackgroundColor(Color::white());
    setView(view);
}

void ViewController::setEditing(bool editing, bool)
{
    m_editing = editing;
    if (m_editButtonItem)
        m_editButtonItem->setTitle(editing ? "Done" : "Edit");
}

const std::shared_ptr<BarButtonItem>& ViewController::editButtonItem()
{
    if (!m_editButtonItem) {
        m_editButtonItem = std::make_shared<BarButtonItem>(m_editing ? "Done" : "Edit", BarButtonItemStyle::Bordered,
                                                           [this](BarButtonItem&) { setEditing(!m_editing, true); });
    }
    return m_editButtonItem;
}

void ViewController::presentModalViewController(std::shared_ptr<ViewController> controller, bool animated)
{
    if (!controller || m_modalViewController)
        return;
    auto presenting = view();
    View* host = presenting->superview() ? presenting->superview() : presenting.get();
    Rect area = presenting->superview() ? presenting->frame() : presenting->bounds();
    m_modalViewController = std::move(controller);
    m_modalViewController->m_parentViewController = this;
    auto modal = m_modalViewController->view();
    bool keyboardHere = presenting->hasKeyboardFocusOrNone();
    modal->setFrame(animated ? Rect{area.x, area.y + area.height, area.width, area.height} : area);
    host->addSubview(modal);
    if (keyboardHere)
        m_modalViewController->takeKeyboardFocus();
    if (!animated) {
        coverPresentingView();
        return;
    }
    View::animate(kModalAnimationDuration, [&] { modal->setFrame(area); });
    Application::sharedApplication().runLoop().scheduleAfter(kModalAnimationDuration, [weak = weak_from_this()] {
        if (auto self = weak.lock())
            self->coverPresentingView();
    });
}

// Once covered, the screen beneath is out of sight: assistive technologies
// and the Tab key no longer reach it.
void ViewController::coverPresentingView()
{
    if (m_modalViewController && m_view && m_view->superview())
        m_view->setHidden(true);
}

void ViewController::dismissModalViewControllerAnimated(bool animated)
{
    if (!m_modalViewController) {
        if (m_parentViewController)
            m_parentViewController->dismissModalViewControllerAnimated(animated);
        return;
    }
    auto controller = std::move(m_modalViewController);
    controller->m_parentViewController = nullptr;
    auto modal = controller->view();
    if (m_view)
        m_view->setHidden(false);
    if (modal->hasKeyboardFocusOrNone())
        takeKeyboardFocus();
    if (!animated) {
        modal->removeFromSuperview();
        return;
    }
    Rect area = modal->frame();
    View::animate(kModalAnimationDuration, [&] {
        modal->setFrame(Rect{area.x, area.y + area.height, area.width, area.height});
    });
    // Taken away once it has slid out of sight, unless shown again by then.
    Application::sharedApplication().runLoop().scheduleAfter(kModalAnimationDuration, [modal, controller] {
        if (!controller->m_parentViewController)
            modal->removeFromSuperview();
    });
}

} // namespace ui
