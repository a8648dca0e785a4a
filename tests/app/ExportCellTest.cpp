#include "ExportingCell.h"

#include "support/TestEnvironment.h"

#include "platform/core/Date.h"
#include "platform/ui/Application.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

#include <gtest/gtest.h>

namespace {

class ExportCellTest : public testing::Test {
protected:
    ExportCellTest()
    {
        Note note;
        note.name = "Groceries";
        note.icon = "GreenIcon";
        note.number = 7;
        note.date = core::Date(1'800'000'000);
        cell->setNoteObject(note);
        cell->createIcon();
        cell->createLabels();
    }

    ui::Application application{testLoop()};
    VirtualClock clock;
    std::shared_ptr<ExportingCell> cell = std::make_shared<ExportingCell>();
};

TEST_F(ExportCellTest, TheSendingFaceCountsAndReturns)
{
    EXPECT_EQ(cell->titleLabel()->text(), "Groceries");
    cell->changeText();
    EXPECT_EQ(cell->sendingLabel(), nullptr);

    cell->toggleSend();
    EXPECT_TRUE(cell->showsSecondFace());
    EXPECT_EQ(cell->sendingLabel()->text(), "Connecting");
    EXPECT_EQ(cell->sendingLabel()->frame(), ExportingCell::kSendingLabelFrame);
    cell->changeText();
    EXPECT_EQ(cell->sendingLabel()->text(), "Sending");

    cell->toggleSend();
    EXPECT_FALSE(cell->showsSecondFace());
    cell->toggleSend();
    EXPECT_TRUE(cell->showsSecondFace());
    EXPECT_EQ(cell->sendingLabel()->text(), "Sending");
    // The wheel on the sending face keeps turning.
    EXPECT_EQ(cell->imageViewPlaying()->subviews().size(), 2u);
}

TEST_F(ExportCellTest, APlainSecondFaceStaysPlain)
{
    cell->toggleIcon();
    EXPECT_TRUE(cell->showsSecondFace());
    EXPECT_TRUE(cell->imageViewPlaying()->subviews().empty());
    cell->toggleSend();
    EXPECT_FALSE(cell->showsSecondFace());
    cell->changeText();
    EXPECT_EQ(cell->sendingLabel(), nullptr);
    cell->setSelected(true, false);
    EXPECT_FALSE(cell->isSelected());
}

} // namespace
