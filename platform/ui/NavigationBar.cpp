#include "platform/ui/NavigationBar.h"

#include "platform/ui/Label.h"
#include "platform/ui/NavigationItem.h"

namespace ui {

namespace {
constexpr double kTitleInset = 70;
}

NavigationBar::NavigationBar(Rect frame)
    : View(frame)
    , m_titleLabel(std::make_shared<Label>(Rect{kTitleInset, 0, frame.width - 2 * kTitleInset, frame.height}))
{
    m_titleLabel->setFont(Font::boldSystemFontOfSize(20));
    m_titleLabel->setTextAlignment(TextAlignment::Center);
    m_titleLabel->setAdjustsFontSizeToFitWidth(true);
    addSubview(m_titleLabel);
    setBarStyle(BarStyle::Default);
}

NavigationBar::~NavigationBar() { removeAllItems(); }

void NavigationBar::removeAllItems()
{
    if (!m_items.empty())
        m_items.back()->on_change = nullptr;
    m_items.clear();
    showTopItem();
}

void NavigationBar::setBarStyle(BarStyle style)
{
    m_style = style;
    setBackgroundColor(style == BarStyle::Default ? Color{0.43, 0.52, 0.64, 1} : Color{0.1, 0.1, 0.1, 1});
    m_titleLabel->setTextColor(Color::white());
}

void NavigationBar::pushNavigationItem(NavigationItem& item, bool)
{
    if (!m_items.empty())
        m_items.back()->on_change = nullptr;
    m_items.push_back(&item);
    item.on_change = [this] { showTopItem(); };
    showTopItem();
}

const std::string& NavigationBar::shownTitle() const { return m_titleLabel->text(); }

void NavigationBar::showTopItem() { m_titleLabel->setText(m_items.empty() ? std::string() : m_items.back()->title()); }

} // namespace ui
