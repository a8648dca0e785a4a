#include "platform/ui/Slider.h"

#include <QSignalBlocker>
#include <QSlider>

#include <algorithm>
#include <cmath>

namespace ui {

Slider::Slider(Rect frame)
    : Control(new QSlider(Qt::Horizontal), frame)
{
    slider().setRange(0, kSteps);
    slider().setStyleSheet(QStringLiteral(
        "QSlider::groove:horizontal { height: 6px; background: #d7d7dc; border-radius: 3px; }"
        "QSlider::sub-page:horizontal { background: #4a90e2; border-radius: 3px; }"
        "QSlider::handle:horizontal { background: white; border: 1px solid #8a8a90; width: 20px; margin: -8px 0; "
        "border-radius: 10px; }"));
    QObject::connect(&slider(), &QSlider::valueChanged, widget(), [this](int position) { userMoved(position); });
}

QSlider& Slider::slider() const { return static_cast<QSlider&>(*widget()); }

void Slider::setValue(float value)
{
    m_value = std::clamp(value, m_minimum, std::max(m_minimum, m_maximum));
    showValue();
}

void Slider::setMinimumValue(float minimum)
{
    m_minimum = minimum;
    setValue(m_value);
}

void Slider::setMaximumValue(float maximum)
{
    m_maximum = maximum;
    setValue(m_value);
}

void Slider::showValue()
{
    // Our own moves of the knob are not the user's.
    QSignalBlocker blocker(slider());
    float span = m_maximum - m_minimum;
    slider().setValue(span > 0 ? int(std::lround((m_value - m_minimum) / span * kSteps)) : 0);
}

void Slider::userMoved(int position)
{
    m_value = m_minimum + (m_maximum - m_minimum) * float(position) / kSteps;
    sendActionsForControlEvents(ControlEvent::ValueChanged);
}

} // namespace ui
