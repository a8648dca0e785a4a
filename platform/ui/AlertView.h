#pragma once

#include "platform/ui/ModalPanel.h"

namespace ui {

// A message box in the middle of the window. Button 0 is the cancel
// button, the others follow in order.
class AlertView : public ModalPanel {
public:
    AlertView(std::string title, std::string message, std::string cancelButtonTitle,
              std::vector<std::string> otherButtonTitles = {});

    const std::string& message() const { return m_message; }

protected:
    void layoutPanel(View& box, Label& titleLabel, const std::vector<std::shared_ptr<Button>>& buttons) override;
    const char* buttonColours(int index) const override;

private:
    std::string m_message;
    std::shared_ptr<Label> m_messageLabel;
};

} // namespace ui
