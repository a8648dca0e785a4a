#pragma once

#include "platform/core/Subscription.h"
#include "platform/ui/View.h"

#include <memory>
#include <string>

class Playback;

// The ring over the playing row's icon: how much of its note has been
// heard, drawn and told to screen readers while that note plays.
class ProgressIndicator : public ui::View {
public:
    static constexpr ui::Color kStrokeColor{0.36, 0.659, 1.0, 1.0};
    static constexpr double kLineWidth = 11.5;
    static constexpr ui::Point kCenter{34, 34.5};
    static constexpr double kRadius = 20;

    // Follows the playback for as long as both live.
    ProgressIndicator(ui::Rect frame, const std::shared_ptr<Playback>& playback, std::string notePath, double packets);

    // Draws the ring (and tells its share) for the place heard now.
    void showPosition();
    void drawRect(ui::GraphicsContext& context, ui::Rect rect) override;
    // The ring's end angle for the place heard.
    float endAngle() const;
    double packets() const { return m_packets; }

private:
    std::weak_ptr<Playback> m_playback;
    const std::string m_notePath;
    const double m_packets;
    // Of this ring's note, when it last played.
    double m_heard = 0;
    core::Subscription m_playbackWatch;
};
