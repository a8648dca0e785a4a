#include "platform/ui/ProgressView.h"

#include <QProgressBar>

#include <algorithm>
#include <cmath>

namespace ui {

ProgressView::ProgressView(Rect frame)
    : View(new QProgressBar, frame)
{
    bar().setRange(0, kSteps);
    bar().setTextVisible(false);
    bar().setValue(0);
}

QProgressBar& ProgressView::bar() const { return static_cast<QProgressBar&>(*widget()); }

void ProgressView::setProgress(float progress)
{
    m_progress = std::clamp(progress, 0.0f, 1.0f);
    bar().setValue(int(std::lround(m_progress * kSteps)));
}

} // namespace ui
