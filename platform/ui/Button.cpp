#include "platform/ui/Button.h"

#include <QIcon>
#include <QPixmap>
#include <QPushButton>

namespace ui {

Button::Button(ButtonType type, Rect frame)
    : Control(new QPushButton, frame)
    , m_type(type)
{
    // A push button to assistive technologies, whose Press clicks it, in
    // either state: the selected state's title says what a press does.
    button().setFocusPolicy(Qt::StrongFocus);
    // A custom button is its image or title alone, as on the phone; the
    // owner may style it further.
    if (type == ButtonType::Custom)
        button().setStyleSheet(QStringLiteral("QPushButton { background: transparent; border: none; } "
                                              "QPushButton:pressed { background: rgba(255,255,255,70); }"));
    if (type == ButtonType::InfoLight) {
        button().setText(QStringLiteral("i"));
        button().setStyleSheet(QStringLiteral("QPushButton { color: white; border: 2px solid white; border-radius: "
                                              "7px; font: bold 10px; background: transparent; }"));
        button().setAccessibleName(QStringLiteral("Info"));
    }
    QObject::connect(&button(), &QPushButton::clicked, widget(),
                     [this] { sendActionsForControlEvents(ControlEvent::TouchUpInside); });
}

QPushButton& Button::button() const { return static_cast<QPushButton&>(*widget()); }

template <typename T>
const T* Button::forState(const std::map<ControlState, T>& values, ControlState state)
{
    // A state without its own value shows the normal state's.
    auto it = values.find(state);
    if (it == values.end())
        it = values.find(ControlState::Normal);
    return it == values.end() ? nullptr : &it->second;
}

void Button::setTitle(const std::string& title, ControlState state)
{
    m_titles[state] = title;
    updateContent();
}

std::string Button::titleForState(ControlState state) const
{
    const auto* title = forState(m_titles, state);
    return title ? *title : std::string();
}

void Button::setImage(std::shared_ptr<Image> image, ControlState state)
{
    m_images[state] = std::move(image);
    updateContent();
}

void Button::setSelected(bool selected)
{
    m_selected = selected;
    updateContent();
}

void Button::updateContent()
{
    ControlState state = m_selected ? ControlState::Selected : ControlState::Normal;
    if (m_type != ButtonType::InfoLight)
        button().setText(QString::fromStdString(titleForState(state)));
    const auto* image = forState(m_images, state);
    button().setIcon(image && *image ? QIcon((*image)->pixmap()) : QIcon());
}

} // namespace ui
