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
    int cancelButtonIndex() const override { return m_hasCancel ? 0 : -1; }

protected:
    void layoutPanel(View& box, Label& titleLabel, const std::vector<std::shared_ptr<Button>>& buttons) override;
    const char* buttonColours(int index) const override;
    std::string text() const override { return m_message; }

private:
    std::string m_message;
    bool m_hasCancel;
    std::shared_ptr<Label> m_messageLabel;
};

} // namespace ui
