#pragma once

#include "platform/ui/View.h"

#include <memory>
#include <string>

namespace core {
class Timer;
}
class AudioController;
class TableCell;
class TableNavigationController;

// The ring over the playing row's icon: owns the note's playback, draws
// how far it has read, moves the browser's slider and ends the playback
// at the end of the note.
class ProgressIndicator : public ui::View {
public:
    static constexpr double kTimerInterval = 0.2;
    static constexpr ui::Color kStrokeColor{0.36, 0.659, 1.0, 1.0};
    static constexpr double kLineWidth = 11.5;
    static constexpr ui::Point kCenter{34, 34.5};
    static constexpr double kRadius = 20;

    explicit ProgressIndicator(ui::Rect frame);
    ~ProgressIndicator() override;

    void createAudioController();
    // Starts the progress timer and, with start, the playback.
    void startTimer(bool start);
    void stopTimer();
    void myTimerFireMethod();
    // Draws the ring (and tells its share) for the place heard now;
    // that place.
    float showPosition();
    void drawRect(ui::GraphicsContext& context, ui::Rect rect) override;
    // The ring's end angle for the current read position.
    float endAngle() const;

    float packets() const { return m_packets; }
    void setPackets(float packets) { m_packets = packets; }
    const std::shared_ptr<core::Timer>& timer() const { return m_timer; }
    // None once the cell is gone.
    std::shared_ptr<TableCell> cell() const { return m_cell.lock(); }
    void setCell(std::weak_ptr<TableCell> cell) { m_cell = std::move(cell); }
    const std::shared_ptr<AudioController>& playController() const { return m_playController; }
    const std::string& name() const { return m_name; }
    void setName(std::string name) { m_name = std::move(name); }
    int sampleRate() const { return m_sampleRate; }
    void setSampleRate(int sampleRate) { m_sampleRate = sampleRate; }

private:
    // The list's navigation controller, through the cell; none once gone.
    std::shared_ptr<TableNavigationController> navigationViewController() const;

    float m_packets = 0;
    std::shared_ptr<core::Timer> m_timer;
    std::weak_ptr<TableCell> m_cell;
    std::shared_ptr<AudioController> m_playController;
    std::string m_name;
    int m_sampleRate = 0;
};
