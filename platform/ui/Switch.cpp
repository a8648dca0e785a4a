#include "platform/ui/Switch.h"

#include "platform/ui/SwitchWidget.h"

#include <QSignalBlocker>

namespace ui {

Switch::Switch(Rect frame)
    : Control(new SwitchWidget, frame)
{
    QObject::connect(&button(), &QAbstractButton::toggled, widget(), [this](bool on) {
        m_on = on;
        sendActionsForControlEvents(ControlEvent::ValueChanged);
    });
}

QAbstractButton& Switch::button() const { return static_cast<QAbstractButton&>(*widget()); }

void Switch::setOn(bool on, bool)
{
    m_on = on;
    QSignalBlocker blocker(button());
    button().setChecked(on);
    button().update();
}

} // namespace ui
