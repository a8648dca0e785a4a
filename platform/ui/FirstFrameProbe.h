#pragma once

#include <QObject>

#include <functional>

class QWidget;

namespace ui {

// Hears a window's first painted frame: for work that the first frame does
// not need and that should not hold it up, and for the start-up benchmark.
class FirstFrameProbe : public QObject {
public:
    static constexpr const char* kVariable = "VOICENOTES_QUIT_AFTER_FIRST_FRAME";
    static constexpr const char* kReportVariable = "VOICENOTES_REPORT_FIRST_FRAME";

    // Calls `then` once from the event loop, after the first frame of the
    // top-level widget (or of any widget within it) is painted and flushed;
    // not at all when the widget goes first.
    static void watch(QWidget& window, std::function<void()> then);
    // When VOICENOTES_QUIT_AFTER_FIRST_FRAME is set, the first frame prints
    // "first frame" on standard output and quits the event loop, so
    // start-up can be timed from outside. VOICENOTES_REPORT_FIRST_FRAME
    // prints the line and goes on. Without either, nothing.
    static void watchIfAsked(QWidget& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;

    QWidget* m_window = nullptr;
    std::function<void()> m_then;
};

} // namespace ui
