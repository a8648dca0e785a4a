#include "Classes/Playback.h"

#include "Classes/AppContext.h"
#include "Classes/AudioController.h"

#include "platform/audio/AudioDevice.h"
#include "platform/core/Bundle.h"
#include "platform/core/Timer.h"
#include "platform/ui/AlertView.h"

Playback::Playback(AppContext& context, NoteModel& notes)
    : m_context(context)
    , m_noteWatch(notes.observe([this](const NoteModel::Change& change) {
        if (change.kind == NoteModel::Change::Kind::Removed && isPlaying(change.path))
            stop();
    }))
{
}

Playback::~Playback()
{
    stopTicking();
    if (m_audio && !m_audio->playbackEnded())
        m_audio->stopPlayback();
}

core::Subscription Playback::observe(std::function<void(Event)> observer)
{
    return m_observers.add(std::move(observer));
}

void Playback::play(const Note& note)
{
    stop();
    m_audio = std::make_shared<AudioController>(m_context.audioDevice(), m_context.defaults(), m_context.runLoop());
    m_audio->setSampleRate(note.rate.value_or(0) > 0 ? int(*note.rate) : kDefaultSampleRate);
    m_path = note.path;
    m_packets = double(note.packets.value_or(0));
    m_paused = false;
    m_audio->startPlayback(note.path);
    startTicking();
    tell(Event::Started);
    if (!m_audio->playState().queue && !m_context.audioDevice().hasOutput())
        std::make_shared<ui::AlertView>(core::localizedString("Alert"), core::localizedString("No Sound Output"), "OK")
            ->show();
}

void Playback::setPaused(bool paused)
{
    if (!active() || m_paused == paused)
        return;
    m_paused = paused;
    if (paused) {
        m_audio->pausePlayback();
        stopTicking();
    } else {
        m_audio->resumePlayback();
        startTicking();
    }
    tell(paused ? Event::Paused : Event::Resumed);
}

void Playback::seek(double packet)
{
    if (!active())
        return;
    m_audio->changePacket(int(packet));
    ++m_seeks;
    m_seekedTo = packet;
    tell(Event::Moved);
}

void Playback::stop()
{
    if (!active())
        return;
    stopTicking();
    // A paused queue is let run again so that it can be stopped.
    if (m_audio->pause())
        m_audio->resumePlayback();
    m_audio->stopPlayback();
    m_path.clear();
    m_paused = false;
    tell(Event::Ended);
}

double Playback::heard() const { return m_audio ? double(m_audio->playedPacket()) : 0; }

int Playback::sampleRate() const { return active() && m_audio ? m_audio->sampleRate() : 0; }

void Playback::startTicking()
{
    stopTicking();
    m_timer = core::Timer::scheduledTimer(m_context.runLoop(), kTickInterval, true, [this](core::Timer&) { tick(); });
}

void Playback::stopTicking()
{
    if (m_timer)
        m_timer->invalidate();
}

void Playback::tick()
{
    tell(Event::Moved);
    // Done once the last sound has been heard, not when the file has been
    // read: the queued rest still plays.
    if (active() && m_audio->playbackEnded())
        stop();
}
