#pragma once

#include <QAbstractButton>

namespace ui {

// A rounded track with a knob that sits right when on.
class SwitchWidget : public QAbstractButton {
public:
    SwitchWidget();

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace ui
