// Records with values of the wrong type or of absurd size: the list, the
// player, the details and the next recording all go on with sensible
// fallbacks.

#include "Classes/PlistController.h"
#include "Classes/RootViewController.h"
#include "Classes/TableNavigationController.h"
#include "DetailController.h"
#include "TableCell.h"
#include "TableViewController.h"
#include "TestContext.h"
#include "support/NotePathAt.h"

#include "AppFixture.h"

#include "platform/core/FileManager.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"

#include <gtest/gtest.h>

namespace {

struct BadRecord {
    std::string name;
    // Makes the record's <key>/value pairs as they stand in the file: made
    // only by the test that uses them, since every test process registers
    // every parameter (one is twenty megabytes).
    std::string (*entries)();
};

void PrintTo(const BadRecord& record, std::ostream* out) { *out << record.name; }

std::string entry(const std::string& key, const std::string& value) { return "<key>" + key + "</key>" + value; }

class BadValuesTest : public AppFixture, public testing::WithParamInterface<BadRecord> {
protected:
    // The bad record as the newest note, above a good one.
    void writeStore()
    {
        writeAiff(documentsFile("good.aif"), 8000, 8000);
        std::string good = "<dict>" + entry("Title", "<string>Good</string>")
            + entry("Path", "<string>/good.aif</string>") + entry("Date", "<date>2026-12-07T10:00:00Z</date>")
            + entry("Icon", "<string>GreenIcon</string>")
            + entry("Lengh", "<array><integer>0</integer><integer>1</integer></array>")
            + entry("NoteID", "<integer>1</integer>") + entry("numPackets", "<integer>8000</integer>")
            + entry("SampleRate", "<integer>8000</integer>") + "</dict>";
        std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><array><dict>"
            + GetParam().entries() + "</dict>" + good + "</array></plist>\n";
        ASSERT_TRUE(core::FileManager::writeAtomically(documentsFile("data.plist"), xml));
    }
    ui::TableView& table() { return list().tableView(); }
};

TEST_P(BadValuesTest, TheApplicationGoesOnWithFallbacks)
{
    writeStore();
    launch(2);
    ASSERT_EQ(table().numberOfRowsInSection(0), 2);
    ASSERT_NE(table().cellForRowAtIndexPath({0, 0}), nullptr);
    EXPECT_EQ(dynamic_cast<TableCell&>(*table().cellForRowAtIndexPath({0, 1})).titleLabel().text(), "Good");

    // Playing it, then the good note.
    table().selectRowAtIndexPath({0, 0});
    clock.advance(1);
    table().selectRowAtIndexPath({0, 1});
    clock.advance(2);

    // Its details open and close.
    table().tapAccessoryButtonForRowAtIndexPath({0, 0});
    clock.advance(1);
    ASSERT_TRUE(dynamic_cast<DetailController*>(browser().topViewController().get()));
    browser().navigationBar().leftButton().sendActionsForControlEvents(ui::ControlEvent::TouchUpInside);
    clock.advance(1);

    // The next recording gets a number from 1 to 50.
    root().saveNewRecord(0, 1, "/next.aif", 8000);
    auto next = testStore().loadObject(0);
    ASSERT_TRUE(next);
    auto id = NoteField::integer(*next, NoteKey::NoteID);
    ASSERT_TRUE(id);
    EXPECT_GE(*id, 1);
    EXPECT_LE(*id, PlistController::kMaxNoteID);
    EXPECT_EQ(table().numberOfRowsInSection(0), 3);
}

TEST_F(AppFixture, ANameAndTextTooLongToEditAreShownCutAndNeverCutInTheStore)
{
    constexpr std::size_t kLimit = DetailController::kLongestEditableText;
    std::string longName(kLimit + 1, 'n'), longText = std::string(kLimit - 1, 't') + "\u00e9" + std::string(1000, 't');
    PlistController store{testContext()};
    store.saveObject(0, 1, "/a.aif", 8000);
    store.editObjectWithPath(notePathAt(testStore(), 0), longName, "NO");
    store.editInfoWithPath(notePathAt(testStore(), 0), longText);
    launch(2);
    list().tableView().tapAccessoryButtonForRowAtIndexPath({0, 0});
    clock.advance(1);
    auto& editor = dynamic_cast<DetailController&>(*browser().topViewController());
    editor.tableView().selectRowAtIndexPath({1, 0});
    clock.advance(1);
    // Cut before the two-byte character that would straddle the limit.
    EXPECT_EQ(editor.textView1()->text(), std::string(kLimit - 1, 't') + "\u2026");
    EXPECT_EQ(editor.textFieldName()->text(), std::string(kLimit, 'n') + "\u2026");
    EXPECT_FALSE(editor.textView1()->isFirstResponder());
    EXPECT_FALSE(editor.textFieldName()->becomeFirstResponder());
    editor.doneAction();
    EXPECT_EQ(NoteField::string(*store.loadObject(0), NoteKey::Title), longName);
    EXPECT_EQ(NoteField::string(*store.loadObject(0), NoteKey::Info), longText);
}

const std::string kLargest = "<integer>9223372036854775807</integer>";

INSTANTIATE_TEST_SUITE_P(
    Records, BadValuesTest,
    testing::Values(
        BadRecord{"EveryKeyOfTheWrongType",
                  [] {
                      return entry("Title", "<integer>5</integer>") + entry("Path", "<array/>")
                          + entry("Date", "<string>x</string>") + entry("Icon", "<dict/>")
                          + entry("Lengh", "<string>3:07</string>") + entry("NoteID", "<string>7</string>")
                          + entry("numPackets", "<true/>") + entry("SampleRate", "<data>AAAA</data>")
                          + entry("Info", "<real>2.5</real>") + entry("Alert", "<string>tomorrow</string>")
                          + entry("CheckPlay", "<string>1</string>");
                  }},
        BadRecord{"NoteIdOfTwoToTheSixtyThird",
                  [] { return entry("NoteID", "<integer>9223372036854775808</integer>"); }},
        BadRecord{"NoteIdOfTheLargestInteger", [] { return entry("NoteID", kLargest); }},
        BadRecord{"LengthOfOneElement", [] { return entry("Lengh", "<array><integer>7</integer></array>"); }},
        BadRecord{"LargestAndSmallestNumbers",
                  [] {
                      return entry("numPackets", kLargest) + entry("SampleRate", kLargest)
                          + entry("Lengh", "<array>" + kLargest + "<integer>-9223372036854775808</integer></array>")
                          + entry("Path", "<string>/good.aif</string>");
                  }},
        BadRecord{"NegativeNumbers",
                  [] {
                      return entry("numPackets", "<integer>-1</integer>")
                          + entry("SampleRate", "<integer>-8000</integer>")
                          + entry("Lengh", "<array><integer>-1</integer><integer>-5</integer></array>")
                          + entry("NoteID", "<integer>-3</integer>") + entry("Path", "<string>/good.aif</string>");
                  }},
        BadRecord{"RealsBeyondAnyInteger",
                  [] {
                      return entry("numPackets", "<real>1e300</real>") + entry("SampleRate", "<real>-1e300</real>")
                          + entry("NoteID", "<real>1e300</real>") + entry("CheckPlay", "<real>1e300</real>")
                          + entry("Path", "<string>/good.aif</string>");
                  }},
        BadRecord{"DatesAtTheEndsOfTime",
                  [] {
                      return entry("Date", "<date>0001-01-01T00:00:00Z</date>")
                          + entry("Alert", "<date>9999-12-31T23:59:59Z</date>");
                  }},
        BadRecord{"TenMegabyteTitleAndText",
                  [] {
                      // NOLINTBEGIN(bugprone-string-constructor): ten megabytes is the point
                      return entry("Title", "<string>" + std::string(10'000'000, 'T') + "</string>")
                          + entry("Info", "<string>" + std::string(10'000'000, 'i') + "</string>");
                      // NOLINTEND(bugprone-string-constructor)
                  }}),
    [](const testing::TestParamInfo<BadRecord>& info) { return info.param.name; });

} // namespace
