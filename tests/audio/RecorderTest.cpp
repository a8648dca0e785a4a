#include "Classes/AudioController.h"

#include "support/AudioFixture.h"

#include "platform/audio/AudioSession.h"
#include "platform/core/FileManager.h"
#include "platform/core/UserDefaults.h"

#include <sndfile.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>

using audio::VirtualAudioDevice;

namespace {

// 2009-03-05 09:05:07 and 19:05:07 UTC (the suite runs in UTC).
constexpr double kMorning = 1'236'243'907.0;
constexpr double kEvening = 1'236'279'907.0;

std::string soxi(const std::string& flag, const std::string& path)
{
    std::string command = "soxi " + flag + " '" + path + "' 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    std::string output;
    std::array<char, 256> buffer;
    while (pipe && std::fgets(buffer.data(), int(buffer.size()), pipe.get()))
        output += buffer.data();
    return output;
}

class RecorderTest : public AudioFixture {
protected:
    RecorderTest() { defaults.setInteger(8000, "SampleRate"); }

    core::UserDefaults defaults{core::UserDefaults::standardPath()};
};

class RecordingAtRate : public RecorderTest, public testing::WithParamInterface<int> { };

TEST_P(RecordingAtRate, TheFileHoldsExactlyTheSignalAtTheSettingsRate)
{
    int rate = GetParam();
    defaults.setInteger(rate, "SampleRate");
    AudioController recorder(*device, defaults, testLoop());
    recorder.startRecording();
    ASSERT_TRUE(recorder.recordState().recording);
    clock.advance(2.5);
    recorder.stopRecording();

    std::string path = home.documents() + recorder.recordName();
    int fileRate = 0;
    auto samples = readSamples(path, &fileRate);
    EXPECT_EQ(fileRate, rate);
    ASSERT_EQ(samples.size(), std::size_t(2.5 * rate));
    EXPECT_EQ(recorder.numPacketsToRead(), double(samples.size()));
    std::size_t mismatches = 0;
    for (std::size_t i = 0; i < samples.size(); ++i)
        mismatches += samples[i] != VirtualAudioDevice::tone(i, rate);
    EXPECT_EQ(mismatches, 0u);

    // An independent reader agrees on the format.
    EXPECT_EQ(soxi("-t", path), "aiff\n");
    EXPECT_EQ(soxi("-r", path), std::to_string(rate) + "\n");
    EXPECT_EQ(soxi("-b", path), "16\n");
    EXPECT_EQ(soxi("-c", path), "1\n");
    EXPECT_EQ(soxi("-s", path), std::to_string(samples.size()) + "\n");
}

INSTANTIATE_TEST_SUITE_P(Rates, RecordingAtRate, testing::Values(8000, 22050, 44100));

TEST_F(RecorderTest, FileNameIsTheStartTimeWithAnHourWithoutLeadingZero)
{
    for (auto [when, name] : {std::pair{kMorning, "/2009030590507.aif"}, std::pair{kEvening, "/20090305190507.aif"}}) {
        clock.engine().setWallClock(when);
        AudioController recorder(*device, defaults, testLoop());
        recorder.startRecording();
        recorder.stopRecording();
        EXPECT_EQ(recorder.recordName(), name);
        EXPECT_TRUE(core::FileManager::fileExistsAtPath(home.documents() + name));
    }
}

// Another recorder, a link, anything already there: the new recording
// takes the next free name and never writes through what is there.
TEST_F(RecorderTest, ANameTakenByAFileOrALinkGoesToTheNextFreeName)
{
    clock.engine().setWallClock(kEvening);
    std::string precious = home.path() + "/precious.txt";
    ASSERT_TRUE(core::FileManager::writeAtomically(precious, "keep me"));
    std::filesystem::create_symlink(precious, home.documents() + "/20090305190507.aif");
    AudioController first(*device, defaults, testLoop());
    first.startRecording();
    AudioController second(*device, defaults, testLoop());
    second.startRecording();
    clock.advance(1);
    first.stopRecording();
    second.stopRecording();
    EXPECT_EQ(first.recordName(), "/20090305190507-2.aif");
    EXPECT_EQ(second.recordName(), "/20090305190507-3.aif");
    EXPECT_EQ(readSamples(home.documents() + first.recordName()).size(), 8000u);
    EXPECT_EQ(readSamples(home.documents() + second.recordName()).size(), 8000u);
    EXPECT_EQ(core::FileManager::contentsAtPath(precious), "keep me");
}

TEST_F(RecorderTest, StoppedBeforeAnyAudioLeavesAValidEmptyFile)
{
    AudioController recorder(*device, defaults, testLoop());
    recorder.startRecording();
    recorder.stopRecording();
    EXPECT_EQ(recorder.numPacketsToRead(), 0);
    SF_INFO info = {};
    SNDFILE* file = sf_open((home.documents() + recorder.recordName()).c_str(), SFM_READ, &info);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(info.frames, 0);
    sf_close(file);
}

TEST_F(RecorderTest, PausedTimeRecordsNothingAndTheLogTellsEachStep)
{
    AudioController recorder(*device, defaults, testLoop());
    recorder.startRecording();
    clock.advance(1.5);
    recorder.pauseRecording();
    EXPECT_FALSE(recorder.recordState().recording);
    clock.advance(10);
    recorder.resumeRecording();
    clock.advance(1.0);
    recorder.stopRecording();
    auto samples = readSamples(home.documents() + recorder.recordName());
    ASSERT_EQ(samples.size(), 20000u);
    EXPECT_EQ(samples[19999], VirtualAudioDevice::tone(19999, 8000));

    EXPECT_EQ(log.lines(core::Log::Channel::StandardOutput),
              (std::vector<std::string>{"Starting recording", "Writing buffer 0", "Pause recording", "Resume recording",
                                        "Writing buffer 8000", "Stopping recording", "Not recording, returning",
                                        "Writing buffer 16000"}));
}

TEST_F(RecorderTest, AnInterruptionPausesARecordingAndItsEndDoesNotResumeIt)
{
    AudioController recorder(*device, defaults, testLoop());
    recorder.startRecording();
    clock.advance(0.5);
    device->session().beginInterruption();
    clock.advance(0.5);
    EXPECT_FALSE(recorder.recordState().recording);
    EXPECT_EQ(log.count("Interrupted. Stopping playback or recording."), 1);
    device->session().endInterruption();
    clock.advance(2);
    EXPECT_FALSE(recorder.recordState().recording);
    recorder.stopRecording();
    EXPECT_EQ(recorder.numPacketsToRead(), 4000);
}

// Each device has a session of its own: an interruption of one reaches
// only its listeners, and one told after its device went reaches nobody.
TEST_F(RecorderTest, AnInterruptionReachesOnlyTheListenersOfItsOwnDevice)
{
    int heard = 0;
    auto listener = [](void* count, std::uint32_t) { ++*static_cast<int*>(count); };
    ASSERT_EQ(device->session().initialize(testLoop(), listener, &heard), audio::noErr);
    auto other = std::make_unique<audio::VirtualAudioDevice>();
    other->session().beginInterruption();
    clock.advance(0.1);
    EXPECT_EQ(heard, 0);
    ASSERT_EQ(other->session().initialize(testLoop(), listener, &heard), audio::noErr);
    other->session().endInterruption();
    other.reset();
    clock.advance(0.1);
    EXPECT_EQ(heard, 0);
    device->session().beginInterruption();
    clock.advance(0.1);
    EXPECT_EQ(heard, 1);
    device->session().removeListener(&heard);
}

TEST_F(RecorderTest, AVanishingDeviceInterruptsTheRecordingAndSaysSo)
{
    AudioController recorder(*device, defaults, testLoop());
    recorder.startRecording();
    clock.advance(1.25);
    device->failStreams();
    clock.advance(1);
    EXPECT_FALSE(recorder.recordState().recording);
    EXPECT_EQ(log.count("stopped by itself"), 1);
    recorder.stopRecording();
    EXPECT_EQ(recorder.numPacketsToRead(), 10000);
}

TEST_F(RecorderTest, WithoutAMicrophoneNothingStartsAndNoFileIsLeft)
{
    device->setInputAvailable(false);
    AudioController recorder(*device, defaults, testLoop());
    recorder.startRecording();
    EXPECT_FALSE(recorder.recordState().recording);
    EXPECT_EQ(recorder.numPacketsToRead(), 0);
    EXPECT_FALSE(core::FileManager::fileExistsAtPath(home.documents() + recorder.recordName()));
    EXPECT_EQ(log.count("No sound input"), 1);
    EXPECT_EQ(log.count("Recording could not start"), 1);
}

TEST_F(RecorderTest, AnUnwritableDocumentsFolderStopsTheRecordingCleanly)
{
    ASSERT_TRUE(core::FileManager::removeItemAtPath(home.documents()));
    ASSERT_TRUE(core::FileManager::writeAtomically(home.documents(), "not a folder"));
    AudioController recorder(*device, defaults, testLoop());
    recorder.startRecording();
    clock.advance(1);
    EXPECT_FALSE(recorder.recordState().recording);
    EXPECT_EQ(recorder.numPacketsToRead(), 0);
    EXPECT_EQ(log.count("Cannot create the audio file"), 1);
}

} // namespace
