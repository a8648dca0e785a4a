#include "platform/ui/Toolbar.h"

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/SystemItemImage.h"

#include <QWidget>

namespace ui {

namespace {

constexpr double kMargin = 6;
constexpr double kIconWidth = 40;
constexpr double kCharacterWidth = 9;
constexpr double kTextPadding = 20;

bool isSpace(const BarButtonItem& item)
{
    return item.isSystemItem() && item.systemItem() == BarButtonSystemItem::FlexibleSpace;
}

std::shared_ptr<Button> makeButton(BarButtonItem& item)
{
    auto button = std::make_shared<Button>(ButtonType::Custom);
    auto image = item.isSystemItem() ? SystemItemImage::forItem(item.systemItem()) : nullptr;
    if (image)
        button->setImage(image, ControlState::Normal);
    else
        button->setTitle(item.displayText(), ControlState::Normal);
    button->widget()->setAccessibleName(QString::fromStdString(item.accessibilityLabel()));
    button->widget()->setStyleSheet(QStringLiteral(
        "QPushButton { color: white; background: rgba(255,255,255,30); border: 1px solid rgba(255,255,255,90); "
        "border-radius: 4px; font: bold 13px; } QPushButton:pressed { background: rgba(255,255,255,80); }"));
    button->setEnabled(item.isEnabled());
    std::weak_ptr<BarButtonItem> weak = item.shared_from_this();
    button->addTarget(
        [weak](Control&) {
            if (auto item = weak.lock())
                item->trigger();
        },
        ControlEvent::TouchUpInside);
    return button;
}

} // namespace

Toolbar::Toolbar(Rect frame)
    : View(frame)
{
    setBarStyle(BarStyle::Default);
}

Toolbar::~Toolbar() = default;

void Toolbar::setBarStyle(BarStyle style)
{
    m_style = style;
    setBackgroundColor(barColor(style));
}

void Toolbar::setItems(std::vector<std::shared_ptr<BarButtonItem>> items, bool)
{
    for (auto& button : m_buttons) {
        if (button)
            button->removeFromSuperview();
    }
    m_buttons.clear();
    m_items = std::move(items);
    for (auto& item : m_items) {
        m_buttons.push_back(isSpace(*item) ? nullptr : makeButton(*item));
        if (m_buttons.back())
            addSubview(m_buttons.back());
    }
    layoutItems();
}

Button* Toolbar::buttonForItem(const BarButtonItem& item) const
{
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i].get() == &item)
            return m_buttons[i].get();
    }
    return nullptr;
}

void Toolbar::layoutItems()
{
    std::vector<double> widths;
    double fixed = 0;
    int spaces = 0;
    for (auto& item : m_items) {
        double width = 0;
        if (isSpace(*item))
            ++spaces;
        else if (item->isSystemItem() && SystemItemImage::forItem(item->systemItem()))
            width = kIconWidth;
        else
            width = kTextPadding + kCharacterWidth * double(item->displayText().size());
        widths.push_back(width);
        fixed += width;
    }
    double available = frame().width - 2 * kMargin - kMargin * double(m_items.empty() ? 0 : m_items.size() - 1);
    double spaceWidth = spaces ? std::max(0.0, available - fixed) / spaces : 0;
    double x = kMargin;
    double height = frame().height - 6;
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        double width = m_buttons[i] ? widths[i] : spaceWidth;
        if (m_buttons[i])
            m_buttons[i]->setFrame(Rect{x, 3, width, height});
        x += width + kMargin;
    }
}

} // namespace ui
