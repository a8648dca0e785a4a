#include "Classes/AudioController.h"

#include "support/AudioFixture.h"

#include "platform/audio/AudioQueue.h"
#include "platform/audio/AudioSession.h"
#include "platform/core/FileManager.h"
#include "platform/core/UserDefaults.h"

#include <cstdlib>
#include <filesystem>

using audio::AudioSession;

namespace {

class PlayerTest : public AudioFixture {
protected:
    void play(const std::string& name, int rate)
    {
        player.setSampleRate(rate);
        player.startPlayback(name);
    }

    // What the output played, without the silence after the end.
    std::vector<std::int16_t> heard() const
    {
        auto samples = device->played();
        while (!samples.empty() && samples.back() == 0)
            samples.pop_back();
        return samples;
    }

    std::vector<std::int16_t> rampOf(std::size_t from, std::size_t count) const
    {
        std::vector<std::int16_t> samples;
        for (std::size_t i = from; i < from + count; ++i)
            samples.push_back(ramp(i));
        return samples;
    }

    std::vector<std::string> queuingLines() const
    {
        std::vector<std::string> lines;
        for (const auto& line : log.lines(core::Log::Channel::StandardOutput)) {
            if (line.starts_with("Queuing buffer"))
                lines.push_back(line);
        }
        return lines;
    }

    core::UserDefaults defaults{core::UserDefaults::standardPath()};
    AudioController player{*device, defaults, testLoop()};
};

TEST_F(PlayerTest, PlaysTheFileAtTheNotesOwnRateWhateverTheSetting)
{
    writeAiff(documentsFile("note.aif"), 30000, 22050);
    defaults.setInteger(8000, "SampleRate");
    play("/note.aif", 22050);
    ASSERT_TRUE(player.playState().playing);
    clock.advance(3);
    EXPECT_FALSE(player.playState().playing);
    EXPECT_EQ(heard(), rampOf(0, 30000));
    EXPECT_EQ(device->playedRate(), 22050);
    EXPECT_EQ(player.playState().currentPacket, 30000);
    player.stopPlayback();
}

// A playback fed in time never runs dry; a queue left without buffers
// counts the silence it played and says so when it stops.
TEST_F(PlayerTest, SilenceForWantOfBuffersIsCountedAndLogged)
{
    auto dryLines = [this] {
        std::vector<std::string> found;
        for (const auto& line : log.lines(core::Log::Channel::System)) {
            if (line.starts_with("Playback ran dry for "))
                found.push_back(line);
        }
        return found;
    };
    writeAiff(documentsFile("note.aif"), 30000, 8000);
    play("/note.aif", 8000);
    clock.advance(5);
    ASSERT_FALSE(player.playState().playing);
    EXPECT_TRUE(dryLines().empty());

    audio::AudioQueue* queue = nullptr;
    auto ignore = [](void*, audio::AudioQueue*, audio::AudioQueueBuffer*) {};
    ASSERT_EQ(audio::AudioQueue::newOutput(*device, player.playState().dataFormat, ignore, nullptr, testLoop(), queue),
              audio::noErr);
    audio::AudioQueueBuffer* buffer = nullptr;
    ASSERT_EQ(queue->allocateBuffer(1600, buffer), audio::noErr);
    // A tenth of a second, then nothing more.
    buffer->mAudioDataByteSize = 1600;
    ASSERT_EQ(queue->enqueueBuffer(buffer), audio::noErr);
    ASSERT_EQ(queue->start(), audio::noErr);
    clock.advance(1);
    EXPECT_GT(queue->lostFrames(), 6000u);
    queue->stop(true);
    audio::AudioQueue::dispose(queue, true);
    ASSERT_EQ(dryLines().size(), 1u);
    EXPECT_TRUE(dryLines()[0].ends_with(" frames: no buffer was queued"));
}

TEST_F(PlayerTest, PrimingReadsTwoThousandPacketsPerBufferAndLogsEachRead)
{
    writeAiff(documentsFile("long.aif"), 80000, 8000);
    play("/long.aif", 8000);
    EXPECT_EQ(queuingLines(),
              (std::vector<std::string>{"Queuing buffer 0", "Queuing buffer 2000", "Queuing buffer 4000"}));
    EXPECT_EQ(player.playState().currentPacket, 6000);
    player.stopPlayback();
}

// The file ends during the priming: what was queued still plays out.
TEST_F(PlayerTest, AFileShorterThanThePrimingIsHeardToTheEnd)
{
    writeAiff(documentsFile("short.aif"), 3000, 8000);
    play("/short.aif", 8000);
    EXPECT_FALSE(player.playState().playing);
    EXPECT_FALSE(player.playbackEnded());
    EXPECT_EQ(player.playState().currentPacket, 3000);
    EXPECT_EQ(player.playedPacket(), 0);
    clock.advance(0.2);
    EXPECT_GT(player.playedPacket(), 0);
    EXPECT_LT(player.playedPacket(), 3000);
    clock.advance(1);
    EXPECT_TRUE(player.playbackEnded());
    EXPECT_EQ(player.playedPacket(), 3000);
    EXPECT_EQ(heard(), rampOf(0, 3000));
    player.stopPlayback();
    player.stopPlayback();
    EXPECT_EQ(log.count("Stop playback"), 2);
}

TEST_F(PlayerTest, FiveThousandPacketsPrimeTwoTwoAndOneThousand)
{
    writeAiff(documentsFile("five.aif"), 5000, 8000);
    play("/five.aif", 8000);
    EXPECT_TRUE(player.playState().playing);
    EXPECT_EQ(player.playState().currentPacket, 5000);
    EXPECT_EQ(queuingLines().size(), 3u);
    clock.advance(0.3);
    // The first refill meets the end of the file.
    EXPECT_FALSE(player.playState().playing);
    EXPECT_EQ(queuingLines().size(), 4u);
    clock.advance(1);
    EXPECT_EQ(heard(), rampOf(0, 5000));
    player.stopPlayback();
}

TEST_F(PlayerTest, SeekingBackReplaysAfterWhatIsQueuedAndSeekingPastTheEndEndsIt)
{
    writeAiff(documentsFile("seek.aif"), 40000, 8000);
    play("/seek.aif", 8000);
    clock.advance(0.5);
    player.changePacket(0);
    clock.advance(1.0);
    auto samples = device->played();
    // 4000 packets heard, then up to 6000 queued ones, then the start again.
    // The last tick may fall just past the clock's end.
    ASSERT_GE(samples.size(), 11900u);
    auto restart = std::search(samples.begin() + 1, samples.end(), samples.begin(), samples.begin() + 100);
    EXPECT_NE(restart, samples.end());
    EXPECT_LE(restart - samples.begin(), 4000 + 6000);

    player.changePacket(1'000'000);
    clock.advance(2);
    EXPECT_FALSE(player.playState().playing);
    player.stopPlayback();
}

TEST_F(PlayerTest, PauseHoldsThePositionAndResumeGoesOn)
{
    writeAiff(documentsFile("pause.aif"), 24000, 8000);
    play("/pause.aif", 8000);
    clock.advance(0.5);
    player.pausePlayback();
    EXPECT_TRUE(player.pause());
    std::size_t heardBefore = device->played().size();
    clock.advance(5);
    EXPECT_EQ(device->played().size(), heardBefore);
    player.resumePlayback();
    EXPECT_FALSE(player.pause());
    clock.advance(4);
    EXPECT_EQ(heard(), rampOf(0, 24000));
    player.stopPlayback();
}

TEST_F(PlayerTest, AnInterruptionPausesPlaybackAndItsEndResumesIt)
{
    writeAiff(documentsFile("talk.aif"), 24000, 8000);
    play("/talk.aif", 8000);
    clock.advance(0.5);
    device->session().beginInterruption();
    clock.advance(0.01);
    EXPECT_TRUE(player.pause());
    EXPECT_TRUE(player.interruptedOnPlayback());
    device->session().endInterruption();
    clock.advance(0.01);
    EXPECT_FALSE(player.pause());
    EXPECT_FALSE(player.interruptedOnPlayback());
    player.stopPlayback();
}

// The receiver's category is quiet playback: heard at a quarter.
TEST_F(PlayerTest, TheReceiverSettingChoosesTheCategoryAndTheLoudnessAtEachStart)
{
    writeAiff(documentsFile("quiet.aif"), 8000, 8000);
    defaults.setBool(true, "UseReceiver");
    play("/quiet.aif", 8000);
    EXPECT_EQ(device->session().category(), AudioSession::kAudioSessionCategory_PlayAndRecord);
    defaults.setBool(false, "UseReceiver");
    EXPECT_EQ(device->session().category(), AudioSession::kAudioSessionCategory_PlayAndRecord);
    clock.advance(2);
    auto quiet = heard();
    ASSERT_EQ(quiet.size(), 8000u);
    int louder = 0;
    for (std::size_t i = 0; i < quiet.size(); ++i)
        louder += std::abs(quiet[i] - ramp(i) / 4) > 1;
    EXPECT_EQ(louder, 0);
    player.stopPlayback();
    play("/quiet.aif", 8000);
    EXPECT_EQ(device->session().category(), AudioSession::kAudioSessionCategory_MediaPlayback);
    player.stopPlayback();
}

TEST_F(PlayerTest, MissingTruncatedOrOutsideFilesNeverCrash)
{
    play("/missing.aif", 8000);
    EXPECT_FALSE(player.playState().playing);
    EXPECT_EQ(player.playState().currentPacket, 0);

    ASSERT_TRUE(core::FileManager::writeAtomically(home.path() + "/outside.aif", "x"));
    play("/../../../../outside.aif", 8000);
    EXPECT_FALSE(player.playState().playing);

    // A link placed in Documents is not followed to a playable file elsewhere.
    writeAiff(home.path() + "/elsewhere.aif", 20000, 8000);
    std::filesystem::create_symlink(home.path() + "/elsewhere.aif", documentsFile("link.aif"));
    play("/link.aif", 8000);
    EXPECT_FALSE(player.playState().playing);
    EXPECT_EQ(log.count("/link.aif: it is a symbolic link"), 1);

    writeAiff(documentsFile("cut.aif"), 20000, 8000);
    auto bytes = core::FileManager::contentsAtPath(documentsFile("cut.aif"));
    ASSERT_TRUE(core::FileManager::writeAtomically(documentsFile("cut.aif"), bytes->substr(0, bytes->size() / 2)));
    play("/cut.aif", 8000);
    clock.advance(3);
    EXPECT_FALSE(player.playState().playing);
    EXPECT_GT(heard().size(), 9000u);
    player.stopPlayback();
}

TEST_F(PlayerTest, WithoutAnOutputDevicePlaybackStopsAtOnce)
{
    writeAiff(documentsFile("silent.aif"), 8000, 8000);
    device->setOutputAvailable(false);
    play("/silent.aif", 8000);
    EXPECT_FALSE(player.playState().playing);
    EXPECT_EQ(log.count("No sound output"), 1);
}

} // namespace
