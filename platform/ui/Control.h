#pragma once

#include "platform/ui/View.h"

#include <functional>
#include <vector>

namespace ui {

enum class ControlEvent : unsigned { TouchUpInside = 64, ValueChanged = 4096 };

// A view that sends actions to its targets when events happen.
class Control : public View {
public:
    using Action = std::function<void(Control& sender)>;

    void addTarget(Action action, ControlEvent event);
    void sendActionsForControlEvents(ControlEvent event);

    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);

protected:
    using View::View;

private:
    struct Target {
        Action action;
        ControlEvent event;
    };
    std::vector<Target> m_targets;
    bool m_enabled = true;
};

} // namespace ui
