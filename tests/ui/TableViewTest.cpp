#include "platform/ui/TableView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/PickerView.h"
#include "platform/ui/TableViewCell.h"

#include "support/TestEnvironment.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <gtest/gtest.h>

#include <set>

using namespace ui;

namespace {

// A table of numbered rows that records what it is asked and told.
class Rows : public TableViewDataSource, public TableViewDelegate {
public:
    std::vector<int> counts{20};
    std::vector<IndexPath> asked;
    std::vector<IndexPath> selected;
    std::vector<IndexPath> accessoryTaps;
    std::vector<IndexPath> deletes;
    std::map<IndexPath, std::shared_ptr<TableViewCell>> made;

    int numberOfSectionsInTableView(TableView&) override { return int(counts.size()); }
    int numberOfRowsInSection(TableView&, int section) override { return counts[std::size_t(section)]; }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView&, IndexPath indexPath) override
    {
        asked.push_back(indexPath);
        auto cell = std::make_shared<TableViewCell>();
        cell->setAccessoryType(TableViewCellAccessoryType::DetailDisclosureButton);
        made[indexPath] = cell;
        return cell;
    }
    std::string titleForHeaderInSection(TableView&, int section) override { return section ? "Second" : ""; }
    std::string titleForFooterInSection(TableView&, int section) override { return section ? "" : footer; }
    std::string footer;
    void didSelectRowAtIndexPath(TableView&, IndexPath indexPath) override { selected.push_back(indexPath); }
    void accessoryButtonTappedForRowWithIndexPath(TableView&, IndexPath indexPath) override
    {
        accessoryTaps.push_back(indexPath);
    }
    void commitEditingStyle(TableView&, TableViewCellEditingStyle, IndexPath indexPath) override
    {
        deletes.push_back(indexPath);
    }
};

class TableViewTest : public testing::Test {
protected:
    TableViewTest()
    {
        table->setDataSource(&rows);
        table->setDelegate(&rows);
        table->setRowHeight(50);
        table->reloadData();
    }

    std::shared_ptr<TableViewCell> made(int row) { return rows.made[IndexPath{0, row}]; }
    std::set<int> rowsOnScreen() const
    {
        std::set<int> shown;
        for (auto indexPath : table->indexPathsForVisibleRows())
            shown.insert(indexPath.row);
        return shown;
    }
    static void mouse(QWidget* widget, QEvent::Type type, QPointF at)
    {
        QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    }
    // The buttons a cell shows: the accessory, the delete control, the Delete button.
    static std::vector<Button*> buttonsOf(TableViewCell& cell)
    {
        std::vector<Button*> buttons;
        for (auto& view : cell.subviews()) {
            if (auto* button = dynamic_cast<Button*>(view.get()); button && !button->isHidden())
                buttons.push_back(button);
        }
        return buttons;
    }

    VirtualClock clock;
    Rows rows;
    std::shared_ptr<TableView> table = std::make_shared<TableView>(Rect{0, 0, 320, 200}, TableViewStyle::Plain);
};

TEST_F(TableViewTest, OnlyRowsOnScreenAreAskedForAndHaveCells)
{
    EXPECT_EQ(rowsOnScreen(), (std::set<int>{0, 1, 2, 3}));
    EXPECT_EQ(rows.asked.size(), 4u);
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 3}), made(3));
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 4}), nullptr);
    EXPECT_EQ(made(1)->frame(), (Rect{0, 50, 320, 50}));

    table->setContentOffset(475);
    EXPECT_EQ(rowsOnScreen(), (std::set<int>{9, 10, 11, 12, 13}));
    EXPECT_EQ(made(0)->superview(), nullptr);
    EXPECT_EQ(made(9)->frame().y, -25);

    // Scrolling stops at the last row.
    table->setContentOffset(5000);
    EXPECT_EQ(table->contentOffset(), 20 * 50 - 200);
    rows.asked.clear();
    table->reloadData();
    EXPECT_EQ(rows.asked.size(), 4u);
}

TEST_F(TableViewTest, SectionsWithTitlesAndGroupedInsets)
{
    rows.counts = {2, 3};
    auto grouped = std::make_shared<TableView>(Rect{0, 0, 320, 460}, TableViewStyle::Grouped);
    grouped->setDataSource(&rows);
    grouped->reloadData();
    EXPECT_EQ(grouped->numberOfSections(), 2);
    EXPECT_EQ(grouped->rectForRowAtIndexPath({0, 0}), (Rect{10, 10, 300, 44}));
    // The second section's title stands between the two.
    EXPECT_EQ(grouped->rectForRowAtIndexPath({1, 0}), (Rect{10, 10 + 88 + 40, 300, 44}));
    EXPECT_EQ(grouped->rectForRowAtIndexPath({1, 3}), (Rect{}));
}

// A footer of several lines, one of them a word longer than the line (a
// key's fingerprint), has room for all of it between its rows and the next
// section's, and shows all of it.
TEST_F(TableViewTest, AFooterOfSeveralLinesHasRoomForThemAll)
{
    rows.counts = {2, 1};
    rows.footer = "Not encrypted: this server offers no encryption, so the user name, password and file go in "
                  "clear. Its key is SHA256:xRstLpTHwSSx+egZqsP2wWM6hz0q3KN8uL3251DjLuI=.";
    auto grouped = std::make_shared<TableView>(Rect{0, 0, 320, 460}, TableViewStyle::Grouped);
    grouped->setDataSource(&rows);
    grouped->reloadData();
    Label* footer = nullptr;
    for (auto& view : grouped->subviews()) {
        if (auto* label = dynamic_cast<Label*>(view.get()); label && label->text() == rows.footer)
            footer = label;
    }
    ASSERT_TRUE(footer);
    Rect lastRow = grouped->rectForRowAtIndexPath({0, 1});
    Rect nextSection = grouped->rectForRowAtIndexPath({1, 0});
    EXPECT_GE(footer->frame().y, lastRow.y + lastRow.height);
    EXPECT_LE(footer->frame().y + footer->frame().height, nextSection.y);
    double needed = footer->heightForWidth(footer->frame().width);
    EXPECT_GE(footer->frame().height, needed);
    // Four lines or more at this width, the fingerprint broken, not cut.
    EXPECT_GE(needed, 4 * footer->heightForWidth(10000));
}

TEST_F(TableViewTest, DeletedAndInsertedRowsMoveTheCellsAfterThem)
{
    auto second = made(1);
    auto third = made(2);
    table->selectRowAtIndexPath({0, 2});
    rows.counts = {19};
    table->deleteRowsAtIndexPaths({{0, 1}}, TableViewRowAnimation::Right);
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 1}), third);
    EXPECT_EQ(table->indexPathForSelectedRow(), (IndexPath{0, 1}));
    // The deleted row slides right and goes; the rest close the gap.
    clock.advance(TableView::kRowAnimationDuration / 2);
    EXPECT_GT(second->widget()->x(), 0);
    EXPECT_GT(third->widget()->y(), 50);
    clock.advance(TableView::kRowAnimationDuration);
    EXPECT_EQ(second->superview(), nullptr);
    EXPECT_EQ(third->widget()->y(), 50);

    rows.counts = {20};
    table->insertRowsAtIndexPaths({{0, 0}}, TableViewRowAnimation::Fade);
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 2}), third);
    EXPECT_EQ(table->indexPathForSelectedRow(), (IndexPath{0, 2}));
    EXPECT_NE(table->cellForRowAtIndexPath({0, 0}), nullptr);
}

TEST_F(TableViewTest, ClicksSelectRowsAndTheAccessoryButtonHasItsOwnCallback)
{
    auto cell = made(2);
    mouse(cell->widget(), QEvent::MouseButtonPress, {100, 20});
    EXPECT_TRUE(rows.selected.empty());
    mouse(cell->widget(), QEvent::MouseButtonRelease, {100, 20});
    EXPECT_EQ(rows.selected, (std::vector<IndexPath>{{0, 2}}));
    EXPECT_TRUE(cell->isSelected());
    table->deselectRowAtIndexPath({0, 2}, true);
    EXPECT_FALSE(cell->isSelected());

    // A press that ends outside the row is no click.
    mouse(cell->widget(), QEvent::MouseButtonPress, {100, 20});
    mouse(cell->widget(), QEvent::MouseButtonRelease, {100, 80});
    EXPECT_EQ(rows.selected.size(), 1u);

    auto buttons = buttonsOf(*cell);
    ASSERT_EQ(buttons.size(), 1u);
    buttons[0]->sendActionsForControlEvents(ControlEvent::TouchUpInside);
    EXPECT_EQ(rows.accessoryTaps, (std::vector<IndexPath>{{0, 2}}));
    EXPECT_EQ(rows.selected.size(), 1u);
}

TEST_F(TableViewTest, EditModeAndSwipesDeleteThroughTheRowsDeleteButton)
{
    table->setEditing(true, true);
    auto cell = made(1);
    ASSERT_TRUE(cell->isEditing());
    auto controls = buttonsOf(*cell);
    ASSERT_EQ(controls.size(), 2u);
    controls[1]->sendActionsForControlEvents(ControlEvent::TouchUpInside);
    ASSERT_TRUE(cell->isShowingDeleteConfirmation());
    auto shown = buttonsOf(*cell);
    EXPECT_EQ(shown.back()->titleForState(ControlState::Normal), "Delete");
    shown.back()->sendActionsForControlEvents(ControlEvent::TouchUpInside);
    EXPECT_EQ(rows.deletes, (std::vector<IndexPath>{{0, 1}}));

    table->setEditing(false, false);
    EXPECT_FALSE(cell->isShowingDeleteConfirmation());
    EXPECT_EQ(buttonsOf(*cell).size(), 1u);

    // A sideways drag offers the Delete button; the next click only takes it away.
    auto other = made(3);
    mouse(other->widget(), QEvent::MouseButtonPress, {200, 20});
    mouse(other->widget(), QEvent::MouseMove, {100, 24});
    mouse(other->widget(), QEvent::MouseButtonRelease, {100, 24});
    EXPECT_TRUE(other->isShowingDeleteConfirmation());
    EXPECT_TRUE(rows.selected.empty());
    table->selectRowAtIndexPath({0, 3});
    EXPECT_FALSE(other->isShowingDeleteConfirmation());
    EXPECT_TRUE(rows.selected.empty());
}

TEST_F(TableViewTest, ACellTakenByAnotherTableBelongsToIt)
{
    auto cell = made(0);
    auto other = std::make_shared<TableView>(Rect{0, 0, 320, 200}, TableViewStyle::Plain);
    other->addSubview(cell);
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 0}), nullptr);
    table.reset();
    EXPECT_EQ(cell->superview(), other.get());
}

// Rows wholly under a wheel are out of sight (no Tab, no screen reader);
// rows made while it is up go under it.
TEST_F(TableViewTest, RowsWhollyUnderAWheelAreOutOfSightUntilItGoes)
{
    auto wheel = std::make_shared<PickerView>(Rect{0, 200, 320, 120});
    table->addSubview(wheel);
    auto hiddenRows = [&] {
        std::set<int> hidden;
        for (int row = 0; row < 4; ++row)
            if (table->cellForRowAtIndexPath({0, row})->widget()->isHidden())
                hidden.insert(row);
        return hidden;
    };
    EXPECT_TRUE(hiddenRows().empty());

    wheel->setFrame(Rect{0, 40, 320, 120});
    EXPECT_EQ(hiddenRows(), (std::set<int>{1, 2}));
    table->reloadData();
    EXPECT_EQ(hiddenRows(), (std::set<int>{1, 2}));
    EXPECT_EQ(table->subviews().back(), wheel);

    wheel->setHidden(true);
    EXPECT_TRUE(hiddenRows().empty());
    wheel->setHidden(false);
    wheel->removeFromSuperview();
    EXPECT_TRUE(hiddenRows().empty());
}

} // namespace
