#pragma once

#include "platform/ui/Control.h"
#include "platform/ui/Image.h"

#include <map>
#include <memory>
#include <string>

class QPushButton;

namespace ui {

enum class ButtonType { Custom = 0, RoundedRect = 1, InfoLight = 3 };
enum class ControlState { Normal = 0, Highlighted = 1, Selected = 4 };

// A push button with a title (and image) per state. A click sends
// touch-up-inside; being selected is up to the owner, not the click.
class Button : public Control {
public:
    explicit Button(ButtonType type = ButtonType::RoundedRect, Rect frame = {});

    ButtonType buttonType() const { return m_type; }
    void setTitle(const std::string& title, ControlState state);
    std::string titleForState(ControlState state) const;
    void setImage(std::shared_ptr<Image> image, ControlState state);
    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);

private:
    QPushButton& button() const;
    template <typename T>
    static const T* forState(const std::map<ControlState, T>& values, ControlState state);
    void updateContent();

    ButtonType m_type;
    bool m_selected = false;
    std::map<ControlState, std::string> m_titles;
    std::map<ControlState, std::shared_ptr<Image>> m_images;
};

} // namespace ui
