#pragma once

#include "platform/ui/IndexPath.h"
#include "platform/ui/View.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ui {

class Label;
class TableView;
class TableViewCell;

enum class TableViewStyle { Plain = 0, Grouped = 1 };
enum class TableViewRowAnimation { Fade = 0, Right = 1, Left = 2, Top = 3, Bottom = 4, None = 5 };
enum class TableViewCellEditingStyle { None = 0, Delete = 1, Insert = 2 };
enum class TableViewScrollPosition { None = 0, Top = 1, Middle = 2, Bottom = 3 };

// What a table shows: asked again by reloadData.
class TableViewDataSource {
public:
    virtual ~TableViewDataSource() = default;
    virtual int numberOfSectionsInTableView(TableView&) { return 1; }
    virtual int numberOfRowsInSection(TableView& tableView, int section) = 0;
    // Asked only for rows that come on screen.
    virtual std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& tableView, IndexPath indexPath) = 0;
    virtual std::string titleForHeaderInSection(TableView&, int) { return {}; }
    virtual std::string titleForFooterInSection(TableView&, int) { return {}; }
    virtual void commitEditingStyle(TableView&, TableViewCellEditingStyle, IndexPath) { }
};

// What the user does with a table.
class TableViewDelegate {
public:
    virtual ~TableViewDelegate() = default;
    virtual double heightForRowAtIndexPath(TableView& tableView, IndexPath indexPath);
    virtual void didSelectRowAtIndexPath(TableView&, IndexPath) { }
    virtual void accessoryButtonTappedForRowWithIndexPath(TableView&, IndexPath) { }
    // Return or Space on the keyboard's row: by default as a click on it.
    virtual void didActivateRowAtIndexPath(TableView& tableView, IndexPath indexPath);
};

// A scrolling list of rows in sections. Only the rows on screen have
// cells; the rest are asked for when they scroll into view.
class TableView : public View {
public:
    static constexpr double kDefaultRowHeight = 44;
    static constexpr double kRowAnimationDuration = 0.3;

    TableView(Rect frame, TableViewStyle style);
    ~TableView() override;

    TableViewStyle style() const { return m_style; }
    void setDataSource(TableViewDataSource* dataSource) { m_dataSource = dataSource; }
    void setDelegate(TableViewDelegate* delegate) { m_delegate = delegate; }
    double rowHeight() const { return m_rowHeight; }
    void setRowHeight(double height) { m_rowHeight = height; }
    // Room under the last row, for a bar laid over the table's bottom.
    void setBottomInset(double inset) { m_bottomInset = inset; }
    // Room above the first row for a bar laid over the table (a search field).
    void setTopInset(double inset);
    double topInset() const { return m_topInset; }

    void reloadData();
    int numberOfSections() const { return int(m_sections.size()); }
    int numberOfRowsInSection(int section) const;
    // The cell of a row on screen; none for a row off screen.
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(IndexPath indexPath) const;
    std::vector<IndexPath> indexPathsForVisibleRows() const;
    // The row's place in the scrolled content.
    Rect rectForRowAtIndexPath(IndexPath indexPath) const;

    // The data source has already changed; the table follows it.
    void insertRowsAtIndexPaths(const std::vector<IndexPath>& indexPaths, TableViewRowAnimation animation);
    void deleteRowsAtIndexPaths(const std::vector<IndexPath>& indexPaths, TableViewRowAnimation animation);

    // As a click on the row does: highlights it and tells the delegate.
    void selectRowAtIndexPath(IndexPath indexPath);
    // Shows the row selected and scrolls to it, without telling the delegate.
    void selectRowAtIndexPath(IndexPath indexPath, bool animated, TableViewScrollPosition position);
    void deselectRowAtIndexPath(IndexPath indexPath, bool animated);
    std::optional<IndexPath> indexPathForSelectedRow() const { return m_selected; }
    // As a click on the row's accessory button does.
    void tapAccessoryButtonForRowAtIndexPath(IndexPath indexPath);
    // As the row's Delete button does.
    void commitDeleteForRowAtIndexPath(IndexPath indexPath);

    // The keyboard's row: Up and Down move it (shown selected, with a
    // focus ring while the table has the keyboard, scrolled into view);
    // Return and Space activate it. The first move starts at an end.
    std::optional<IndexPath> keyboardRow() const { return m_keyboardRow; }
    bool moveKeyboardRow(int step);
    // Starts on the first row when none was chosen; false without rows.
    bool activateKeyboardRow();
    void setKeyboardRow(IndexPath indexPath);

    bool isEditing() const { return m_editing; }
    void setEditing(bool editing, bool animated);

    double contentOffset() const { return m_contentOffset; }
    void setContentOffset(double offset);
    double contentHeight() const { return m_contentHeight; }
    double maximumOffset() const;
    // None scrolls only as far as needed to show the row.
    void scrollToRowAtIndexPath(IndexPath indexPath, TableViewScrollPosition position, bool animated);
    bool isScrollEnabled() const { return m_scrollEnabled; }
    // Off, the user cannot scroll; the owner still can.
    void setScrollEnabled(bool enabled) { m_scrollEnabled = enabled; }

protected:
    void frameDidChange() override;

private:
    friend class TableViewWidget;

    // A section's title over or under its rows, as words a reader finds.
    struct Title {
        std::shared_ptr<Label> label;
        double top = 0;
        double height = 0;
    };

    struct Section {
        std::string header;
        std::string footer;
        double headerTop = 0;
        double rowsTop = 0;
        double footerTop = 0;
        double bottom = 0;
        std::vector<double> rowTops;
        std::vector<double> rowHeights;
    };

    void computeLayout();
    void makeTitles();
    void placeTitles();
    void updateVisibleCells(bool animated);
    void showCell(IndexPath indexPath, const std::shared_ptr<TableViewCell>& cell);
    void hideCell(const std::shared_ptr<TableViewCell>& cell);
    Rect cellFrame(IndexPath indexPath) const;
    std::optional<IndexPath> indexPathForCell(const TableViewCell& cell) const;
    bool isValid(IndexPath indexPath) const;
    // Moves the visible cells' rows as rows come and go before them.
    void shiftRows(const std::vector<IndexPath>& changed, int direction);
    std::vector<IndexPath> allRows() const;
    void showKeyboardRow();
    double sectionHeaderHeight(const std::string& title) const;
    double sectionFooterHeight(const std::string& title) const;

    TableViewStyle m_style;
    TableViewDataSource* m_dataSource = nullptr;
    TableViewDelegate* m_delegate = nullptr;
    double m_rowHeight = kDefaultRowHeight;
    double m_bottomInset = 0;
    double m_topInset = 0;
    double m_contentOffset = 0;
    double m_contentHeight = 0;
    bool m_editing = false;
    bool m_scrollEnabled = true;
    std::optional<IndexPath> m_selected;
    std::optional<IndexPath> m_keyboardRow;
    std::vector<Section> m_sections;
    std::vector<Title> m_titles;
    std::map<IndexPath, std::shared_ptr<TableViewCell>> m_visible;
};

} // namespace ui
