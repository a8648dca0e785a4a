// The real binary through PortAudio and ALSA into a private PulseAudio
// server: what it records and plays is heard, and the server's mixer shows
// its streams by the program's name, icon and the stream's role.

#include "Classes/PlistController.h"
#include "TestContext.h"

#include "support/AudioFixture.h"
#include "support/ChildProcess.h"
#include "support/PulseServer.h"
#include "support/TestEnvironment.h"

#include "platform/core/FileManager.h"

#include <gtest/gtest.h>

#include <csignal>

namespace {

constexpr double kTone = 440;
constexpr int kNoteSeconds = 2;
// Of the two seconds, less a start of silence from the null sink's
// monitor; of those played back, less what the speaker's recorder missed.
constexpr double kEnoughTone = 1.5;
constexpr double kEnoughHeard = 1.0;

class SoundServerTest : public testing::Test {
protected:
    bool start(ChildProcess& process, std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), {VOICENOTES_BINARY, "--home", home.path(), "--audio-device", "portaudio"});
        return process.start(arguments, outputPath(), pulse.environment());
    }

    std::string output() const { return core::FileManager::contentsAtPath(outputPath()).value_or(""); }
    std::string outputPath() const { return home.path() + "/output.txt"; }

    // Waits for a stream of ours with the role in the list; whether it came.
    testing::AssertionResult showsOurStream(const std::string& list, const std::string& role)
    {
        if (!pulse
                 .waitForEntry(list,
                               {"application.name = \"Voice Notes\"",
                                "application.icon_name = \"org.voicenotes.VoiceNotes\"",
                                "media.role = \"" + role + "\""})
                 .empty())
            return testing::AssertionSuccess();
        std::string listing;
        pulse.pactl({"list", list}, listing);
        return testing::AssertionFailure() << "no " << role << " stream of ours in:\n" << listing << output();
    }

    TemporaryHome home;
    PulseServer pulse;
};

TEST_F(SoundServerTest, ATonePlayedIntoTheMicrophoneIsRecordedAndHeardBack)
{
    ASSERT_TRUE(pulse.isRunning()) << pulse.log();
    ChildProcess tone;
    ASSERT_TRUE(pulse.playIntoMicrophone(tone, kTone));
    ASSERT_FALSE(pulse.waitForEntry("sink-inputs", {"application.name = \"paplay\""}).empty()) << pulse.log();

    ChildProcess recording;
    ASSERT_TRUE(start(recording, {"record", "--seconds", std::to_string(kNoteSeconds)}));
    EXPECT_TRUE(showsOurStream("source-outputs", "production"));
    ASSERT_EQ(recording.waitForExit(60), 0) << output();
    tone.stop(SIGTERM);
    auto note = testStore().loadObject(0);
    ASSERT_TRUE(note) << output();
    int rate = 0;
    auto recorded = AudioFixture::readSamples(home.documents() + *note->at(NoteKey::Path).string(), &rate);
    // The seconds asked for, although the server's first buffers come late.
    EXPECT_GE(recorded.size(), std::size_t(kNoteSeconds * rate));
    EXPECT_GE(AudioFixture::toneSeconds(recorded, rate, kTone), kEnoughTone);
    // The meter heard the tone as loud as it is: amplitude 10000, RMS -13.3 dBFS.
    auto said = output().find("loudest level ");
    ASSERT_NE(said, std::string::npos) << output();
    EXPECT_NEAR(std::stod(output().substr(said + 14)), -13.3, 1.0) << output();

    std::string heardPath = home.path() + "/speaker.wav";
    ChildProcess speaker;
    ASSERT_TRUE(pulse.recordSpeaker(speaker, heardPath, rate));
    ASSERT_FALSE(pulse.waitForEntry("source-outputs", {"application.name = \"parecord\""}).empty()) << pulse.log();
    ChildProcess playback;
    ASSERT_TRUE(start(playback, {"play", "0"}));
    EXPECT_TRUE(showsOurStream("sink-inputs", "music"));
    ASSERT_EQ(playback.waitForExit(60), 0) << output();
    // parecord finishes its file when interrupted.
    speaker.stop(SIGINT);
    EXPECT_GE(AudioFixture::toneSeconds(AudioFixture::readSamples(heardPath), rate, kTone), kEnoughHeard);
}

// The null sink's monitor delivers zeros when nothing plays into it, as a
// muted microphone does: the recorder says so.
TEST_F(SoundServerTest, ASilentMicrophoneIsSaidToBeSilent)
{
    ASSERT_TRUE(pulse.isRunning()) << pulse.log();
    ChildProcess recording;
    ASSERT_TRUE(start(recording, {"record", "--seconds", "4"}));
    ASSERT_EQ(recording.waitForExit(60), 0) << output();
    EXPECT_NE(output().find("No sound is coming from the microphone"), std::string::npos) << output();
}

} // namespace
