#include "Classes/PlistController.h"
#include "Classes/AppContext.h"
#include "TestContext.h"
#include "support/NotePathAt.h"

#include "support/TestEnvironment.h"

#include "platform/core/Date.h"
#include "platform/core/FileManager.h"
#include "platform/core/Paths.h"
#include "platform/core/PropertyListSerialization.h"
#include "platform/core/UserDefaults.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using core::FileManager;
using core::PropertyList;

namespace {

class PlistControllerTest : public testing::Test {
protected:
    void SetUp() override
    {
        testContext().defaults().setInteger(8000, "SampleRate");
        store.checkPlistFile();
    }

    std::string documentsFile(const std::string& name) const { return home.documents() + "/" + name; }
    std::string storeFile() const { return documentsFile("data.plist"); }

    // A note with an audio file that exists, like a finished recording.
    void recordNote(const std::string& name, std::int64_t minutes = 0, std::int64_t seconds = 3)
    {
        ASSERT_TRUE(FileManager::writeAtomically(documentsFile(name), "audio"));
        store.saveObject(minutes, seconds, "/" + name, 8000);
    }

    std::string title(std::size_t index)
    {
        auto record = store.loadObject(index);
        return record ? *record->at("Title").string() : std::string("(none)");
    }

    void writeStore(const PropertyList::Array& notes)
    {
        auto xml = core::PropertyListSerialization::dataFromPropertyList(PropertyList(notes));
        ASSERT_TRUE(xml);
        ASSERT_TRUE(FileManager::writeAtomically(storeFile(), *xml));
    }

    std::string storeBytes() { return FileManager::contentsAtPath(storeFile()).value_or(""); }

    TemporaryHome home;
    VirtualClock clock;
    LogCapture log;
    PlistController store{testContext()};
};

TEST_F(PlistControllerTest, FirstStartCopiesTheEmptyTemplate)
{
    EXPECT_TRUE(FileManager::fileExistsAtPath(storeFile()));
    EXPECT_EQ(store.countInPlist(), 0u);
    ASSERT_TRUE(store.getPlistObject());
    EXPECT_TRUE(store.getPlistObject()->empty());
}

// What start-up reads ahead on a thread is taken only while the file is
// still the one it read: another writer may come first.
TEST_F(PlistControllerTest, AListReadAheadIsTakenOnlyWhileTheFileIsTheOneItRead)
{
    recordNote("kept.aif");
    AppContext ahead(testLoop());
    PlistController(ahead).preloadList();
    EXPECT_EQ(PlistController(ahead).countInPlist(), 1u);

    AppContext overtaken(testLoop());
    PlistController(overtaken).preloadList();
    ASSERT_TRUE(overtaken.storeCache());
    writeStore({});
    EXPECT_EQ(PlistController(overtaken).countInPlist(), 0u);
}

TEST_F(PlistControllerTest, NewRecordHoldsExactlyTheEightKeys)
{
    clock.engine().setWallClock(1'700'000'000.0);
    testContext().defaults().setInteger(22050, "SampleRate");
    store.saveObject(2, 7, "/20231114221320.aif", 16000);

    auto record = store.loadObject(0);
    ASSERT_TRUE(record);
    std::vector<std::string> keys;
    for (const auto& [key, value] : *record)
        keys.push_back(key);
    EXPECT_EQ(
        keys,
        (std::vector<std::string>{"Date", "Icon", "Lengh", "NoteID", "Path", "SampleRate", "Title", "numPackets"}));
    EXPECT_EQ(*record->at("Title").string(), "Note 1");
    EXPECT_EQ(*record->at("Path").string(), "/20231114221320.aif");
    EXPECT_EQ(record->at("Date").date()->timeIntervalSince1970(), 1'700'000'000.0);
    EXPECT_EQ(*record->at("Icon").string(), "YellowIcon");
    EXPECT_EQ(record->at("Lengh"), PropertyList(PropertyList::Array{2, 7}));
    EXPECT_EQ(*record->at("NoteID").integer(), 1);
    EXPECT_EQ(*record->at("numPackets").integer(), 16000);
    EXPECT_EQ(*record->at("SampleRate").integer(), 22050);
}

TEST_F(PlistControllerTest, NoteIdsFollowOnlyTheNewestNoteAndWrapAfterFifty)
{
    store.saveObject(0, 1, "/a.aif", 1);
    store.saveObject(0, 1, "/b.aif", 1);
    EXPECT_EQ(*store.loadObject(0)->at("NoteID").integer(), 2);

    // The newest note carries 12, older ones more: 13 comes next.
    auto notes = *store.getPlistObject();
    (*notes[0].dictionary())["NoteID"] = 12;
    (*notes[1].dictionary())["NoteID"] = 40;
    writeStore(notes);
    store.saveObject(0, 1, "/c.aif", 1);
    EXPECT_EQ(*store.loadObject(0)->at("NoteID").integer(), 13);
    EXPECT_EQ(title(0), "Note 13");

    notes = *store.getPlistObject();
    (*notes[0].dictionary())["NoteID"] = 50;
    writeStore(notes);
    store.saveObject(0, 1, "/d.aif", 1);
    EXPECT_EQ(*store.loadObject(0)->at("NoteID").integer(), 1);
    EXPECT_EQ(store.countInPlist(), 4u);
}

TEST_F(PlistControllerTest, NewestNoteWithoutAUsableIdStartsAgainAtOne)
{
    writeStore({PropertyList(PropertyList::Dictionary{{"NoteID", "7"}})});
    store.saveObject(0, 1, "/a.aif", 1);
    EXPECT_EQ(*store.loadObject(0)->at("NoteID").integer(), 1);
    EXPECT_EQ(store.countInPlist(), 2u);

    // The largest integer has no successor.
    writeStore({PropertyList(PropertyList::Dictionary{{"NoteID", std::numeric_limits<std::int64_t>::max()}})});
    store.saveObject(0, 1, "/b.aif", 1);
    EXPECT_EQ(*store.loadObject(0)->at("NoteID").integer(), 1);
}

TEST_F(PlistControllerTest, RealNumbersReadAsIntegersOnlyWithinTheIntegersRange)
{
    NoteRecord note{{"NoteID", 7.9},
                    {"numPackets", 1e300},
                    {"SampleRate", std::numeric_limits<double>::quiet_NaN()},
                    {"Title", -std::numeric_limits<double>::infinity()}};
    EXPECT_EQ(NoteField::integer(note, "NoteID"), 7);
    EXPECT_FALSE(NoteField::integer(note, "numPackets"));
    EXPECT_FALSE(NoteField::integer(note, "SampleRate"));
    EXPECT_FALSE(NoteField::integer(note, "Title"));
}

TEST_F(PlistControllerTest, RemovingTheLastNoteResetsToTheTemplate)
{
    recordNote("only.aif");
    std::string before = storeBytes();
    store.removeObjectWithPath(notePathAt(testStore(), 0));

    EXPECT_FALSE(FileManager::fileExistsAtPath(documentsFile("only.aif")));
    // The template's own bytes, not a serialised empty list.
    auto templateBytes = FileManager::contentsAtPath(std::string(VOICENOTES_TEST_RESOURCES) + "/data.plist");
    EXPECT_EQ(storeBytes(), templateBytes.value());
    EXPECT_NE(storeBytes(), before);
    EXPECT_EQ(store.countInPlist(), 0u);
    EXPECT_EQ(log.lines(core::Log::Channel::StandardOutput),
              (std::vector<std::string>{"Created new plist", "Data.plist changed"}));
}

TEST_F(PlistControllerTest, RemovingOneOfSeveralKeepsTheOrderAndDeletesItsFile)
{
    recordNote("1.aif");
    recordNote("2.aif");
    recordNote("3.aif");
    store.removeObjectWithPath(notePathAt(testStore(), 1));

    EXPECT_EQ(store.countInPlist(), 2u);
    EXPECT_EQ(*store.loadObject(0)->at("Path").string(), "/3.aif");
    EXPECT_EQ(*store.loadObject(1)->at("Path").string(), "/1.aif");
    EXPECT_FALSE(FileManager::fileExistsAtPath(documentsFile("2.aif")));
    EXPECT_TRUE(FileManager::fileExistsAtPath(documentsFile("1.aif")));
    EXPECT_TRUE(FileManager::fileExistsAtPath(documentsFile("3.aif")));
    EXPECT_EQ(log.lines(core::Log::Channel::StandardOutput),
              (std::vector<std::string>{"Object removed", "Data.plist changed"}));
}

TEST_F(PlistControllerTest, RemovingANoteWhoseFileIsGoneStillRemovesTheRecord)
{
    store.saveObject(0, 1, "/gone.aif", 1);
    store.saveObject(0, 1, "/also-gone.aif", 1);
    store.removeObjectWithPath(notePathAt(testStore(), 0));
    EXPECT_EQ(store.countInPlist(), 1u);
    EXPECT_EQ(*store.loadObject(0)->at("Path").string(), "/gone.aif");
}

TEST_F(PlistControllerTest, PathsThatLeaveDocumentsNeverRemoveAnything)
{
    std::string outside = home.path() + "/precious.txt";
    ASSERT_TRUE(FileManager::writeAtomically(outside, "keep me"));
    ASSERT_TRUE(FileManager::createDirectoryAtPath(home.documents() + "/sub"));
    ASSERT_TRUE(FileManager::writeAtomically(home.documents() + "/sub/inner.aif", "keep me too"));

    for (const std::string& path :
         {std::string("/../../../../precious.txt"), std::string(".."), outside, std::string("/sub/inner.aif"),
          std::string("//precious.txt"), std::string("/"), std::string("")}) {
        store.saveObject(0, 1, path, 1);
        store.saveObject(0, 1, "/other.aif", 1);
        store.removeObjectWithPath(notePathAt(testStore(), 1));
        SCOPED_TRACE(path);
        EXPECT_TRUE(FileManager::fileExistsAtPath(outside));
        EXPECT_TRUE(FileManager::fileExistsAtPath(home.documents() + "/sub/inner.aif"));
        EXPECT_TRUE(FileManager::fileExistsAtPath(home.documents()));
    }
}

TEST_F(PlistControllerTest, RenameAndIconChangeShareOneOperationThroughTheNoMarker)
{
    store.saveObject(0, 1, "/a.aif", 1);
    store.editObjectWithPath(notePathAt(testStore(), 0), "Shopping", "NO");
    EXPECT_EQ(title(0), "Shopping");
    EXPECT_EQ(*store.loadObject(0)->at("Icon").string(), "YellowIcon");

    store.editObjectWithPath(notePathAt(testStore(), 0), "Something else", "RedIcon");
    EXPECT_EQ(title(0), "Shopping");
    EXPECT_EQ(*store.loadObject(0)->at("Icon").string(), "RedIcon");
}

TEST_F(PlistControllerTest, InfoAlertAndOverdueMarkerComeAndGo)
{
    store.saveObject(0, 1, "/a.aif", 1);
    store.editInfoWithPath(notePathAt(testStore(), 0), "");
    EXPECT_EQ(*store.loadObject(0)->at("Info").string(), "");

    store.editDateAlertWithPath(notePathAt(testStore(), 0), std::nullopt);
    EXPECT_FALSE(store.loadObject(0)->count("Alert"));
    store.editDateAlertWithPath(notePathAt(testStore(), 0), core::Date(1'800'000'000.0));
    EXPECT_EQ(store.loadObject(0)->at("Alert").date()->timeIntervalSince1970(), 1'800'000'000.0);
    store.editDateAlertWithPath(notePathAt(testStore(), 0), std::nullopt);
    EXPECT_FALSE(store.loadObject(0)->count("Alert"));

    store.editBadgeWithPath(notePathAt(testStore(), 0), false);
    EXPECT_EQ(*store.loadObject(0)->at("CheckPlay").integer(), 1);
    store.editBadgeWithPath(notePathAt(testStore(), 0), true);
    EXPECT_FALSE(store.loadObject(0)->count("CheckPlay"));
    EXPECT_EQ(store.loadObject(0)->size(), 9u);
}

TEST_F(PlistControllerTest, DeleteAllRemovesTheNotesAndTheirRecordingsAndNothingElse)
{
    recordNote("1.aif");
    recordNote("2.aif");
    ASSERT_TRUE(FileManager::writeAtomically(documentsFile("orphan.aif"), "a recording no note names"));
    const std::vector<std::string> persons{"data.plist.unreadable-20261207101500", "folder", "stray.txt"};
    ASSERT_TRUE(FileManager::writeAtomically(documentsFile(persons[0]), "<plist>broken"));
    ASSERT_TRUE(FileManager::createDirectoryAtPath(documentsFile(persons[1])));
    ASSERT_TRUE(FileManager::writeAtomically(documentsFile(persons[2]), "x"));
    store.deleteAll();

    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(home.documents()))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    // The store's lock file stays: another process may be waiting on it.
    std::vector<std::string> expected{"data.plist", "data.plist.lock"};
    expected.insert(expected.end(), persons.begin(), persons.end());
    EXPECT_EQ(left, expected);
    EXPECT_EQ(store.countInPlist(), 0u);
    EXPECT_EQ(log.count("created Documents dir"), 1);
}

TEST_F(PlistControllerTest, ANoteOwnsOnlyARegularFileOfItsOwnAndRemovingItRemovesNothingElse)
{
    std::string outside = home.path() + "/outside";
    ASSERT_TRUE(FileManager::createDirectoryAtPath(outside));
    ASSERT_TRUE(FileManager::writeAtomically(outside + "/precious.aif", "keep me"));
    std::filesystem::create_symlink(outside + "/precious.aif", documentsFile("link.aif"));
    ASSERT_TRUE(FileManager::createDirectoryAtPath(documentsFile("subdir")));
    ASSERT_TRUE(FileManager::writeAtomically(documentsFile("subdir/inside.aif"), "keep me"));
    ASSERT_EQ(::mkfifo(documentsFile("fifo.aif").c_str(), 0600), 0);
    recordNote("kept.aif");
    store.editInfoWithPath(notePathAt(testStore(), 0), "the text of the note that stays");
    // Notes a hostile or broken store may hold: none names a file it owns.
    const std::vector<std::string> hostile{"/data.plist", "/data.plist.lock", "/subdir",
                                           "/link.aif",   "/fifo.aif",        "/.data.plist.partial-a1B2c3"};
    for (const auto& path : hostile) {
        store.saveObject(0, 1, path, 1);
        EXPECT_FALSE(PlistController::audioFilePath(path) && path.starts_with("/data.plist")) << path;
    }
    for (const auto& path : hostile)
        EXPECT_FALSE(store.removeObjectWithPath(path)) << path;

    ASSERT_EQ(store.countInPlist(), 1u);
    EXPECT_EQ(*store.loadObject(0)->at("Info").string(), "the text of the note that stays");
    EXPECT_EQ(FileManager::contentsAtPath(documentsFile("subdir/inside.aif")), "keep me");
    EXPECT_TRUE(std::filesystem::is_symlink(documentsFile("link.aif")));
    EXPECT_EQ(FileManager::contentsAtPath(outside + "/precious.aif"), "keep me");
    EXPECT_TRUE(std::filesystem::is_fifo(documentsFile("fifo.aif")));
    EXPECT_TRUE(FileManager::fileExistsAtPath(documentsFile("data.plist.lock")));
    store.deleteAll();
    EXPECT_EQ(FileManager::contentsAtPath(outside + "/precious.aif"), "keep me");
}

// Stores that cannot be used: each counts 0, and edits leave the file as it is.
struct UnreadableStore {
    std::string name;
    std::string text;
};

void PrintTo(const UnreadableStore& store, std::ostream* out) { *out << store.name; }

class UnreadableStoreTest : public PlistControllerTest, public testing::WithParamInterface<UnreadableStore> { };

TEST_P(UnreadableStoreTest, CountsNothingAndEditsLeaveTheFileAlone)
{
    const std::string& text = GetParam().text;
    ASSERT_TRUE(FileManager::writeAtomically(storeFile(), text));
    EXPECT_EQ(store.countInPlist(), 0u);
    EXPECT_FALSE(store.loadObject(0));
    store.editObjectWithPath(notePathAt(testStore(), 0), "x", "NO");
    store.editInfoWithPath(notePathAt(testStore(), 0), "x");
    store.editDateAlertWithPath(notePathAt(testStore(), 0), core::Date(0));
    store.editBadgeWithPath(notePathAt(testStore(), 0), false);
    store.removeObjectWithPath(notePathAt(testStore(), 0));
    EXPECT_EQ(storeBytes(), text);
}

std::string deeplyNested()
{
    std::string xml = "<?xml version=\"1.0\"?><plist version=\"1.0\">";
    for (int i = 0; i < 100000; ++i)
        xml += "<array>";
    for (int i = 0; i < 100000; ++i)
        xml += "</array>";
    return xml + "</plist>";
}

INSTANTIATE_TEST_SUITE_P(
    Stores, UnreadableStoreTest,
    testing::Values(UnreadableStore{"Empty", ""}, UnreadableStore{"NotXml", "not a property list"},
                    UnreadableStore{"Truncated", "<?xml version=\"1.0\"?><plist"},
                    UnreadableStore{"DictionaryAtTheRoot",
                                    "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>a"
                                    "</key><string>b</string></dict></plist>"},
                    UnreadableStore{"NestedTooDeeply", deeplyNested()},
                    UnreadableStore{"NulInsideAString",
                                    "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><dict><key>Title</key>"
                                    "<string>a"
                                        + std::string(1, '\0') + "b</string></dict></array></plist>"}),
    [](const testing::TestParamInfo<UnreadableStore>& info) { return info.param.name; });

TEST_F(PlistControllerTest, RecordsWithValuesOfTheWrongTypeAreReadWithoutHarm)
{
    writeStore({PropertyList("not a record"),
                PropertyList(PropertyList::Dictionary{{"Lengh", "3:07"}, {"Title", 5}, {"Path", 1}})});
    EXPECT_EQ(store.countInPlist(), 2u);
    EXPECT_FALSE(store.loadObject(0));
    store.editObjectWithPath(notePathAt(testStore(), 0), "x", "NO");
    store.editObjectWithPath(notePathAt(testStore(), 1), "Renamed", "NO");
    EXPECT_EQ(title(1), "Renamed");
    store.removeObjectWithPath(notePathAt(testStore(), 1));
    // What is no record has no path to be found by: it is left as it was.
    store.removeObjectWithPath(notePathAt(testStore(), 0));
    EXPECT_EQ(store.countInPlist(), 1u);
}

TEST_F(PlistControllerTest, SavingIntoAnUnreadableStoreKeepsBothTheOldFileAndTheNewNote)
{
    ASSERT_TRUE(FileManager::writeAtomically(storeFile(), "<plist>broken"));
    store.saveObject(1, 2, "/new.aif", 10);

    EXPECT_EQ(store.countInPlist(), 1u);
    EXPECT_EQ(*store.loadObject(0)->at("Path").string(), "/new.aif");
    int kept = 0;
    for (const auto& entry : std::filesystem::directory_iterator(home.documents())) {
        if (entry.path().filename().string().starts_with("data.plist.unreadable-")) {
            ++kept;
            EXPECT_EQ(FileManager::contentsAtPath(entry.path().string()), "<plist>broken");
        }
    }
    EXPECT_EQ(kept, 1);
}

TEST_F(PlistControllerTest, SavingWhenTheStoreIsMissingStartsANewOne)
{
    ASSERT_TRUE(FileManager::removeItemAtPath(storeFile()));
    store.saveObject(0, 4, "/a.aif", 1);
    EXPECT_EQ(store.countInPlist(), 1u);
}

TEST_F(PlistControllerTest, AnExistingStoreIsNeverReplacedAtLaunch)
{
    ASSERT_TRUE(FileManager::writeAtomically(storeFile(), "garbage"));
    store.checkPlistFile();
    EXPECT_EQ(storeBytes(), "garbage");
}

} // namespace

namespace {

TEST_F(PlistControllerTest, AStoreChangedByAnotherWriterIsReadAgain)
{
    recordNote("a.aif");
    recordNote("b.aif");
    ASSERT_EQ(title(0), "Note 2");
    std::string bytes = storeBytes();

    // The same size, written in place.
    auto renamed = bytes;
    renamed.replace(renamed.find("Note 2"), 6, "Memo 2");
    {
        std::ofstream file(storeFile(), std::ios::binary | std::ios::trunc);
        file << renamed;
    }
    EXPECT_EQ(title(0), "Memo 2");

    // Replaced by a new file with fewer notes.
    writeStore({PropertyList(*store.loadObject(1))});
    EXPECT_EQ(store.countInPlist(), 1u);
    EXPECT_EQ(title(0), "Note 1");

    // Gone: nothing is served from memory.
    ASSERT_TRUE(FileManager::removeItemAtPath(storeFile()));
    EXPECT_EQ(store.countInPlist(), 0u);
    EXPECT_FALSE(store.loadObject(0));
}

// The list's rows are a snapshot: a change made afterwards, here or by
// another writer, reaches the store and later reads, never the snapshot.
TEST_F(PlistControllerTest, ASnapshotKeepsItsNotesWhileTheStoreChanges)
{
    recordNote("a.aif");
    recordNote("b.aif");
    auto shown = store.snapshot();
    ASSERT_TRUE(shown);
    ASSERT_EQ(shown->size(), 2u);

    store.editObjectWithPath("/b.aif", "Renamed", "NO");
    recordNote("c.aif");
    EXPECT_EQ(NoteField::string(*(*shown)[0].dictionary(), NoteKey::Title), "Note 2");
    EXPECT_EQ(shown->size(), 2u);
    EXPECT_EQ(title(1), "Renamed");
    EXPECT_EQ(store.countInPlist(), 3u);
    EXPECT_EQ(testStore().snapshot()->size(), 3u);

    // Written as changed, not as the snapshot had it.
    auto onDisk = core::PropertyListSerialization::propertyListFromData(storeBytes());
    ASSERT_TRUE(onDisk && onDisk->array());
    EXPECT_EQ(onDisk->array()->size(), 3u);

    writeStore({});
    EXPECT_EQ(shown->size(), 2u);
    EXPECT_EQ(store.countInPlist(), 0u);
    ASSERT_TRUE(FileManager::removeItemAtPath(storeFile()));
    EXPECT_FALSE(store.snapshot());
}

// Once the store has stood unchanged for a while its file's identity alone
// vouches for the cached list; a writer that keeps the size and even puts
// the modification time back (to the nanosecond) is still seen.
TEST_F(PlistControllerTest, AChangeKeepingSizeAndModificationTimeIsSeenOnceTheStoreHasSettled)
{
    recordNote("a.aif");
    recordNote("b.aif");
    struct stat before { };
    ASSERT_EQ(::stat(storeFile().c_str(), &before), 0);
    // The main loop's clock a minute past the real time: the store has settled.
    clock.advance(double(std::time(nullptr)) + 60 - core::Date::now(testLoop()).timeIntervalSince1970());
    ASSERT_EQ(title(0), "Note 2");
    ASSERT_EQ(title(0), "Note 2");

    auto renamed = storeBytes();
    renamed.replace(renamed.find("Note 2"), 6, "Memo 2");
    {
        std::ofstream file(storeFile(), std::ios::binary | std::ios::trunc);
        file << renamed;
    }
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, storeFile().c_str(), times, 0), 0);
    EXPECT_EQ(title(0), "Memo 2");

    // Our own change is written, and read back from memory and file alike.
    store.editInfoWithPath(notePathAt(testStore(), 0), "text");
    EXPECT_EQ(title(0), "Memo 2");
    EXPECT_NE(storeBytes().find("<string>text</string>"), std::string::npos);
}

} // namespace

namespace {

// A screen keeps the note it shows by its audio file: when another writer
// has put a note above it or removed it, the change still finds the right
// note, or none.
TEST_F(PlistControllerTest, ChangesByPathFindTheirNoteWhereverItIsNow)
{
    recordNote("mine.aif");
    recordNote("newer.aif");
    EXPECT_EQ(store.indexOfNoteWithPath("/mine.aif"), 1u);
    EXPECT_FALSE(store.editObjectWithPath("/mine.aif", "Mine", "NO"));
    EXPECT_FALSE(store.editInfoWithPath("/mine.aif", "text"));
    EXPECT_FALSE(store.editObjectWithPath("/mine.aif", "", "RedIcon"));
    EXPECT_FALSE(store.editBadgeWithPath("/mine.aif", false));
    EXPECT_FALSE(store.editDateAlertWithPath("/mine.aif", core::Date(1'000'000'000)));
    auto mine = store.loadObjectWithPath("/mine.aif");
    ASSERT_TRUE(mine);
    EXPECT_EQ(NoteField::string(*mine, NoteKey::Title), "Mine");
    EXPECT_EQ(NoteField::string(*mine, NoteKey::Info), "text");
    EXPECT_EQ(NoteField::string(*mine, NoteKey::Icon), "RedIcon");
    EXPECT_TRUE(NoteField::isMarked(*mine));
    EXPECT_EQ(title(0), "Note 2");

    EXPECT_FALSE(store.removeObjectWithPath("/mine.aif"));
    EXPECT_FALSE(FileManager::fileExistsAtPath(documentsFile("mine.aif")));
    std::string before = storeBytes();
    for (const core::Outcome& result :
         {store.editObjectWithPath("/mine.aif", "Gone", "NO"), store.editInfoWithPath("/mine.aif", "x"),
          store.editBadgeWithPath("/mine.aif", true), store.removeObjectWithPath("/mine.aif")})
        EXPECT_EQ(result.value_or(core::Error{}).kind, core::Error::Kind::NotFound);
    EXPECT_EQ(storeBytes(), before);
    EXPECT_TRUE(FileManager::fileExistsAtPath(documentsFile("newer.aif")));
}

// A store written by hand may give two notes one file: removing one
// keeps the file for the other.
TEST_F(PlistControllerTest, RemovingANoteKeepsAFileThatAnotherNoteNames)
{
    ASSERT_TRUE(FileManager::writeAtomically(documentsFile("shared.aif"), "audio"));
    PropertyList::Dictionary note{{"Title", "One"}, {"Path", "/shared.aif"}};
    writeStore({note, note});
    store.removeObjectWithPath(notePathAt(testStore(), 0));
    EXPECT_TRUE(FileManager::fileExistsAtPath(documentsFile("shared.aif")));
    store.removeObjectWithPath(notePathAt(testStore(), 0));
    EXPECT_FALSE(FileManager::fileExistsAtPath(documentsFile("shared.aif")));
}

// A change waits for another process's, but not for ever: a holder that
// is stopped leaves the store as it was and says so.
TEST_F(PlistControllerTest, AChangeGivesUpWhenAnotherHolderKeepsTheLock)
{
    recordNote("a.aif");
    std::string before = storeBytes();
    int fd = ::open(documentsFile("data.plist.lock").c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    // A lock of another open file is another holder, as another process's is.
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    store.setLockWait(0.2);
    EXPECT_EQ(store.editObjectWithPath("/a.aif", "late", "NO").value_or(core::Error{}).kind,
              core::Error::Kind::NotWritten);
    // So a note not stored is told with the reason, not as a full disk.
    EXPECT_NE(store.saveObject(0, 1, "/b.aif", 8000).value_or(core::Error{}).words.find("another process has held"),
              std::string::npos);
    ::close(fd);
    EXPECT_EQ(storeBytes(), before);
    EXPECT_EQ(log.count("The note store was not changed: another process has held"), 2);
    EXPECT_FALSE(store.editObjectWithPath("/a.aif", "now", "NO"));
}

} // namespace
