#pragma once

#include "platform/ui/View.h"

#include <QColor>
#include <QPixmap>
#include <QWidget>

namespace ui {

// Laid over a container while it flips: the old picture turns away about
// the vertical axis, then the new one turns in.
class FlipOverlay : public QWidget {
public:
    FlipOverlay(QWidget& container, QPixmap before, AnimationTransition transition);

    void setAfter(QPixmap after) { m_after = std::move(after); }
    void setProgress(double progress);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static QColor backdrop(const QWidget& container);

    QPixmap m_before;
    QPixmap m_after;
    QColor m_backdrop;
    AnimationTransition m_transition;
    double m_progress = 0;
};

} // namespace ui
