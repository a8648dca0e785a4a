// data.plist is read and written by other tools; Python's plistlib stands
// in for them as an independent implementation of the format.

#include "Classes/PlistController.h"
#include "TestContext.h"
#include "support/NotePathAt.h"

#include "support/TestEnvironment.h"

#include "platform/core/FileManager.h"
#include "platform/core/UserDefaults.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>

namespace {

std::string runScript(const std::string& mode, const std::string& path)
{
    std::string command = "/usr/bin/python3 " VOICENOTES_TEST_SCRIPTS "/plist_interop.py " + mode + " '" + path + "'";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    if (!pipe)
        return "(could not run python3)";
    std::string output;
    std::array<char, 4096> buffer;
    while (std::fgets(buffer.data(), int(buffer.size()), pipe.get()))
        output += buffer.data();
    return output;
}

class PlistInteropTest : public testing::Test {
protected:
    std::string storeFile() const { return home.documents() + "/data.plist"; }

    TemporaryHome home;
    VirtualClock clock;
    LogCapture log;
    PlistController store{testContext()};
};

TEST_F(PlistInteropTest, PlistlibReadsOurStoreWithTheRightTypes)
{
    testContext().defaults().setInteger(44100, "SampleRate");
    store.checkPlistFile();
    clock.engine().setWallClock(1'236'279'907.4); // 2009-03-05 19:05:07.4 UTC
    store.saveObject(12, 30, "/20090305190507.aif", 4294967296ULL);
    store.editInfoWithPath(notePathAt(testStore(), 0), "Ärger & <Tags>");
    store.editDateAlertWithPath(notePathAt(testStore(), 0), core::Date(946'684'799.0)); // before 2001
    store.editBadgeWithPath(notePathAt(testStore(), 0), false);

    EXPECT_EQ(runScript("describe", storeFile()),
              "Alert=date:1999-12-31T23:59:59Z CheckPlay=int:1 Date=date:2009-03-05T19:05:07Z Icon=str:YellowIcon "
              "Info=str:Ärger & <Tags> Lengh=array:int=12,int=30 NoteID=int:1 Path=str:/20090305190507.aif "
              "SampleRate=int:44100 Title=str:Note 1 numPackets=int:4294967296\n");
}

// Characters XML forbids (most C0 controls, U+FFFE, U+FFFF) never reach
// the file: a reader that keeps to XML would refuse the whole store.
TEST_F(PlistInteropTest, CharactersXmlForbidsAreLeftOut)
{
    store.checkPlistFile();
    store.saveObject(0, 1, "/a.aif", 8000);
    store.editObjectWithPath(notePathAt(testStore(), 0), "Ask\x01 Lee\x0b\x1f about\tR&D\xef\xbf\xbf", "NO");
    store.editInfoWithPath(notePathAt(testStore(), 0), "line\none\x08\r\nline two\x7f\xc2\x85");
    std::string described = runScript("describe", storeFile());
    EXPECT_NE(described.find("Title=str:Ask Lee about R&D "), std::string::npos) << described;
    EXPECT_NE(described.find("Info=str:line\none\nline two\x7f\xc2\x85 "), std::string::npos) << described;
    EXPECT_EQ(*store.loadObject(0)->at("Title").string(), "Ask Lee about R&D");

    // Bytes that are no UTF-8, from a program that wrote the store by hand,
    // are read and written back as U+FFFD, never as they were.
    auto xml = core::FileManager::contentsAtPath(storeFile()).value_or("");
    auto title = xml.find("Ask Lee");
    ASSERT_NE(title, std::string::npos);
    xml.replace(title, 7, "Caf\xe9 \xed\xa0\x80");
    ASSERT_TRUE(core::FileManager::writeAtomically(storeFile(), xml));
    store.saveObject(0, 1, "/b.aif", 8000);
    described = runScript("describe", storeFile());
    EXPECT_NE(described.find("Title=str:Caf\xef\xbf\xbd \xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd about"), std::string::npos)
        << described;
}

TEST_F(PlistInteropTest, WeReadAStoreThatPlistlibWrote)
{
    store.checkPlistFile();
    ASSERT_EQ(runScript("write", storeFile()), "");
    ASSERT_EQ(store.countInPlist(), 2u);

    auto first = store.loadObject(0);
    ASSERT_TRUE(first);
    EXPECT_EQ(*first->at("Title").string(), "Groceries & <stuff>");
    EXPECT_EQ(*first->at("Info").string(), "Zwei Äpfel\nund Brot");
    EXPECT_EQ(first->at("Date").date()->timeIntervalSince1970(), 1'236'279'907.0);
    EXPECT_EQ(first->at("Alert").date()->timeIntervalSince1970(), 946'684'799.0);
    EXPECT_EQ(first->at("Lengh"), core::PropertyList(core::PropertyList::Array{3, 7}));
    EXPECT_EQ(*first->at("numPackets").integer(), 1'496'000);

    // Our own edits keep what we did not touch.
    store.saveObject(0, 5, "/new.aif", 40000);
    EXPECT_EQ(*store.loadObject(0)->at("NoteID").integer(), 3);
    EXPECT_EQ(store.loadObject(1), first);
}

} // namespace
