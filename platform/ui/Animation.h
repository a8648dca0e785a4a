#pragma once

#include "platform/ui/FlipOverlay.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/View.h"

#include <QPointer>

#include <memory>
#include <vector>

namespace core {
class Timer;
}

namespace ui {

// One committed animation block, stepped by a run-loop timer so that a
// test's virtual clock drives it like everything else.
class Animation : public std::enable_shared_from_this<Animation> {
public:
    static constexpr double kDefaultDuration = 0.2;
    static constexpr double kFrameInterval = 1.0 / 60.0;

    static void begin();
    static void setDuration(double seconds);
    static void setTransition(AnimationTransition transition, View& view, bool cache);
    static void commit();

    static bool isRecording();
    static void recordFrame(View& view, Rect from, Rect to);
    static void recordAlpha(View& view, double from, double to);

    ~Animation();

private:
    struct FrameChange {
        std::weak_ptr<View> view;
        Rect from;
        Rect to;
    };
    struct AlphaChange {
        std::weak_ptr<View> view;
        double from;
        double to;
    };
    struct Flip {
        std::weak_ptr<View> view;
        AnimationTransition transition;
        QPointer<FlipOverlay> overlay;
    };

    static std::vector<std::shared_ptr<Animation>>& open();
    static std::vector<std::shared_ptr<Animation>>& running();

    void start();
    void step(double progress);
    void finish();

    double m_duration = kDefaultDuration;
    double m_startTime = 0;
    std::vector<FrameChange> m_frames;
    std::vector<AlphaChange> m_alphas;
    std::vector<Flip> m_flips;
    std::shared_ptr<core::Timer> m_timer;
};

} // namespace ui
