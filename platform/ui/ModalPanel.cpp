#include "platform/ui/ModalPanel.h"

#include "platform/core/Log.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/PanelKeyboard.h"
#include "platform/ui/Window.h"

#include <QWidget>

#include <algorithm>
#include <typeinfo>

namespace ui {

ModalPanel::ModalPanel(std::string title, std::vector<std::string> buttonTitles)
    : View(Rect{0, 0, Window::kScreenSize.width, Window::kScreenSize.height})
    , m_title(std::move(title))
    , m_buttonTitles(std::move(buttonTitles))
    , m_box(std::make_shared<View>())
    , m_titleLabel(std::make_shared<Label>())
    , m_keyboard(std::make_unique<PanelKeyboard>(*this))
{
    setBackgroundColor(Color{0, 0, 0, 0.4});
    addSubview(m_box);
    m_titleLabel->setText(m_title);
    m_box->addSubview(m_titleLabel);
}

ModalPanel::~ModalPanel() = default;

std::vector<std::shared_ptr<ModalPanel>>& ModalPanel::shown() { return Application::sharedApplication().shownPanels(); }

std::vector<std::shared_ptr<ModalPanel>> ModalPanel::visiblePanels() { return shown(); }

void ModalPanel::closeAll()
{
    auto panels = std::move(shown());
    shown().clear();
    for (auto& panel : panels) {
        panel->m_visible = false;
        panel->removeFromSuperview();
        panel->m_keyboard->giveBack();
    }
}

std::shared_ptr<Button> ModalPanel::makeButton(const std::string& title, const char* colours)
{
    auto button = std::make_shared<Button>(ButtonType::Custom);
    button->setTitle(title, ControlState::Normal);
    button->widget()->setStyleSheet(
        QStringLiteral("QPushButton { %1 border-radius: 6px; font: bold 16px; }").arg(QString::fromUtf8(colours)));
    return button;
}

bool ModalPanel::isSameAs(const ModalPanel& other) const
{
    return typeid(*this) == typeid(other) && m_title == other.m_title && m_buttonTitles == other.m_buttonTitles
        && text() == other.text();
}

void ModalPanel::show()
{
    // A second copy over the first (Return pressed twice) would answer twice.
    auto& panels = shown();
    if (m_visible || std::any_of(panels.begin(), panels.end(), [this](auto& panel) { return isSameAs(*panel); }))
        return;
    if (m_buttons.empty()) {
        for (std::size_t i = 0; i < m_buttonTitles.size(); ++i) {
            int index = int(i);
            m_buttons.push_back(makeButton(m_buttonTitles[i], buttonColours(index)));
            m_buttons.back()->addTarget([this, index](Control&) { dismissWithClickedButtonIndex(index, true); },
                                        ControlEvent::TouchUpInside);
            m_box->addSubview(m_buttons.back());
        }
    }
    layoutPanel(*m_box, *m_titleLabel, m_buttons);
    auto self = std::static_pointer_cast<ModalPanel>(shared_from_this());
    shown().push_back(self);
    m_visible = true;
    if (Window* window = Application::sharedApplication().keyWindow())
        window->addSubview(self);
    else
        core::Log::system("A message has no window to show in: " + m_title);
    m_keyboard->take();
}

void ModalPanel::dismissWithClickedButtonIndex(int index, bool)
{
    if (!m_visible)
        return;
    auto self = std::static_pointer_cast<ModalPanel>(shared_from_this());
    m_visible = false;
    auto& panels = shown();
    panels.erase(std::remove(panels.begin(), panels.end(), self), panels.end());
    removeFromSuperview();
    m_keyboard->giveBack();
    if (on_clickedButtonAtIndex)
        on_clickedButtonAtIndex(*this, index);
}

} // namespace ui
