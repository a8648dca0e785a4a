// Several processes change one store at once, as a script, a second
// command and the window may: every change that one of them was told
// reached the store is there, exactly once, and nothing else is.

#include "AppFixture.h"
#include "TestContext.h"

#include "Classes/AudioController.h"
#include "Classes/PlistController.h"
#include "Classes/TableNavigationController.h"
#include "DetailController.h"
#include "TableViewController.h"

#include "support/AudioFixture.h"
#include "support/ChildProcess.h"
#include "support/TestEnvironment.h"

#include "platform/core/Date.h"
#include "platform/core/FileManager.h"
#include "platform/core/PropertyListSerialization.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <sstream>

namespace {

constexpr int kWriters = 3;
constexpr int kRounds = 30;
constexpr int kRecorders = 3;

std::vector<std::string> linesOf(const std::string& path)
{
    std::istringstream text(core::FileManager::contentsAtPath(path).value_or(""));
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);)
        lines.push_back(line);
    return lines;
}

struct Started {
    std::unique_ptr<ChildProcess> process = std::make_unique<ChildProcess>();
    std::string output;
};

TEST(ManyWriters, EveryAcknowledgedChangeIsInTheStoreOnceAndNothingElse)
{
    TemporaryHome home;
    core::UserDefaults settings(home.settingsFile());
    settings.setInteger(8000, "SampleRate");
    ASSERT_TRUE(settings.synchronize());

    const std::string storeWriter = VOICENOTES_BUILD_DIR "/tests/store_writer";
    std::vector<Started> writers(kWriters);
    std::vector<Started> recorders(kRecorders);
    for (int i = 0; i < kWriters; ++i) {
        writers[i].output = home.path() + "/writer" + std::to_string(i);
        ASSERT_TRUE(writers[i].process->start(
            {storeWriter, home.path(), "race", "w" + std::to_string(i), std::to_string(kRounds)}, writers[i].output));
    }
    // Started within one second, so their first choice of name is the same.
    for (int i = 0; i < kRecorders; ++i) {
        recorders[i].output = home.path() + "/recorder" + std::to_string(i);
        ASSERT_TRUE(recorders[i].process->start(
            {VOICENOTES_BINARY, "--home", home.path(), "--audio-device", "virtual", "record", "--seconds", "1"},
            recorders[i].output));
    }
    for (auto* group : {&writers, &recorders}) {
        for (auto& started : *group)
            ASSERT_EQ(started.process->waitForExit(120), 0)
                << core::FileManager::contentsAtPath(started.output)->c_str();
    }

    // What the processes were told: the path of each note and its title,
    // or none for a note removed again.
    std::map<std::string, std::optional<std::string>> acknowledged;
    for (int i = 0; i < kWriters; ++i) {
        int saved = 0;
        for (const auto& line : linesOf(writers[i].output)) {
            std::string word = line.substr(0, line.find(' '));
            std::string path = line.substr(line.find(' ') + 1);
            std::string round = path.substr(path.find('-') + 1, path.find('.') - path.find('-') - 1);
            if (word == "saved")
                ++saved;
            if (word == "saved" || word == "renamed")
                acknowledged[path] = word == "saved" ? "?" : "w" + std::to_string(i) + " " + round;
            if (word == "removed")
                acknowledged[path] = std::nullopt;
        }
        EXPECT_EQ(saved, kRounds) << "writer " << i;
    }
    std::set<std::string> recorded;
    for (auto& started : recorders) {
        for (const auto& line : linesOf(started.output)) {
            if (line.starts_with("/") && line.ends_with(".aif"))
                recorded.insert(line);
        }
    }
    EXPECT_EQ(recorded.size(), std::size_t(kRecorders)) << "two recordings shared a file";

    auto root = core::PropertyListSerialization::propertyListFromData(
        core::FileManager::contentsAtPath(home.documents() + "/data.plist").value_or(""));
    ASSERT_TRUE(root && root->array());
    std::map<std::string, std::string> stored;
    for (const auto& note : *root->array()) {
        std::string path = *note.objectForKey("Path")->string();
        EXPECT_TRUE(stored.emplace(path, *note.objectForKey("Title")->string()).second) << path << " is there twice";
    }
    for (const auto& [path, title] : acknowledged) {
        if (!title) {
            EXPECT_FALSE(stored.count(path)) << path << " was removed but is back";
            continue;
        }
        ASSERT_TRUE(stored.count(path)) << path << " was saved but is lost";
        EXPECT_EQ(stored[path], *title) << path;
    }
    for (const auto& path : recorded) {
        EXPECT_TRUE(stored.count(path)) << path << " was recorded but is lost";
        EXPECT_GE(AudioFixture::readSamples(home.documents() + path).size(), 8000u) << path;
    }
    std::size_t kept = std::count_if(acknowledged.begin(), acknowledged.end(), [](auto& a) { return a.second; });
    EXPECT_EQ(stored.size(), kept + recorded.size()) << "the store holds notes nobody saved";
}

} // namespace

namespace {

// The window while another process records, renames and removes notes.
class WindowBesideAnotherWriter : public AppFixture {
protected:
    // One change by another process; whether it reached the store.
    bool elsewhere(const std::vector<std::string>& change)
    {
        std::vector<std::string> arguments{VOICENOTES_BUILD_DIR "/tests/store_writer", home.path(), "do"};
        arguments.insert(arguments.end(), change.begin(), change.end());
        ChildProcess writer;
        return writer.start(arguments) && writer.waitForExit(60) == 0;
    }
    // Lets the window hear of it: the run loop turns until the list shows it.
    bool listShows(int rows)
    {
        return clock.runUntil([&] { return list().tableView().numberOfRowsInSection(0) == rows; });
    }
    void addNote(const std::string& name)
    {
        writeAiff(documentsFile(name), 80000, 8000);
        testStore().saveObject(0, 10, "/" + name, 80000);
    }
    DetailController& openDetails(int row)
    {
        list().tableView().tapAccessoryButtonForRowAtIndexPath({0, row});
        clock.advance(1);
        return dynamic_cast<DetailController&>(*browser().topViewController());
    }
};

TEST_F(WindowBesideAnotherWriter, TheListFollowsTheStoreAndThePlayingNotePlaysOn)
{
    addNote("a.aif");
    addNote("b.aif");
    launch(2);
    list().tableView().selectRowAtIndexPath({0, 0});
    clock.advance(0.5);
    ASSERT_EQ(list().selectedCell(), (ui::IndexPath{0, 0}));

    ASSERT_TRUE(elsewhere({"save", "/c.aif"}));
    ASSERT_TRUE(listShows(3));
    EXPECT_EQ(list().selectedCell(), (ui::IndexPath{0, 1}));
    EXPECT_TRUE(browser().playback().audio()->playState().playing);
    EXPECT_EQ(browser().statusLabel()->text(), "Notes: 3");

    // The playing note removed elsewhere stops; the others stay.
    ASSERT_TRUE(elsewhere({"remove", "/b.aif"}));
    ASSERT_TRUE(listShows(2));
    EXPECT_FALSE(list().selectedCell());
    EXPECT_FALSE(browser().playback().audio()->playState().playing);
    EXPECT_EQ(browser().currentSystemItem(), ui::BarButtonSystemItem::FlexibleSpace);

    ASSERT_TRUE(elsewhere({"remove", "/c.aif"}));
    ASSERT_TRUE(elsewhere({"remove", "/a.aif"}));
    ASSERT_TRUE(listShows(0));
    EXPECT_FALSE(list().editButtonItem()->isEnabled());
    ASSERT_TRUE(elsewhere({"save", "/d.aif"}));
    ASSERT_TRUE(listShows(1));
    EXPECT_TRUE(list().editButtonItem()->isEnabled());
}

TEST_F(WindowBesideAnotherWriter, TheDetailsChangeTheirOwnNoteAndSayWhenItWasDeleted)
{
    addNote("mine.aif");
    addNote("other.aif");
    launch(2);
    DetailController& details = openDetails(1);
    ASSERT_EQ(details.notePath(), "/mine.aif");
    // The screen may close when the window hears of the removal below.
    auto held = details.shared_from_this();

    // Another note comes above it: the editor's note is still the one renamed.
    ASSERT_TRUE(elsewhere({"save", "/newer.aif"}));
    ASSERT_TRUE(listShows(3));
    details.tableView().selectRowAtIndexPath({0, 0});
    clock.advance(1);
    details.textFieldName()->setText("Mine");
    details.doneAction();
    PlistController store{testContext()};
    EXPECT_EQ(NoteField::string(*store.loadObjectWithPath("/mine.aif"), NoteKey::Title), "Mine");
    EXPECT_EQ(NoteField::string(*store.loadObjectWithPath("/newer.aif"), NoteKey::Title), "Note 3");
    ASSERT_TRUE(elsewhere({"rename", "/mine.aif", "Renamed elsewhere"}));

    // Removed elsewhere before the window heard of it: the change is
    // refused, nothing is written, and the person is told.
    ASSERT_TRUE(elsewhere({"remove", "/mine.aif"}));
    std::string before = core::FileManager::contentsAtPath(documentsFile("data.plist")).value_or("");
    details.tableView().selectRowAtIndexPath({0, 0});
    clock.advance(1);
    details.textFieldName()->setText("Too late");
    details.doneAction();
    EXPECT_EQ(core::FileManager::contentsAtPath(documentsFile("data.plist")), before);
    ASSERT_EQ(alerts().size(), 1u);
    EXPECT_EQ(alerts().front()->message(), "This note was deleted elsewhere.");
    clock.advance(1);
    EXPECT_EQ(browser().topViewController().get(), &list());
}

TEST_F(WindowBesideAnotherWriter, OpenDetailsCloseWhenTheirNoteIsDeletedElsewhere)
{
    addNote("mine.aif");
    launch(2);
    openDetails(0);
    ASSERT_TRUE(elsewhere({"remove", "/mine.aif"}));
    ASSERT_TRUE(clock.runUntil([&] { return !alerts().empty(); }));
    EXPECT_EQ(alerts().front()->message(), "This note was deleted elsewhere.");
    clock.advance(1);
    EXPECT_EQ(browser().topViewController().get(), &list());
    EXPECT_EQ(list().tableView().numberOfRowsInSection(0), 0);
}

// A change made here reads the store before the window hears of another
// process's note: the list still shows it.
TEST_F(WindowBesideAnotherWriter, AnotherProcesssNoteShowsThoughAChangeHereReadItFirst)
{
    addNote("a.aif");
    // Marked: playing it takes the mark off through the notes' model.
    ASSERT_FALSE(testStore().editBadgeWithPath("/a.aif", false));
    launch(2);
    ASSERT_TRUE(elsewhere({"save", "/b.aif"}));
    list().tableView().selectRowAtIndexPath({0, 0});
    EXPECT_TRUE(listShows(2));
}

// Another program's changes show in the open details at once, except in
// the field being typed in: it keeps what is typed, the store gets it
// field by field, and the other change shows once the typing ends.
TEST_F(WindowBesideAnotherWriter, OpenDetailsFollowOtherProgramsButKeepWhatIsBeingTyped)
{
    addNote("mine.aif");
    launch(2);
    DetailController& details = openDetails(0);
    auto held = details.shared_from_this();
    std::string tomorrow = std::to_string(core::Date::now(testLoop()).timeIntervalSince1970() + 86400);
    ASSERT_TRUE(elsewhere({"rename", "/mine.aif", "Renamed elsewhere"}));
    ASSERT_TRUE(elsewhere({"text", "/mine.aif", "Written elsewhere"}));
    ASSERT_TRUE(elsewhere({"alert", "/mine.aif", tomorrow}));
    ASSERT_TRUE(clock.runUntil([&] { return details.dateLabel()->text() != "None"; }));
    EXPECT_EQ(details.textFieldName()->text(), "Renamed elsewhere");
    EXPECT_EQ(details.textView1()->text(), "Written elsewhere");

    details.tableView().selectRowAtIndexPath({0, 0});
    details.textFieldName()->setText("Typed");
    ASSERT_TRUE(elsewhere({"rename", "/mine.aif", "Second name"}));
    ASSERT_TRUE(elsewhere({"text", "/mine.aif", "Second text"}));
    ASSERT_TRUE(clock.runUntil([&] { return details.textView1()->text() == "Second text"; }));
    EXPECT_EQ(details.textFieldName()->text(), "Typed");
    details.doneAction();
    auto stored = testStore().loadObjectWithPath("/mine.aif");
    EXPECT_EQ(NoteField::string(*stored, NoteKey::Title), "Typed");
    EXPECT_EQ(NoteField::string(*stored, NoteKey::Info), "Second text");

    // Typing left as it was: the name another program gave shows at Done.
    details.tableView().selectRowAtIndexPath({0, 0});
    ASSERT_TRUE(elsewhere({"rename", "/mine.aif", "Third name"}));
    ASSERT_TRUE(clock.runUntil([&] { return delegate->notes().note("/mine.aif")->name == "Third name"; }));
    EXPECT_EQ(details.textFieldName()->text(), "Typed");
    details.doneAction();
    EXPECT_EQ(details.textFieldName()->text(), "Third name");
}

} // namespace
