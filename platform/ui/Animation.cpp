#include "platform/ui/Animation.h"

#include "platform/core/RunLoop.h"
#include "platform/core/Timer.h"
#include "platform/ui/Application.h"
#include "platform/ui/FlipOverlay.h"
#include "platform/ui/QtConversions.h"

#include <QWidget>

#include <algorithm>

namespace ui {

namespace {

double mix(double from, double to, double t) { return from + (to - from) * t; }

Rect mix(Rect from, Rect to, double t)
{
    return {mix(from.x, to.x, t), mix(from.y, to.y, t), mix(from.width, to.width, t), mix(from.height, to.height, t)};
}

// The default curve: slow at both ends.
double easeInOut(double t) { return t * t * (3.0 - 2.0 * t); }

} // namespace

std::vector<std::shared_ptr<Animation>>& Animation::open()
{
    return Application::sharedApplication().describedAnimations();
}

std::vector<std::shared_ptr<Animation>>& Animation::running()
{
    return Application::sharedApplication().runningAnimations();
}

Animation::~Animation()
{
    if (m_timer)
        m_timer->invalidate();
    for (auto& flip : m_flips)
        delete flip.overlay.data();
}

void Animation::begin() { open().push_back(std::make_shared<Animation>()); }

bool Animation::isRecording() { return !open().empty(); }

void Animation::setDuration(double seconds)
{
    if (isRecording())
        open().back()->m_duration = std::max(0.0, seconds);
}

void Animation::setTransition(AnimationTransition transition, View& view, bool)
{
    if (!isRecording() || transition == AnimationTransition::None)
        return;
    // Pictures are taken either way; the cache flag changes nothing here.
    auto* overlay = new FlipOverlay(*view.widget(), view.widget()->grab(), transition);
    overlay->hide();
    open().back()->m_flips.push_back(Flip{view.weak_from_this(), transition, overlay});
}

void Animation::recordFrame(View& view, Rect from, Rect to)
{
    open().back()->m_frames.push_back(FrameChange{view.weak_from_this(), from, to});
}

void Animation::recordAlpha(View& view, double from, double to)
{
    open().back()->m_alphas.push_back(AlphaChange{view.weak_from_this(), from, to});
}

void Animation::commit()
{
    if (!isRecording())
        return;
    auto block = open().back();
    open().pop_back();
    block->start();
}

void Animation::start()
{
    for (auto& flip : m_flips) {
        auto view = flip.view.lock();
        if (!view || !flip.overlay)
            continue;
        view->m_lastTransition = flip.transition;
        flip.overlay->setAfter(view->widget()->grab());
        flip.overlay->show();
        flip.overlay->raise();
    }
    if (m_duration <= 0) {
        finish();
        return;
    }
    m_startTime = Application::sharedApplication().runLoop().monotonicTime();
    step(0);
    running().push_back(shared_from_this());
    m_timer = core::Timer::scheduledTimer(
        Application::sharedApplication().runLoop(), kFrameInterval, true, [this](core::Timer&) {
            double elapsed = Application::sharedApplication().runLoop().monotonicTime() - m_startTime;
            if (elapsed >= m_duration)
                finish();
            else
                step(easeInOut(elapsed / m_duration));
        });
}

void Animation::step(double progress)
{
    for (auto& change : m_frames) {
        auto view = change.view.lock();
        // A later change without animation wins over this one.
        if (view && view->frame() == change.to)
            view->applyFrame(mix(change.from, change.to, progress));
    }
    for (auto& change : m_alphas) {
        auto view = change.view.lock();
        if (view && view->alpha() == change.to)
            view->applyAlpha(mix(change.from, change.to, progress));
    }
    for (auto& flip : m_flips) {
        if (flip.overlay)
            flip.overlay->setProgress(progress);
    }
}

void Animation::finish()
{
    step(1.0);
    for (auto& flip : m_flips)
        delete flip.overlay.data();
    m_flips.clear();
    if (m_timer) {
        m_timer->invalidate();
        m_timer.reset();
    }
    auto& list = running();
    auto self = shared_from_this();
    list.erase(std::remove(list.begin(), list.end(), self), list.end());
}

} // namespace ui
