#pragma once

#include <QObject>

class QWidget;

namespace ui {

// For the start-up benchmark: when VOICENOTES_QUIT_AFTER_FIRST_FRAME is
// set, the window's first painted frame prints "first frame" on standard
// output and quits the event loop, so start-up can be timed from outside.
// Without the variable nothing is watched.
class FirstFrameProbe : public QObject {
public:
    static constexpr const char* kVariable = "VOICENOTES_QUIT_AFTER_FIRST_FRAME";

    // Watches the top-level widget and all within it when the variable is set.
    static void watchIfAsked(QWidget& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;

    QWidget* m_window = nullptr;
    bool m_painted = false;
};

} // namespace ui
