#pragma once

#include "platform/ui/View.h"

class QProgressBar;

namespace ui {

// A bar that shows a fraction from 0.0 to 1.0.
class ProgressView : public View {
public:
    static constexpr int kSteps = 10000;

    explicit ProgressView(Rect frame = {});

    float progress() const { return m_progress; }
    void setProgress(float progress);

private:
    QProgressBar& bar() const;
    float m_progress = 0.0f;
};

} // namespace ui
