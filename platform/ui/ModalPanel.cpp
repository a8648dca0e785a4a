#include "platform/ui/ModalPanel.h"

#include "platform/core/Log.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/Window.h"

#include <QWidget>

#include <algorithm>

namespace ui {

ModalPanel::ModalPanel(std::string title, std::vector<std::string> buttonTitles)
    : View(Rect{0, 0, Window::kScreenSize.width, Window::kScreenSize.height})
    , m_title(std::move(title))
    , m_buttonTitles(std::move(buttonTitles))
    , m_box(std::make_shared<View>())
    , m_titleLabel(std::make_shared<Label>())
{
    setBackgroundColor(Color{0, 0, 0, 0.4});
    addSubview(m_box);
    m_titleLabel->setText(m_title);
    m_box->addSubview(m_titleLabel);
}

ModalPanel::~ModalPanel() = default;

std::vector<std::shared_ptr<ModalPanel>>& ModalPanel::shown()
{
    static std::vector<std::shared_ptr<ModalPanel>> panels;
    return panels;
}

std::vector<std::shared_ptr<ModalPanel>> ModalPanel::visiblePanels() { return shown(); }

void ModalPanel::closeAll()
{
    auto panels = std::move(shown());
    shown().clear();
    for (auto& panel : panels) {
        panel->m_visible = false;
        panel->removeFromSuperview();
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

void ModalPanel::show()
{
    if (m_visible)
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
    if (on_clickedButtonAtIndex)
        on_clickedButtonAtIndex(*this, index);
}

} // namespace ui
