#pragma once

#include "platform/ui/ModalPanel.h"

namespace ui {

class View;

// A choice that slides up from the bottom of the window. The destructive
// button is index 0, the others follow, the cancel button is last.
class ActionSheet : public ModalPanel {
public:
    ActionSheet(std::string title, std::string cancelButtonTitle, std::string destructiveButtonTitle,
                std::vector<std::string> otherButtonTitles = {});

    int destructiveButtonIndex() const { return m_destructive ? 0 : -1; }
    int cancelButtonIndex() const override { return m_cancel ? int(buttonTitles().size()) - 1 : -1; }
    // Shown over the window from the bar at its bottom.
    void showFromToolbar(View& toolbar);

protected:
    void layoutPanel(View& box, Label& titleLabel, const std::vector<std::shared_ptr<Button>>& buttons) override;
    const char* buttonColours(int index) const override;

private:
    bool m_destructive;
    bool m_cancel;
};

} // namespace ui
