#pragma once

#include "platform/ui/Control.h"

class QSlider;

namespace ui {

// A knob on a track for a float value between a minimum and a maximum;
// the user moving it sends value-changed.
class Slider : public Control {
public:
    explicit Slider(Rect frame = {});

    float value() const { return m_value; }
    // Clamped to the range.
    void setValue(float value);
    float minimumValue() const { return m_minimum; }
    void setMinimumValue(float minimum);
    float maximumValue() const { return m_maximum; }
    void setMaximumValue(float maximum);

private:
    static constexpr int kSteps = 10000;

    QSlider& slider() const;
    void showValue();
    void userMoved(int position);

    float m_value = 0;
    float m_minimum = 0;
    float m_maximum = 1;
};

} // namespace ui
