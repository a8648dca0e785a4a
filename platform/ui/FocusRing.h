#pragma once

#include <QPointer>
#include <QWidget>

class QPainter;

namespace ui {

// The ring around the control that has the keyboard in a window, drawn the
// same for every kind of control (styled buttons draw no focus of their
// own), and following the control as it or its screen moves. A table rings
// its own row instead.
class FocusRing : public QWidget {
public:
    static constexpr int kWidth = 3;

    // Above everything in the window, which owns it.
    explicit FocusRing(QWidget& window);

    // The control ringed now, if any.
    QWidget* ringed() const { return isVisible() ? m_target.data() : nullptr; }
    // The ring's look, for a table's row too.
    static void draw(QPainter& painter, QRectF area);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void follow(QWidget* focused);
    void watch(bool on);
    void place();

    QPointer<QWidget> m_target;
};

} // namespace ui
