// The real binary, started as a user would, with a temporary home.

#include "Classes/PlistController.h"
#include "TestContext.h"
#include "support/NotePathAt.h"

#include "support/AudioFixture.h"
#include "support/ChildProcess.h"
#include "support/TestEnvironment.h"
#include "support/XvfbServer.h"

#include "platform/audio/VirtualAudioDevice.h"
#include "platform/core/PropertyListSerialization.h"

#include "platform/core/FileManager.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/FirstFrameProbe.h"
#include "platform/ui/SingleInstance.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

struct ProcessResult {
    int status = -1;
    std::string output;
};

// Starts voicenotes; once its output contains `until` (or at once when
// empty), sends the signal; returns the exit status and what it printed.
ProcessResult runVoiceNotes(std::vector<std::string> args, const std::string& until = "", int signal = SIGTERM,
                            const std::string& binary = VOICENOTES_BINARY)
{
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0)
        return {};
    pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], 1);
        ::dup2(out[1], 2);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        std::vector<char*> argv{const_cast<char*>(binary.c_str())};
        for (auto& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        ::execv(binary.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ProcessResult run;
    bool signalled = until.empty();
    std::array<char, 4096> buffer;
    while (true) {
        ssize_t n = ::read(out[0], buffer.data(), buffer.size());
        if (n <= 0)
            break;
        run.output.append(buffer.data(), std::size_t(n));
        if (!signalled && run.output.find(until) != std::string::npos) {
            ::kill(pid, signal);
            signalled = true;
        }
    }
    ::close(out[0]);
    ::waitpid(pid, &run.status, 0);
    return run;
}

TEST(Launch, StartsWithATemporaryHomeAndQuitsCleanlyOnSigterm)
{
    TemporaryHome home;
    ProcessResult run = runVoiceNotes({"--home", home.path()}, "Alert check ran");

    ASSERT_TRUE(WIFEXITED(run.status)) << run.output;
    EXPECT_EQ(WEXITSTATUS(run.status), 0) << run.output;
    auto store = core::FileManager::contentsAtPath(home.documents() + "/data.plist");
    EXPECT_EQ(store, core::FileManager::contentsAtPath(std::string(VOICENOTES_TEST_RESOURCES) + "/data.plist"));
    core::UserDefaults settings(home.settingsFile());
    EXPECT_EQ(settings.integerForKey("Maximum Time"), 5);
    EXPECT_EQ(settings.integerForKey("SampleRate"), 8000);
}

// A home whose settings start a recording at launch, on the virtual device.
class RecordingLaunch : public testing::Test {
protected:
    RecordingLaunch()
    {
        core::UserDefaults settings(home.settingsFile());
        settings.setBool(true, "AutoRecording");
        EXPECT_TRUE(settings.synchronize());
    }
    ProcessResult recordUntilTheSecondBuffer(int signal)
    {
        return runVoiceNotes({"--home", home.path(), "--audio-device", "virtual"}, "Writing buffer 8000", signal);
    }
    // The file holds the virtual microphone's tone from its first sample.
    static void expectTheTone(const std::vector<std::int16_t>& samples)
    {
        std::size_t differing = 0;
        for (std::size_t i = 0; i < samples.size(); ++i)
            differing += samples[i] != audio::VirtualAudioDevice::tone(i, 8000);
        EXPECT_EQ(differing, 0u);
    }

    TemporaryHome home;
};

class EndedMidRecording : public RecordingLaunch, public testing::WithParamInterface<std::tuple<int, bool>> { };

// The window (recording on start-up) and `voicenotes record` alike.
TEST_P(EndedMidRecording, StoresTheRecordingAsANote)
{
    auto [signal, command] = GetParam();
    ProcessResult run = command
        ? runVoiceNotes({"--home", home.path(), "--audio-device", "virtual", "record", "--seconds", "600"},
                        "Writing buffer 8000", signal)
        : recordUntilTheSecondBuffer(signal);
    ASSERT_TRUE(WIFEXITED(run.status)) << run.output;
    EXPECT_EQ(WEXITSTATUS(run.status), 0) << run.output;
    EXPECT_NE(run.output.find("Stopping recording"), std::string::npos) << run.output;

    auto store = core::PropertyListSerialization::propertyListFromData(
        core::FileManager::contentsAtPath(home.documents() + "/data.plist").value_or(""));
    ASSERT_TRUE(store && store->array() && store->array()->size() == 1u) << run.output;
    const auto& note = *store->array()->front().dictionary();
    auto samples = AudioFixture::readSamples(home.documents() + *note.at("Path").string());
    EXPECT_GE(samples.size(), 8000u);
    EXPECT_EQ(*note.at("numPackets").integer(), std::int64_t(samples.size()));
    expectTheTone(samples);
    // However late the clock's timer ran, the length is the audio's.
    const auto& length = *note.at("Lengh").array();
    EXPECT_EQ(*length.at(0).integer() * 60 + *length.at(1).integer(), std::int64_t(samples.size() / 8000));
}

INSTANTIATE_TEST_SUITE_P(Signals, EndedMidRecording,
                         testing::Combine(testing::Values(SIGTERM, SIGINT), testing::Bool()), [](const auto& info) {
                             return std::string(std::get<0>(info.param) == SIGTERM ? "Sigterm" : "Sigint")
                                 + (std::get<1>(info.param) ? "ToTheCommand" : "ToTheWindow");
                         });

TEST_F(RecordingLaunch, SigkillDuringARecordingLeavesAReadableFile)
{
    ProcessResult run = recordUntilTheSecondBuffer(SIGKILL);
    ASSERT_TRUE(WIFSIGNALED(run.status)) << run.output;
    auto files = home.audioFiles();
    ASSERT_EQ(files.size(), 1u);
    auto samples = AudioFixture::readSamples(files.front());
    // Whole buffers of one second each, at least the one written before the kill.
    EXPECT_GE(samples.size(), 8000u);
    EXPECT_EQ(samples.size() % 8000, 0u);
    expectTheTone(samples);
    // The header is whole for other readers too.
    std::unique_ptr<FILE, int (*)(FILE*)> soxi(::popen(("soxi -s '" + files.front() + "'").c_str(), "r"), ::pclose);
    ASSERT_TRUE(soxi);
    std::array<char, 64> count{};
    ASSERT_TRUE(std::fgets(count.data(), int(count.size()), soxi.get()));
    EXPECT_EQ(std::atol(count.data()), long(samples.size()));
}

TEST(Launch, AnOverdueAlertIsShownAndTheApplicationStillEndsCleanly)
{
    TemporaryHome home;
    core::FileManager::createDirectoryAtPath(home.documents());
    PlistController store{testContext()};
    store.saveObject(0, 1, "/gone.aif", 8000);
    store.editDateAlertWithPath(notePathAt(testStore(), 0), core::Date(1'000'000'000));

    ProcessResult run = runVoiceNotes({"--home", home.path(), "--audio-device", "virtual"}, "Alert check ran");
    ASSERT_TRUE(WIFEXITED(run.status)) << run.output;
    EXPECT_EQ(WEXITSTATUS(run.status), 0) << run.output;
    EXPECT_NE(run.output.find("1 of 1 notes due"), std::string::npos) << run.output;
    EXPECT_TRUE(NoteField::isMarked(*store.loadObject(0)));
    EXPECT_EQ(core::UserDefaults(home.settingsFile()).integerForKey("VoiceNotesPlatform/ApplicationIconBadgeNumber"),
              1);
}

TEST(Launch, AnInstalledCopyFindsItsResourcesAndItsDesktopFilesAreValid)
{
    TemporaryHome prefix;
    ChildProcess install;
    ASSERT_TRUE(install.start({"/usr/bin/cmake", "--install", VOICENOTES_BUILD_DIR, "--prefix", prefix.path()}));
    ASSERT_EQ(install.waitForExit(120), 0);
    for (const char* file :
         {"/share/applications/org.voicenotes.VoiceNotes.desktop",
          "/share/metainfo/org.voicenotes.VoiceNotes.metainfo.xml", "/share/voicenotes/resources/Localizable.strings",
          "/share/man/man1/voicenotes.1.gz", "/share/doc/voicenotes/copyright", "/share/doc/voicenotes/changelog.gz"})
        EXPECT_TRUE(core::FileManager::fileExistsAtPath(prefix.path() + file)) << file;
    // Each size of the theme holds the icon drawn at that size.
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const std::string icon = prefix.path() + "/share/icons/hicolor/" + std::to_string(size) + "x"
            + std::to_string(size) + "/apps/org.voicenotes.VoiceNotes.png";
        EXPECT_EQ(QImage(QString::fromStdString(icon)).size(), QSize(size, size)) << icon;
    }
    for (std::vector<std::string> check :
         {std::vector<std::string>{"/usr/bin/desktop-file-validate",
                                   prefix.path() + "/share/applications/org.voicenotes.VoiceNotes.desktop"},
          {"/usr/bin/appstreamcli", "validate", "--no-net",
           prefix.path() + "/share/metainfo/org.voicenotes.VoiceNotes.metainfo.xml"}}) {
        ChildProcess validate;
        ASSERT_TRUE(validate.start(check));
        EXPECT_EQ(validate.waitForExit(60), 0) << check[0];
    }

    TemporaryHome home;
    ProcessResult run = runVoiceNotes({"--home", home.path()}, "Alert check ran", SIGTERM,
                                      prefix.path() + "/bin/voicenotes");
    ASSERT_TRUE(WIFEXITED(run.status)) << run.output;
    EXPECT_EQ(WEXITSTATUS(run.status), 0) << run.output;
    EXPECT_TRUE(core::FileManager::fileExistsAtPath(home.documents() + "/data.plist"));
    EXPECT_EQ(run.output.find("not in the application's resources"), std::string::npos) << run.output;
    // Its modules are found where they were installed.
    ProcessResult record = runVoiceNotes(
        {"--home", home.path(), "--audio-device", "virtual", "record", "--seconds", "1"}, "", SIGTERM,
        prefix.path() + "/bin/voicenotes");
    EXPECT_TRUE(WIFEXITED(record.status) && WEXITSTATUS(record.status) == 0) << record.output;
}

// Start-up opens none of the libraries kept in modules: the dynamic
// loader's own account (LD_DEBUG=libs) of what it loaded before the first
// frame. With no device asked for, the system's is chosen after it.
TEST(Launch, TheFirstFrameLoadsNoneOfTheLibrariesKeptInModules)
{
    TemporaryHome home;
    std::string outputPath = home.path() + "/output.txt";
    ChildProcess process;
    auto environment = soundProbeEnvironment();
    environment.insert(
        environment.end(),
        {"VOICENOTES_AUDIO_DEVICE=", "LD_DEBUG=libs", std::string(ui::FirstFrameProbe::kVariable) + "=1"});
    ASSERT_TRUE(process.start({VOICENOTES_BINARY, "--home", home.path()}, outputPath, environment));
    int status = process.waitForExit(60);
    std::string output = core::FileManager::contentsAtPath(outputPath).value_or("");
    EXPECT_EQ(status, 0) << output;
    auto firstFrame = output.find("first frame");
    ASSERT_NE(firstFrame, std::string::npos) << output;
    ASSERT_NE(output.find("calling init: "), std::string::npos) << "no account of the libraries loaded";
    std::string beforeFirstFrame = output.substr(0, firstFrame);
    for (const char* library : {"libvoicenotes-", "libcurl", "libavahi", "libcrypto", "libportaudio", "libsndfile"})
        EXPECT_EQ(beforeFirstFrame.find(library), std::string::npos) << library << " in:\n" << beforeFirstFrame;
}

// A copy of the binary without its modules starts, but what needs one
// fails and says which is missing.
TEST(Launch, WithoutItsModulesARecordingFailsAndSaysWhy)
{
    TemporaryHome home;
    std::string binary = home.path() + "/voicenotes";
    ASSERT_TRUE(core::FileManager::copyItemAtPath(VOICENOTES_BINARY, binary));
    ASSERT_EQ(::chmod(binary.c_str(), 0755), 0);
    std::string outputPath = home.path() + "/output.txt";
    ChildProcess process;
    ASSERT_TRUE(process.start({binary, "--home", home.path(), "--audio-device", "virtual", "record", "--seconds", "1"},
                              outputPath));
    EXPECT_EQ(process.waitForExit(60), 1);
    std::string output = core::FileManager::contentsAtPath(outputPath).value_or("");
    EXPECT_NE(output.find("Cannot open the sndfile module: the module libvoicenotes-sndfile.so is not installed"),
              std::string::npos)
        << output;
}

// Without a display (a shell over SSH, a script) the window cannot open:
// one line says so instead of the toolkit's abort, and an unknown option
// is refused before that with its usage status.
TEST(Launch, WithoutADisplayItSaysSoAndAnUnknownOptionIsRefusedFirst)
{
    TemporaryHome home;
    const std::vector<std::string> noDisplay{"QT_QPA_PLATFORM=", "DISPLAY=", "WAYLAND_DISPLAY="};
    std::string outputPath = home.path() + "/output.txt";
    auto run = [&](std::vector<std::string> extra) {
        std::vector<std::string> arguments{VOICENOTES_BINARY, "--home", home.path(), "--audio-device", "virtual"};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        ChildProcess process;
        EXPECT_TRUE(process.start(arguments, outputPath, noDisplay));
        return process.waitForExit(60);
    };
    auto output = [&] { return core::FileManager::contentsAtPath(outputPath).value_or(""); };

    EXPECT_EQ(run({"--bogus"}), 2) << output();
    EXPECT_NE(output().find("unknown option --bogus"), std::string::npos) << output();
    EXPECT_EQ(run({}), 1) << output();
    EXPECT_NE(output().find("no display to show the window on"), std::string::npos) << output();
    EXPECT_EQ(run({"list"}), 0) << output();
}

TEST(Launch, ASecondStartBringsTheOpenWindowForwardAndCommandsStillRun)
{
    TemporaryHome home;
    std::string firstOutput = home.path() + "/first.out";
    ChildProcess first;
    ASSERT_TRUE(first.start({VOICENOTES_BINARY, "--home", home.path()}, firstOutput, {"QT_QPA_PLATFORM=offscreen"}));
    ASSERT_TRUE(waitForText(firstOutput, "Alert check ran"))
        << core::FileManager::contentsAtPath(firstOutput).value_or("");

    // Only the owner can reach the window: a socket in a folder of the
    // owner's alone, not a name anybody may take first. Peers that connect
    // and say nothing hold nobody up.
    std::string folder = ui::SingleInstance::socketFolder();
    struct stat status = {};
    ASSERT_EQ(::lstat(folder.c_str(), &status), 0) << folder;
    EXPECT_EQ(status.st_mode & 0777, 0700u);
    std::vector<int> silent;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".socket")
            continue;
        for (int i = 0; i < 3; ++i) {
            sockaddr_un address = {};
            address.sun_family = AF_UNIX;
            std::strncpy(address.sun_path, entry.path().c_str(), sizeof address.sun_path - 1);
            int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
                silent.push_back(fd);
        }
    }
    EXPECT_GE(silent.size(), 3u);

    ProcessResult second = runVoiceNotes({"--home", home.path()});
    for (int fd : silent)
        ::close(fd);
    ASSERT_TRUE(WIFEXITED(second.status)) << second.output;
    EXPECT_EQ(WEXITSTATUS(second.status), 0) << second.output;
    EXPECT_NE(second.output.find("Voice Notes is open already"), std::string::npos) << second.output;
    EXPECT_TRUE(waitForText(firstOutput, "its window comes forward"));

    // Another folder of notes has a window of its own; commands run beside.
    TemporaryHome other;
    ProcessResult elsewhere = runVoiceNotes({"--home", other.path()}, "Alert check ran");
    EXPECT_EQ(elsewhere.output.find("open already"), std::string::npos) << elsewhere.output;
    ProcessResult list = runVoiceNotes({"--home", home.path(), "list"});
    EXPECT_EQ(WEXITSTATUS(list.status), 0) << list.output;

    first.stop(SIGTERM);
}

// On an X server the window asks for no position: the window manager
// places it (one asked for at 0,0 put the title bar above the screen).
TEST(Launch, TheWindowLeavesItsPlaceToTheWindowManager)
{
    XvfbServer xServer;
    std::string error;
    std::string display = xServer.start(error);
    ASSERT_FALSE(display.empty()) << error;
    TemporaryHome home;
    std::string output = home.path() + "/window.out";
    ChildProcess window;
    ASSERT_TRUE(window.start({VOICENOTES_BINARY, "--home", home.path()}, output,
                             {"DISPLAY=" + display, "QT_QPA_PLATFORM=xcb"}));
    ASSERT_TRUE(waitForText(output, "Alert check ran")) << core::FileManager::contentsAtPath(output).value_or("");
    std::string hints = home.path() + "/hints.out";
    ChildProcess xprop;
    ASSERT_TRUE(xprop.start({"/bin/sh", "-c",
                             "xprop -display \"$0\" -id \"$(xdotool search --name 'Voice Notes' | head -n 1)\" "
                             "WM_NORMAL_HINTS",
                             display},
                            hints, {"DISPLAY=" + display}));
    ASSERT_EQ(xprop.waitForExit(30), 0);
    std::string text = core::FileManager::contentsAtPath(hints).value_or("");
    EXPECT_NE(text.find("size: 320 by 480"), std::string::npos) << text;
    EXPECT_EQ(text.find("location"), std::string::npos) << text;
    window.stop(SIGTERM);
}

TEST(Launch, HelpVersionAndBadOptions)
{
    ProcessResult help = runVoiceNotes({"--help"});
    EXPECT_EQ(WEXITSTATUS(help.status), 0);
    EXPECT_NE(help.output.find("--home DIR"), std::string::npos) << help.output;
    EXPECT_NE(help.output.find("export INDEX --host H --user U"), std::string::npos) << help.output;

    ProcessResult version = runVoiceNotes({"--version"});
    EXPECT_EQ(WEXITSTATUS(version.status), 0);
    EXPECT_EQ(version.output.rfind("voicenotes ", 0), 0u) << version.output;

    TemporaryHome home;
    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"--home"}, {"--home", home.path(), "--frobnicate"}}) {
        ProcessResult run = runVoiceNotes(bad);
        EXPECT_EQ(WEXITSTATUS(run.status), 2) << run.output;
        EXPECT_FALSE(core::FileManager::fileExistsAtPath(home.documents() + "/data.plist"));
    }
}

} // namespace
