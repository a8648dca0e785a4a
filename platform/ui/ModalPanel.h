#pragma once

#include "platform/ui/View.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ui {

class Button;
class Label;
class PanelKeyboard;

// A panel over the whole window that waits for one of its buttons; show()
// returns at once and the choice arrives later through on_clickedButtonAtIndex.
class ModalPanel : public View {
public:
    ~ModalPanel() override;

    const std::string& title() const { return m_title; }
    const std::vector<std::string>& buttonTitles() const { return m_buttonTitles; }
    bool isVisible() const { return m_visible; }

    // Over the key window, above everything in it, with the keyboard; not
    // again while the same panel (same kind, title, text and buttons) is up.
    void show();
    // As a click on the button does: tells on_clickedButtonAtIndex, then closes.
    void dismissWithClickedButtonIndex(int index, bool animated);

    const std::vector<std::shared_ptr<Button>>& buttons() const { return m_buttons; }
    // The button Escape presses; -1 for none.
    virtual int cancelButtonIndex() const = 0;

    // The panels shown now, oldest first.
    static std::vector<std::shared_ptr<ModalPanel>> visiblePanels();
    // Takes every panel away without a choice, as the application ends.
    static void closeAll();

    std::function<void(ModalPanel& panel, int buttonIndex)> on_clickedButtonAtIndex;

protected:
    ModalPanel(std::string title, std::vector<std::string> buttonTitles);

    // Places the box and its contents; the subclass decides the look.
    virtual void layoutPanel(View& box, Label& titleLabel, const std::vector<std::shared_ptr<Button>>& buttons) = 0;

    // Style-sheet colours of a button, by its index.
    virtual const char* buttonColours(int index) const = 0;
    // What the panel says besides its title.
    virtual std::string text() const { return {}; }

private:
    static std::vector<std::shared_ptr<ModalPanel>>& shown();
    static std::shared_ptr<Button> makeButton(const std::string& title, const char* colours);
    bool isSameAs(const ModalPanel& other) const;

    std::string m_title;
    std::vector<std::string> m_buttonTitles;
    std::shared_ptr<View> m_box;
    std::shared_ptr<Label> m_titleLabel;
    std::vector<std::shared_ptr<Button>> m_buttons;
    bool m_visible = false;
    std::unique_ptr<PanelKeyboard> m_keyboard;
};

} // namespace ui
