#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace ui {

// What the player plays, as the desktop's media controls show it.
struct MediaState {
    enum class Status { Stopped, Playing, Paused };
    Status status = Status::Stopped;
    // Unique per note among those shown; empty while nothing plays.
    std::string trackId;
    std::string title;
    std::int64_t lengthMicroseconds = 0;
    std::int64_t positionMicroseconds = 0;
    bool canGoNext = false;
    bool canGoPrevious = false;
    bool canPlay = false;
    bool operator==(const MediaState&) const = default;
};

// What the desktop's controls ask of the application; on the main loop.
class MediaControlsDelegate {
public:
    virtual ~MediaControlsDelegate() = default;
    virtual MediaState mediaState() = 0;
    virtual void mediaPlay() = 0;
    virtual void mediaPause() = 0;
    virtual void mediaStop() = 0;
    virtual void mediaNext() = 0;
    virtual void mediaPrevious() = 0;
    // Within the note playing, already checked against its length.
    virtual void mediaSetPosition(std::int64_t microseconds) = 0;
    virtual void mediaRaise() = 0;
};

// The application as a media player of the desktop (MPRIS on the session
// bus, "org.mpris.MediaPlayer2.voicenotes"): panels and media keys see
// the note playing and send Play, Pause, Stop, Next, Previous and seeks.
// Without a session bus it says so in the log once and is not seen.
class MediaControls {
public:
    static constexpr const char* kServiceName = "org.mpris.MediaPlayer2.voicenotes";

    // The delegate outlives it.
    explicit MediaControls(MediaControlsDelegate& delegate);
    ~MediaControls();
    MediaControls(const MediaControls&) = delete;
    MediaControls& operator=(const MediaControls&) = delete;

    // Shows the player on the session bus, or on the bus at this address.
    // False (and a line in the log) when no bus takes it.
    bool publish(const std::string& busAddress = {});
    bool isPublished() const { return !m_serviceName.empty(); }
    // The state may have changed: the desktop hears what did (the note,
    // its length, the status, what can be done).
    void stateChanged();
    // The position jumped (a seek): the desktop hears where to.
    void seeked(std::int64_t positionMicroseconds);

private:
    class Player;
    void withdraw();

    MediaControlsDelegate& m_delegate;
    std::unique_ptr<Player> m_player;
    std::string m_connectionName;
    std::string m_serviceName;
    MediaState m_told;
};

} // namespace ui
