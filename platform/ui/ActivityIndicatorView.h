#pragma once

#include "platform/ui/View.h"

#include <memory>

namespace core {
class Timer;
}

namespace ui {

enum class ActivityIndicatorViewStyle { WhiteLarge = 0, White = 1, Gray = 2 };

// A small spinning wheel of spokes that says work is going on.
class ActivityIndicatorView : public View {
public:
    static constexpr double kSize = 20;
    static constexpr double kStepInterval = 0.08;
    static constexpr int kSpokes = 12;

    explicit ActivityIndicatorView(ActivityIndicatorViewStyle style);
    ~ActivityIndicatorView() override;

    void startAnimating();
    void stopAnimating();
    bool isAnimating() const { return m_timer != nullptr; }
    int phase() const { return m_phase; }

    void drawRect(GraphicsContext& context, Rect rect) override;

private:
    ActivityIndicatorViewStyle m_style;
    std::shared_ptr<core::Timer> m_timer;
    int m_phase = 0;
};

} // namespace ui
