#include "platform/ui/AlertView.h"

#include "platform/ui/Button.h"
#include "platform/ui/Label.h"

#include <algorithm>

namespace ui {

namespace {
constexpr double kWidth = 280;
constexpr double kPadding = 12;
constexpr double kButtonHeight = 40;
} // namespace

AlertView::AlertView(std::string title, std::string message, std::string cancelButtonTitle,
                     std::vector<std::string> otherButtonTitles)
    : ModalPanel(std::move(title),
                 [&] {
                     std::vector<std::string> titles;
                     if (!cancelButtonTitle.empty())
                         titles.push_back(cancelButtonTitle);
                     titles.insert(titles.end(), otherButtonTitles.begin(), otherButtonTitles.end());
                     return titles;
                 }())
    , m_message(std::move(message))
    , m_hasCancel(!cancelButtonTitle.empty())
    , m_messageLabel(std::make_shared<Label>())
{
    m_messageLabel->setText(m_message);
}

const char* AlertView::buttonColours(int index) const
{
    return index == 0 ? "color: white; background: #3d5a8c; border: 1px solid #a9b8d6;"
                      : "color: white; background: #5d7bb0; border: 1px solid #a9b8d6;";
}

void AlertView::layoutPanel(View& box, Label& titleLabel, const std::vector<std::shared_ptr<Button>>& buttons)
{
    box.setBackgroundColor(Color{0.1, 0.17, 0.33, 0.95});
    titleLabel.setFrame(Rect{kPadding, kPadding, kWidth - 2 * kPadding, 26});
    titleLabel.setFont(Font::boldSystemFontOfSize(18));
    titleLabel.setTextColor(Color::white());
    titleLabel.setTextAlignment(TextAlignment::Center);
    m_messageLabel->setFont(Font::systemFontOfSize(16));
    m_messageLabel->setTextColor(Color::white());
    m_messageLabel->setTextAlignment(TextAlignment::Center);
    m_messageLabel->setNumberOfLines(0);
    double messageHeight = std::max(24.0, m_messageLabel->heightForWidth(kWidth - 2 * kPadding));
    m_messageLabel->setFrame(Rect{kPadding, 44, kWidth - 2 * kPadding, messageHeight});
    box.addSubview(m_messageLabel);

    double y = 44 + messageHeight + kPadding;
    double width = (kWidth - kPadding * double(buttons.size() + 1)) / double(std::max<std::size_t>(buttons.size(), 1));
    for (std::size_t i = 0; i < buttons.size(); ++i)
        buttons[i]->setFrame(Rect{kPadding + double(i) * (width + kPadding), y, width, kButtonHeight});
    double height = y + kButtonHeight + kPadding;
    box.setFrame(Rect{(frame().width - kWidth) / 2, (frame().height - height) / 2, kWidth, height});
}

} // namespace ui
