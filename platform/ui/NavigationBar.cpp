#include "platform/ui/NavigationBar.h"

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationItem.h"

#include <QFontMetrics>
#include <QWidget>

namespace ui {

namespace {
constexpr double kTitleInset = 80;
constexpr Rect kLeftButtonFrame{6, 7, 68, 30};
constexpr double kButtonWidth = 68;
} // namespace

Color barColor(BarStyle style)
{
    switch (style) {
    case BarStyle::Black:
        return Color{0.1, 0.1, 0.1, 1};
    case BarStyle::BlackTranslucent:
        return Color{0, 0, 0, 0.7};
    case BarStyle::Default:
        break;
    }
    return Color{0.43, 0.52, 0.64, 1};
}

NavigationBar::NavigationBar(Rect frame)
    : View(frame)
    , m_titleLabel(std::make_shared<Label>(Rect{kTitleInset, 0, frame.width - 2 * kTitleInset, frame.height}))
    , m_leftButton(std::make_shared<Button>(ButtonType::RoundedRect, kLeftButtonFrame))
    , m_rightButton(
          std::make_shared<Button>(ButtonType::RoundedRect, Rect{frame.width - kButtonWidth - 6, 7, kButtonWidth, 30}))
{
    for (auto* button : {m_leftButton.get(), m_rightButton.get()}) {
        button->setHidden(true);
        addSubview(button->shared_from_this());
    }
    m_leftButton->addTarget(
        [this](Control&) {
            // Held while its action runs: the action may replace it.
            if (auto item = m_shownLeft)
                item->trigger();
            else if (on_back)
                on_back();
        },
        ControlEvent::TouchUpInside);
    m_rightButton->addTarget(
        [this](Control&) {
            if (auto item = m_shownRight)
                item->trigger();
        },
        ControlEvent::TouchUpInside);
    m_titleLabel->setFont(Font::boldSystemFontOfSize(20));
    m_titleLabel->setTextAlignment(TextAlignment::Center);
    m_titleLabel->setAdjustsFontSizeToFitWidth(true);
    addSubview(m_titleLabel);
    setBarStyle(BarStyle::Default);
}

NavigationBar::~NavigationBar() { removeAllItems(); }

void NavigationBar::removeAllItems()
{
    for (NavigationItem* item : m_items)
        release(*item);
    m_items.clear();
    showTopItem();
}

void NavigationBar::release(NavigationItem& item)
{
    item.on_change = nullptr;
    item.on_destroy = nullptr;
}

void NavigationBar::forget(NavigationItem& item)
{
    std::erase(m_items, &item);
    followTopItem();
}

// Only the top item's changes show.
void NavigationBar::followTopItem()
{
    if (!m_items.empty())
        m_items.back()->on_change = [this] { showTopItem(); };
    showTopItem();
}

void NavigationBar::setBarStyle(BarStyle style)
{
    m_style = style;
    setBackgroundColor(barColor(style));
    m_titleLabel->setTextColor(Color::white());
}

void NavigationBar::pushNavigationItem(NavigationItem& item, bool)
{
    if (!m_items.empty())
        m_items.back()->on_change = nullptr;
    m_items.push_back(&item);
    item.on_destroy = [this, &item] { forget(item); };
    followTopItem();
}

void NavigationBar::popNavigationItem(bool)
{
    if (m_items.empty())
        return;
    release(*m_items.back());
    m_items.pop_back();
    followTopItem();
}

// The previous screen's title, or "Back" when it would not fit.
std::string NavigationBar::backTitle(const std::string& previous) const
{
    std::string title = "\u2039 " + previous;
    QFontMetrics metrics(m_leftButton->widget()->font());
    bool fits = metrics.horizontalAdvance(QString::fromStdString(title)) <= kLeftButtonFrame.width - 12;
    return previous.empty() || !fits ? "\u2039 Back" : title;
}

const std::string& NavigationBar::shownTitle() const { return m_titleLabel->text(); }

void NavigationBar::showTopItem()
{
    NavigationItem* top = topItem();
    m_titleLabel->setText(top ? top->title() : std::string());
    for (auto* shown : {&m_shownLeft, &m_shownRight}) {
        if (*shown)
            (*shown)->on_change = nullptr;
    }
    m_shownLeft = top ? top->leftBarButtonItem() : nullptr;
    m_shownRight = top ? top->rightBarButtonItem() : nullptr;
    showItem(*m_leftButton, m_shownLeft);
    showItem(*m_rightButton, m_shownRight);
    if (!m_shownLeft && m_items.size() > 1) {
        m_leftButton->setTitle(backTitle(m_items[m_items.size() - 2]->title()), ControlState::Normal);
        m_leftButton->setEnabled(true);
        m_leftButton->setHidden(false);
    }
}

void NavigationBar::showItem(Button& button, const std::shared_ptr<BarButtonItem>& item)
{
    button.setHidden(!item);
    if (!item)
        return;
    button.setTitle(item->displayText(), ControlState::Normal);
    button.setEnabled(item->isEnabled());
    item->on_change = [this] { showTopItem(); };
}

} // namespace ui
