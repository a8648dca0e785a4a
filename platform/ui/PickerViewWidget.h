#pragma once

#include <QWidget>

namespace ui {

class PickerView;

// The widget behind a picker: the wheel's frame and its input.
class PickerViewWidget : public QWidget {
public:
    explicit PickerViewWidget(PickerView& picker);

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    PickerView& m_picker;
};

} // namespace ui
