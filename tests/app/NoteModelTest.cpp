#include "Classes/NoteModel.h"
#include "TestContext.h"

#include "support/TestEnvironment.h"

#include "platform/core/UserDefaults.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Change = NoteModel::Change;
using Source = NoteModel::Source;

class NoteModelTest : public testing::Test {
protected:
    void SetUp() override
    {
        testContext().defaults().setInteger(8000, "SampleRate");
        writer.checkPlistFile();
        writer.saveObject(0, 1, "/a.aif", 8000);
        writer.saveObject(0, 2, "/b.aif", 8000);
        model.refresh(Source::Here);
        heard.clear();
    }
    std::string told() const
    {
        std::string text;
        for (const auto& change : heard) {
            const char* kind = change.kind == Change::Kind::Added ? "+"
                : change.kind == Change::Kind::Removed            ? "-"
                                                                  : "~";
            text += kind + change.path
                + (change.kind == Change::Kind::Changed ? ":" + std::to_string(change.fields) : "")
                + (change.source == Source::Here        ? " here "
                       : change.source == Source::Alert ? " alert "
                                                        : " elsewhere ");
        }
        return text;
    }

    TemporaryHome home;
    // Another writer of the same store, as another process is.
    PlistController writer{testContext()};
    NoteModel model{testContext()};
    std::vector<Change> heard;
    core::Subscription watch = model.observe([this](const Change& change) { heard.push_back(change); });
};

TEST_F(NoteModelTest, AChangeTouchesItsFieldOnlyAndEveryoneIsToldWhatChangedAndByWhom)
{
    ASSERT_EQ(model.notes().size(), 2u);
    EXPECT_TRUE(heard.empty());

    // Another writer's text, then a rename here that read nothing of it.
    ASSERT_FALSE(writer.editInfoWithPath("/a.aif", "Written elsewhere"));
    ASSERT_FALSE(model.rename("/a.aif", "Renamed here"));
    EXPECT_EQ(model.note("/a.aif")->text, "Written elsewhere");
    EXPECT_EQ(model.note("/a.aif")->name, "Renamed here");
    EXPECT_EQ(told(), "~/a.aif:" + std::to_string(Note::Name | Note::Text) + " here ");

    heard.clear();
    writer.saveObject(0, 3, "/c.aif", 8000);
    writer.removeObjectWithPath("/b.aif");
    model.setAlert("/c.aif", core::Date(2e9), Source::Alert);
    EXPECT_EQ(told(), "+/c.aif alert -/b.aif alert ");
    heard.clear();
    model.refresh(Source::Elsewhere);
    EXPECT_TRUE(heard.empty()) << "an unchanged store is no news";
    EXPECT_EQ(model.remove("/b.aif").value_or(core::Error{}).kind, core::Error::Kind::NotFound);
}

TEST_F(NoteModelTest, ObserversMayLeaveOrChangeTheNotesWhileBeingTold)
{
    // The first observer to hear ends the second's watch and renames again:
    // the second hears nothing, the rename is told after the first change.
    core::Subscription second;
    int secondHeard = 0;
    core::Subscription first = model.observe([&](const Change& change) {
        second = core::Subscription();
        if (change.fields & Note::Icon)
            model.rename(change.path, "After the icon");
    });
    second = model.observe([&](const Change&) { ++secondHeard; });
    model.setIcon("/a.aif", "RedIcon");
    EXPECT_EQ(secondHeard, 0);
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[0].fields, unsigned(Note::Icon));
    EXPECT_EQ(heard[1].fields, unsigned(Note::Name));
    EXPECT_EQ(model.note("/a.aif")->name, "After the icon");
}

} // namespace
