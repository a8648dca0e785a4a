#include "platform/ui/ActionSheet.h"

#include "platform/ui/Button.h"
#include "platform/ui/Label.h"

namespace ui {

namespace {
constexpr double kSheetPadding = 20;
constexpr double kSheetButtonHeight = 44;
constexpr double kSheetGap = 10;
} // namespace

ActionSheet::ActionSheet(std::string title, std::string cancelButtonTitle, std::string destructiveButtonTitle,
                         std::vector<std::string> otherButtonTitles)
    : ModalPanel(std::move(title),
                 [&] {
                     std::vector<std::string> titles;
                     if (!destructiveButtonTitle.empty())
                         titles.push_back(destructiveButtonTitle);
                     titles.insert(titles.end(), otherButtonTitles.begin(), otherButtonTitles.end());
                     if (!cancelButtonTitle.empty())
                         titles.push_back(cancelButtonTitle);
                     return titles;
                 }())
    , m_destructive(!destructiveButtonTitle.empty())
    , m_cancel(!cancelButtonTitle.empty())
{
}

void ActionSheet::showFromToolbar(View&) { show(); }

const char* ActionSheet::buttonColours(int index) const
{
    if (index == destructiveButtonIndex())
        return "color: white; background: #c8302a; border: 1px solid #7d1a15;";
    if (index == cancelButtonIndex())
        return "color: white; background: #3a3a3e; border: 1px solid #1c1c1e;";
    return "color: black; background: #f2f2f5; border: 1px solid #9a9aa0;";
}

void ActionSheet::layoutPanel(View& box, Label& titleLabel, const std::vector<std::shared_ptr<Button>>& buttons)
{
    double width = frame().width;
    box.setBackgroundColor(Color{0.16, 0.17, 0.2, 0.95});
    titleLabel.setFrame(Rect{kSheetPadding, 12, width - 2 * kSheetPadding, 30});
    titleLabel.setFont(Font::systemFontOfSize(15));
    titleLabel.setTextColor(Color{0.85, 0.86, 0.9, 1});
    titleLabel.setTextAlignment(TextAlignment::Center);
    titleLabel.setAdjustsFontSizeToFitWidth(true);
    double y = 52;
    for (const auto& button : buttons) {
        button->setFrame(Rect{kSheetPadding, y, width - 2 * kSheetPadding, kSheetButtonHeight});
        y += kSheetButtonHeight + kSheetGap;
    }
    double height = y + kSheetGap;
    box.setFrame(Rect{0, frame().height - height, width, height});
}

} // namespace ui
