// A disk that is full, read-only or past the file-size limit: the store is
// never left half written, nothing crashes, and the failure is said.

#include "Classes/AudioController.h"
#include "Classes/NoteRecord.h"
#include "Classes/PlistController.h"
#include "Classes/RootViewController.h"
#include "Classes/TableNavigationController.h"
#include "DetailController.h"
#include "RecordingViewController.h"
#include "TableViewController.h"
#include "TestContext.h"
#include "support/NotePathAt.h"

#include "AppFixture.h"

#include "support/ChildProcess.h"

#include "platform/core/FileManager.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>

using core::FileManager;

namespace {

// The real binary recording from the command line, with Documents on a
// filesystem of its own (see in_small_filesystem.sh).
class FullDiskTest : public testing::Test {
protected:
    FullDiskTest()
    {
        testContext().defaults().setInteger(8000, "SampleRate");
        for (int i = 0; i < 30; ++i) {
            store.saveObject(0, 1, "/" + std::to_string(i) + ".aif", 8000);
            store.editInfoWithPath(notePathAt(testStore(), 0), std::string(2000, 'i'));
        }
        storeBefore = FileManager::contentsAtPath(home.documents() + "/data.plist").value_or("");
        core::UserDefaults settings(home.settingsFile());
        settings.setInteger(8000, "SampleRate");
        EXPECT_TRUE(settings.synchronize());
    }

    // Runs `voicenotes record` with `free` KiB left (or "ro"); its exit
    // status, or -1 when a signal ended it.
    int record(const std::string& free, int seconds = 2)
    {
        ChildProcess run;
        EXPECT_TRUE(run.start({std::string(VOICENOTES_TEST_SCRIPTS) + "/in_small_filesystem.sh", home.documents(), free,
                               after(), VOICENOTES_BINARY, "--home", home.path(), "--audio-device", "virtual", "record",
                               "--seconds", std::to_string(seconds)},
                              outputPath()));
        return run.waitForExit(60);
    }
    std::string after() const { return home.path() + "/after"; }
    std::string outputPath() const { return home.path() + "/output"; }
    std::string output() const { return FileManager::contentsAtPath(outputPath()).value_or(""); }
    std::vector<std::string> filesAfter() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(after()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    void expectTheStoreUnchanged() const
    {
        EXPECT_EQ(FileManager::contentsAtPath(after() + "/data.plist"), storeBefore);
        for (const auto& name : filesAfter())
            EXPECT_TRUE(!name.starts_with(".data.plist.")
                        && (!name.starts_with("data.plist.") || name == "data.plist.lock"))
                << "a half-written store is left: " << name;
    }

    TemporaryHome home;
    PlistController store{testContext()};
    std::string storeBefore;
};

TEST_F(FullDiskTest, ARecordingThatFitsButAStoreThatCannotGrowKeepsTheRecordingAndSaysSo)
{
    // Two seconds at 8000 Hz take 32 KB; the store needs about 70 KB more.
    EXPECT_EQ(record("40"), 1) << output();
    expectTheStoreUnchanged();
    EXPECT_NE(output().find("Could not write data.plist"), std::string::npos) << output();
    EXPECT_NE(output().find("the note could not be stored; the recording is kept as"), std::string::npos);
    auto names = filesAfter();
    EXPECT_EQ(std::count_if(names.begin(), names.end(), [](auto& name) { return name.ends_with(".aif"); }), 1);
}

TEST_F(FullDiskTest, AFullDiskStopsTheRecordingWithoutACrashOrAnEmptyFile)
{
    EXPECT_EQ(record("0"), 1) << output();
    expectTheStoreUnchanged();
    // Not even a header fitted: no file is left to be found as a recording.
    EXPECT_EQ(filesAfter(), (std::vector<std::string>{"data.plist", "data.plist.lock"}));
}

TEST_F(FullDiskTest, AReadOnlyDocumentsFolderRecordsNothingAndKeepsTheStore)
{
    EXPECT_EQ(record("ro"), 1) << output();
    expectTheStoreUnchanged();
    EXPECT_NE(output().find("Cannot create the audio file"), std::string::npos) << output();
    EXPECT_EQ(filesAfter(), (std::vector<std::string>{"data.plist", "data.plist.lock"}));
}

TEST_F(FullDiskTest, AFileSizeLimitEndsTheAudioNotTheProcess)
{
    // Three seconds at 44100 Hz take 264 KB.
    core::UserDefaults settings(home.settingsFile());
    settings.setInteger(44100, "SampleRate");
    ASSERT_TRUE(settings.synchronize());
    ChildProcess run;
    ASSERT_TRUE(run.start({"/usr/bin/prlimit", "--fsize=200000", VOICENOTES_BINARY, "--home", home.path(),
                           "--audio-device", "virtual", "record", "--seconds", "3"},
                          outputPath()));
    ASSERT_EQ(run.waitForExit(60), 0) << output();
    EXPECT_NE(output().find("Writing audio failed"), std::string::npos) << output();
    auto note = store.loadObject(0);
    ASSERT_TRUE(note);
    auto samples = AudioFixture::readSamples(home.documents() + NoteField::string(*note, NoteKey::Path));
    EXPECT_EQ(*note->at(NoteKey::NumPackets).integer(), std::int64_t(samples.size()));
    EXPECT_GE(samples.size(), 44100u);
    EXPECT_LT(samples.size(), 100000u);
}

// The window, when its own process meets the file-size limit.
class FullDiskWindowTest : public AppFixture {
protected:
    ~FullDiskWindowTest() override { liftLimit(); }
    void limitFilesTo(rlim_t bytes)
    {
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit small{bytes, saved.rlim_max};
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    }
    void liftLimit() { ::setrlimit(RLIMIT_FSIZE, &saved); }

    rlimit saved{RLIM_INFINITY, RLIM_INFINITY};
};

TEST_F(FullDiskWindowTest, ANoteThatCannotBeStoredRaisesAnAlertNamingItsRecording)
{
    PlistController store{testContext()};
    for (int i = 0; i < 20; ++i)
        store.saveObject(0, 1, "/" + std::to_string(i) + ".aif", 8000);
    std::string before = FileManager::contentsAtPath(documentsFile("data.plist")).value_or("");
    launch(2);
    browser().tableViewController()->navigationItem().rightBarButtonItem()->trigger();
    clock.advance(2);
    limitFilesTo(before.size());
    root().recordingViewController()->SaveAction();
    liftLimit();

    EXPECT_EQ(FileManager::contentsAtPath(documentsFile("data.plist")), before);
    ASSERT_EQ(alerts().size(), 1u);
    std::string recording = root().recordingViewController()->recordController()->recordName().substr(1);
    EXPECT_NE(alerts().front()->message().find("kept in the notes folder as " + recording), std::string::npos)
        << alerts().front()->message();
    EXPECT_TRUE(FileManager::fileExistsAtPath(documentsFile(recording)));
}

// A rename in the details that cannot be stored is said, and the typed
// name stays to be kept with the next Done, once there is room.
TEST_F(FullDiskWindowTest, ARenameThatCannotBeStoredIsSaidAndTheTypedNameStays)
{
    testStore().saveObject(0, 1, "/a.aif", 8000);
    std::string before = FileManager::contentsAtPath(documentsFile("data.plist")).value_or("");
    launch(2);
    list().tableView().tapAccessoryButtonForRowAtIndexPath({0, 0});
    clock.advance(1);
    auto& editor = dynamic_cast<DetailController&>(*browser().topViewController());
    editor.textFieldName()->setText("A name longer than the first");
    limitFilesTo(before.size());
    editor.textFieldName()->on_shouldReturn();
    liftLimit();

    EXPECT_EQ(FileManager::contentsAtPath(documentsFile("data.plist")), before);
    ASSERT_EQ(alerts().size(), 1u);
    EXPECT_NE(
        alerts().front()->message().find("The change was not saved: the notes file data.plist could not be written"),
        std::string::npos)
        << alerts().front()->message();
    EXPECT_EQ(editor.textFieldName()->text(), "A name longer than the first");
    editor.textFieldName()->on_shouldReturn();
    EXPECT_EQ(NoteField::string(testStore().loadObject(0).value_or(NoteRecord{}), NoteKey::Title),
              "A name longer than the first");
}

} // namespace
