#include "platform/ui/Control.h"

#include <QWidget>

namespace ui {

void Control::addTarget(Action action, ControlEvent event) { m_targets.push_back(Target{std::move(action), event}); }

void Control::sendActionsForControlEvents(ControlEvent event)
{
    // A target may add targets or release this control while it runs.
    auto keep = shared_from_this();
    auto targets = m_targets;
    for (auto& target : targets) {
        if (target.event == event && target.action)
            target.action(*this);
    }
}

void Control::setEnabled(bool enabled)
{
    m_enabled = enabled;
    widget()->setEnabled(enabled);
}

} // namespace ui
