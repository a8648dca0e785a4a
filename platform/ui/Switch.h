#pragma once

#include "platform/ui/Control.h"

class QAbstractButton;

namespace ui {

// An on/off switch; the user's flips send value-changed.
class Switch : public Control {
public:
    explicit Switch(Rect frame = {});

    bool isOn() const { return m_on; }
    void setOn(bool on, bool animated);

private:
    QAbstractButton& button() const;

    bool m_on = false;
};

} // namespace ui
