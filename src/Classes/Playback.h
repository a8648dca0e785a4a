#pragma once

#include "Classes/Note.h"
#include "Classes/NoteModel.h"

#include "platform/core/ObserverList.h"

#include <functional>
#include <memory>
#include <string>

namespace core {
class Timer;
}
class AppContext;
class AudioController;

// The window's one playback: which note plays, whether it is paused, the
// place heard and its end. The rows, the ring, the slider and the toolbar
// observe it; none keeps a state of its own. A note removed while it plays
// (here or by another process) stops.
class Playback {
public:
    static constexpr double kTickInterval = 0.2;
    static constexpr int kDefaultSampleRate = 8000;
    // Moved: the place heard changed (a tick while playing, or a seek).
    // Ended: played to its end, stopped, or another note took its place.
    enum class Event { Started, Paused, Resumed, Moved, Ended };

    // Both outlive it.
    Playback(AppContext& context, NoteModel& notes);
    ~Playback();
    Playback(const Playback&) = delete;
    Playback& operator=(const Playback&) = delete;

    [[nodiscard]] core::Subscription observe(std::function<void(Event)> observer);

    // Ends what plays, then plays the note from its start.
    void play(const Note& note);
    void pause() { setPaused(true); }
    void resume() { setPaused(false); }
    void togglePause() { setPaused(!m_paused); }
    void setPaused(bool paused);
    void seek(double packet);
    void stop();

    // A note is playing or paused.
    bool active() const { return !m_path.empty(); }
    bool paused() const { return m_paused; }
    bool isPlaying(const std::string& path) const { return active() && path == m_path; }
    const std::string& path() const { return m_path; }
    // The note's packets, and the one heard now.
    double packets() const { return m_packets; }
    double heard() const;
    // Packets a second of the note playing; 0 when none plays.
    int sampleRate() const;
    // How many seeks there have been: a Moved event that raised it was one.
    std::size_t seeks() const { return m_seeks; }
    // The packet the last seek went to (heard once the sound queued before it has played).
    double seekedTo() const { return m_seekedTo; }
    // The engine of the current or last playback.
    const std::shared_ptr<AudioController>& audio() const { return m_audio; }
    const std::shared_ptr<core::Timer>& timer() const { return m_timer; }

private:
    void startTicking();
    void stopTicking();
    void tick();
    void tell(Event event) { m_observers.tell(event); }

    AppContext& m_context;
    std::shared_ptr<AudioController> m_audio;
    std::shared_ptr<core::Timer> m_timer;
    std::string m_path;
    double m_packets = 0;
    bool m_paused = false;
    std::size_t m_seeks = 0;
    double m_seekedTo = 0;
    core::ObserverList<Event> m_observers;
    core::Subscription m_noteWatch;
};
