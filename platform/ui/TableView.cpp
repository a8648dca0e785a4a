#include "platform/ui/TableView.h"

#include "platform/core/RunLoop.h"
#include "platform/ui/AccessibleViews.h"
#include "platform/ui/Application.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TableViewWidget.h"

#include <QWidget>

#include <algorithm>
#include <utility>

namespace ui {

namespace {
constexpr double kGroupedInset = 10;
constexpr double kGroupedGap = 10;
constexpr double kGroupedHeaderHeight = 40;
constexpr double kPlainTitleHeight = 22;
constexpr double kGroupedFooterHeight = 36;
constexpr double kTitleInset = 20;
constexpr Color kHeaderColor{0.3, 0.34, 0.42, 1};
constexpr Color kFooterColor{0.35, 0.38, 0.43, 1};
// Above and below a footer's text.
constexpr double kFooterPadding = 8;

std::shared_ptr<Label> makeTitleLabel(const std::string& text, bool header)
{
    auto label = std::make_shared<Label>();
    label->setText(text);
    label->setFont(header ? Font::boldSystemFontOfSize(17) : Font::systemFontOfSize(15));
    label->setTextColor(header ? kHeaderColor : kFooterColor);
    label->setTextAlignment(header ? TextAlignment::Left : TextAlignment::Center);
    label->setNumberOfLines(0);
    return label;
}
} // namespace

double TableViewDelegate::heightForRowAtIndexPath(TableView& tableView, IndexPath) { return tableView.rowHeight(); }

void TableViewDelegate::didActivateRowAtIndexPath(TableView& tableView, IndexPath indexPath)
{
    tableView.selectRowAtIndexPath(indexPath);
}

TableView::TableView(Rect frame, TableViewStyle style)
    : View(new TableViewWidget(*this), frame)
    , m_style(style)
{
    setAccessibilityRole(AccessibilityRole::List);
}

TableView::~TableView()
{
    for (auto& [indexPath, cell] : m_visible)
        hideCell(cell);
}

int TableView::numberOfRowsInSection(int section) const
{
    return section >= 0 && section < numberOfSections() ? int(m_sections[std::size_t(section)].rowTops.size()) : 0;
}

bool TableView::isValid(IndexPath indexPath) const
{
    return indexPath.row >= 0 && indexPath.row < numberOfRowsInSection(indexPath.section);
}

void TableView::reloadData()
{
    for (auto& [indexPath, cell] : m_visible)
        hideCell(cell);
    m_visible.clear();
    computeLayout();
    if (m_selected && !isValid(*m_selected))
        m_selected.reset();
    if (m_keyboardRow && !isValid(*m_keyboardRow))
        m_keyboardRow.reset();
    m_contentOffset = std::clamp(m_contentOffset, 0.0, maximumOffset());
    updateVisibleCells(false);
    // The sections' backgrounds are drawn by the table: fewer rows leave none behind.
    widget()->update();
}

double TableView::sectionHeaderHeight(const std::string& title) const
{
    if (m_style == TableViewStyle::Plain)
        return title.empty() ? 0 : kPlainTitleHeight;
    return title.empty() ? kGroupedGap : kGroupedHeaderHeight;
}

double TableView::sectionFooterHeight(const std::string& title) const
{
    if (title.empty())
        return 0;
    if (m_style == TableViewStyle::Plain)
        return kPlainTitleHeight;
    // A footer of several lines has room for all of them.
    double width = frame().width - 2 * kTitleInset;
    return std::max(kGroupedFooterHeight, makeTitleLabel(title, false)->heightForWidth(width) + 2 * kFooterPadding);
}

void TableView::computeLayout()
{
    m_sections.clear();
    int sections = m_dataSource ? m_dataSource->numberOfSectionsInTableView(*this) : 0;
    double y = m_topInset;
    for (int s = 0; s < sections; ++s) {
        Section section;
        section.header = m_dataSource->titleForHeaderInSection(*this, s);
        section.footer = m_dataSource->titleForFooterInSection(*this, s);
        section.headerTop = y;
        y += sectionHeaderHeight(section.header);
        section.rowsTop = y;
        int rows = std::max(0, m_dataSource->numberOfRowsInSection(*this, s));
        for (int r = 0; r < rows; ++r) {
            double height = m_delegate ? m_delegate->heightForRowAtIndexPath(*this, {s, r}) : m_rowHeight;
            section.rowTops.push_back(y);
            section.rowHeights.push_back(height);
            y += height;
        }
        section.footerTop = y;
        y += sectionFooterHeight(section.footer);
        section.bottom = y;
        m_sections.push_back(std::move(section));
    }
    if (m_style == TableViewStyle::Grouped && sections > 0)
        y += kGroupedGap;
    m_contentHeight = y;
    makeTitles();
}

void TableView::makeTitles()
{
    for (auto& title : m_titles)
        title.label->removeFromSuperview();
    m_titles.clear();
    auto add = [this](const std::string& text, double top, double height, bool header) {
        if (text.empty())
            return;
        auto label = makeTitleLabel(text, header);
        // Under the rows, in the order they are read.
        insertSubview(label, m_titles.size());
        m_titles.push_back({label, top, height});
    };
    for (const auto& section : m_sections) {
        add(section.header, section.headerTop, section.rowsTop - section.headerTop, true);
        add(section.footer, section.footerTop, section.bottom - section.footerTop, false);
    }
}

void TableView::placeTitles()
{
    double width = frame().width - 2 * kTitleInset;
    for (auto& title : m_titles) {
        // A header sits on its rows; a footer in the middle of its room.
        bool header = title.label->textAlignment() == TextAlignment::Left;
        double height = std::min(title.height, title.label->heightForWidth(width));
        double top = header ? title.top + title.height - height : title.top + (title.height - height) / 2;
        title.label->setFrame(Rect{kTitleInset, top - m_contentOffset, width, height});
    }
}

Rect TableView::rectForRowAtIndexPath(IndexPath indexPath) const
{
    if (!isValid(indexPath))
        return {};
    const Section& section = m_sections[std::size_t(indexPath.section)];
    double inset = m_style == TableViewStyle::Grouped ? kGroupedInset : 0;
    return {inset, section.rowTops[std::size_t(indexPath.row)], frame().width - 2 * inset,
            section.rowHeights[std::size_t(indexPath.row)]};
}

Rect TableView::cellFrame(IndexPath indexPath) const
{
    Rect rect = rectForRowAtIndexPath(indexPath);
    rect.y -= m_contentOffset;
    return rect;
}

void TableView::setTopInset(double inset)
{
    m_topInset = inset;
    reloadData();
}

double TableView::maximumOffset() const { return std::max(0.0, m_contentHeight + m_bottomInset - frame().height); }

void TableView::setContentOffset(double offset)
{
    m_contentOffset = std::clamp(offset, 0.0, maximumOffset());
    updateVisibleCells(false);
    widget()->update();
}

void TableView::scrollToRowAtIndexPath(IndexPath indexPath, TableViewScrollPosition position, bool)
{
    Rect rect = rectForRowAtIndexPath(indexPath);
    double visible = frame().height - m_bottomInset;
    switch (position) {
    case TableViewScrollPosition::Top:
        setContentOffset(rect.y - m_topInset);
        break;
    case TableViewScrollPosition::Middle:
        setContentOffset(rect.y - (visible - rect.height) / 2);
        break;
    case TableViewScrollPosition::Bottom:
        setContentOffset(rect.y + rect.height - visible);
        break;
    case TableViewScrollPosition::None:
        if (rect.y < m_contentOffset + m_topInset)
            setContentOffset(rect.y - m_topInset);
        else if (rect.y + rect.height > m_contentOffset + visible)
            setContentOffset(rect.y + rect.height - visible);
        break;
    }
}

void TableView::frameDidChange()
{
    m_contentOffset = std::clamp(m_contentOffset, 0.0, maximumOffset());
    updateVisibleCells(false);
}

void TableView::updateVisibleCells(bool animated)
{
    double top = m_contentOffset;
    double bottom = m_contentOffset + frame().height;
    // Cells that scrolled away, or that another table took, are let go.
    for (auto it = m_visible.begin(); it != m_visible.end();) {
        Rect rect = rectForRowAtIndexPath(it->first);
        bool onScreen = isValid(it->first) && rect.y < bottom && rect.y + rect.height > top;
        if (!onScreen || it->second->superview() != this) {
            hideCell(it->second);
            it = m_visible.erase(it);
        } else {
            ++it;
        }
    }
    if (animated) {
        View::beginAnimations();
        View::setAnimationDuration(kRowAnimationDuration);
    }
    for (int s = 0; s < numberOfSections(); ++s) {
        const Section& section = m_sections[std::size_t(s)];
        for (int r = 0; r < int(section.rowTops.size()); ++r) {
            double rowTop = section.rowTops[std::size_t(r)];
            if (rowTop >= bottom || rowTop + section.rowHeights[std::size_t(r)] <= top)
                continue;
            auto found = m_visible.find({s, r});
            if (found != m_visible.end()) {
                found->second->setFrame(cellFrame({s, r}));
                found->second->layoutSubviews();
            } else if (auto cell = m_dataSource->cellForRowAtIndexPath(*this, {s, r})) {
                showCell({s, r}, cell);
            }
        }
    }
    if (animated)
        View::commitAnimations();
    placeTitles();
    static_cast<TableViewWidget*>(widget())->updateScrollBar();
}

void TableView::showCell(IndexPath indexPath, const std::shared_ptr<TableViewCell>& cell)
{
    m_visible[indexPath] = cell;
    cell->setFrame(cellFrame(indexPath));
    addSubview(cell);
    // Under a wheel slid over the rows, not over it.
    const auto& views = subviews();
    auto cover = std::find_if(views.begin(), views.end(), [](const auto& view) { return view->coversWhatIsBehind(); });
    if (cover != views.end() && *cover != cell)
        insertSubview(cell, std::size_t(cover - views.begin()));
    if (cell->isEditing() != m_editing)
        cell->setEditing(m_editing, false);
    cell->setSelected(m_selected == indexPath, false);
    cell->setKeyboardChoice(m_keyboardRow == indexPath);
    cell->layoutSubviews();
    TableViewCell* raw = cell.get();
    cell->on_tap = [this, raw] {
        if (auto indexPath = indexPathForCell(*raw))
            selectRowAtIndexPath(*indexPath);
    };
    cell->on_accessoryTap = [this, raw] {
        if (auto indexPath = indexPathForCell(*raw))
            tapAccessoryButtonForRowAtIndexPath(*indexPath);
    };
    cell->on_delete = [this, raw] {
        if (auto indexPath = indexPathForCell(*raw))
            commitDeleteForRowAtIndexPath(*indexPath);
    };
}

void TableView::hideCell(const std::shared_ptr<TableViewCell>& cell)
{
    // A cell that moved to another table belongs to that table now.
    if (cell->superview() != this)
        return;
    cell->on_tap = nullptr;
    cell->on_accessoryTap = nullptr;
    cell->on_delete = nullptr;
    cell->removeFromSuperview();
}

std::shared_ptr<TableViewCell> TableView::cellForRowAtIndexPath(IndexPath indexPath) const
{
    auto found = m_visible.find(indexPath);
    if (found == m_visible.end() || found->second->superview() != this)
        return nullptr;
    return found->second;
}

std::vector<IndexPath> TableView::indexPathsForVisibleRows() const
{
    std::vector<IndexPath> rows;
    for (const auto& [indexPath, cell] : m_visible)
        rows.push_back(indexPath);
    return rows;
}

std::optional<IndexPath> TableView::indexPathForCell(const TableViewCell& cell) const
{
    for (const auto& [indexPath, shown] : m_visible) {
        if (shown.get() == &cell)
            return indexPath;
    }
    return std::nullopt;
}

void TableView::shiftRows(const std::vector<IndexPath>& changed, int direction)
{
    auto moved = [&](IndexPath indexPath) {
        int before = 0;
        for (const auto& change : changed) {
            if (change.section == indexPath.section && change.row < indexPath.row + (direction > 0 ? 1 + before : 0))
                ++before;
        }
        return IndexPath{indexPath.section, indexPath.row + direction * before};
    };
    std::map<IndexPath, std::shared_ptr<TableViewCell>> shifted;
    for (auto& [indexPath, cell] : m_visible)
        shifted[moved(indexPath)] = cell;
    m_visible = std::move(shifted);
    if (m_selected)
        m_selected = moved(*m_selected);
    if (m_keyboardRow)
        m_keyboardRow = moved(*m_keyboardRow);
}

void TableView::deleteRowsAtIndexPaths(const std::vector<IndexPath>& indexPaths, TableViewRowAnimation animation)
{
    // A deleted keyboard row leaves the keyboard where it was: on the row
    // that moves up into its place.
    std::optional<IndexPath> keyboardRow;
    if (m_keyboardRow && std::find(indexPaths.begin(), indexPaths.end(), *m_keyboardRow) != indexPaths.end())
        keyboardRow = std::exchange(m_keyboardRow, std::nullopt);
    for (const auto& indexPath : indexPaths) {
        if (m_selected == indexPath)
            m_selected.reset();
        auto found = m_visible.find(indexPath);
        if (found == m_visible.end())
            continue;
        auto cell = found->second;
        m_visible.erase(found);
        if (animation == TableViewRowAnimation::None || cell->superview() != this) {
            hideCell(cell);
            continue;
        }
        Rect rect = cell->frame();
        if (animation == TableViewRowAnimation::Right || animation == TableViewRowAnimation::Left)
            rect.x += animation == TableViewRowAnimation::Right ? rect.width : -rect.width;
        View::animate(kRowAnimationDuration, [&] {
            cell->setFrame(rect);
            cell->setAlpha(0);
        });
        Application::sharedApplication().runLoop().scheduleAfter(kRowAnimationDuration,
                                                                 [this, cell, weak = weak_from_this()] {
                                                                     if (!weak.expired())
                                                                         hideCell(cell);
                                                                     cell->setAlpha(1);
                                                                 });
    }
    auto sorted = indexPaths;
    std::sort(sorted.begin(), sorted.end());
    shiftRows(sorted, -1);
    computeLayout();
    m_contentOffset = std::clamp(m_contentOffset, 0.0, maximumOffset());
    if (keyboardRow) {
        int rows = numberOfRowsInSection(keyboardRow->section);
        if (rows > 0)
            m_keyboardRow = IndexPath{keyboardRow->section, std::min(keyboardRow->row, rows - 1)};
    }
    updateVisibleCells(animation != TableViewRowAnimation::None);
    for (auto& [indexPath, cell] : m_visible)
        cell->setKeyboardChoice(m_keyboardRow == indexPath);
}

void TableView::insertRowsAtIndexPaths(const std::vector<IndexPath>& indexPaths, TableViewRowAnimation animation)
{
    auto sorted = indexPaths;
    std::sort(sorted.begin(), sorted.end());
    shiftRows(sorted, 1);
    computeLayout();
    updateVisibleCells(animation != TableViewRowAnimation::None);
}

void TableView::selectRowAtIndexPath(IndexPath indexPath)
{
    if (!isValid(indexPath))
        return;
    if (auto cell = cellForRowAtIndexPath(indexPath); cell && cell->isShowingDeleteConfirmation()) {
        cell->showDeleteConfirmation(false);
        return;
    }
    if (m_selected && *m_selected != indexPath)
        deselectRowAtIndexPath(*m_selected, false);
    m_selected = indexPath;
    // The keyboard goes on from the row last clicked.
    m_keyboardRow = indexPath;
    showKeyboardRow();
    if (auto cell = cellForRowAtIndexPath(indexPath))
        cell->setSelected(true, false);
    if (m_delegate)
        m_delegate->didSelectRowAtIndexPath(*this, indexPath);
}

void TableView::selectRowAtIndexPath(IndexPath indexPath, bool animated, TableViewScrollPosition position)
{
    if (!isValid(indexPath))
        return;
    if (m_selected && *m_selected != indexPath)
        deselectRowAtIndexPath(*m_selected, false);
    m_selected = indexPath;
    scrollToRowAtIndexPath(indexPath, position, animated);
    if (auto cell = cellForRowAtIndexPath(indexPath))
        cell->setSelected(true, animated);
}

void TableView::deselectRowAtIndexPath(IndexPath indexPath, bool animated)
{
    if (m_selected == indexPath)
        m_selected.reset();
    if (auto cell = cellForRowAtIndexPath(indexPath))
        cell->setSelected(false, animated);
}

void TableView::tapAccessoryButtonForRowAtIndexPath(IndexPath indexPath)
{
    if (isValid(indexPath) && m_delegate)
        m_delegate->accessoryButtonTappedForRowWithIndexPath(*this, indexPath);
}

void TableView::commitDeleteForRowAtIndexPath(IndexPath indexPath)
{
    if (isValid(indexPath) && m_dataSource)
        m_dataSource->commitEditingStyle(*this, TableViewCellEditingStyle::Delete, indexPath);
}

std::vector<IndexPath> TableView::allRows() const
{
    std::vector<IndexPath> rows;
    for (int s = 0; s < numberOfSections(); ++s) {
        for (int r = 0; r < numberOfRowsInSection(s); ++r)
            rows.push_back({s, r});
    }
    return rows;
}

bool TableView::moveKeyboardRow(int step)
{
    auto rows = allRows();
    if (rows.empty())
        return false;
    auto at = m_keyboardRow ? std::find(rows.begin(), rows.end(), *m_keyboardRow) : rows.end();
    std::ptrdiff_t index = at == rows.end()
        ? (step > 0 ? 0 : std::ptrdiff_t(rows.size()) - 1)
        : std::clamp<std::ptrdiff_t>(at - rows.begin() + step, 0, std::ptrdiff_t(rows.size()) - 1);
    setKeyboardRow(rows[std::size_t(index)]);
    return true;
}

bool TableView::activateKeyboardRow()
{
    if (!m_keyboardRow && !moveKeyboardRow(1))
        return false;
    // Activated where it can be seen, as a click is.
    scrollToRowAtIndexPath(*m_keyboardRow, TableViewScrollPosition::None, true);
    if (m_delegate)
        m_delegate->didActivateRowAtIndexPath(*this, *m_keyboardRow);
    return true;
}

void TableView::setKeyboardRow(IndexPath indexPath)
{
    if (!isValid(indexPath))
        return;
    m_keyboardRow = indexPath;
    selectRowAtIndexPath(indexPath, true, TableViewScrollPosition::None);
    showKeyboardRow();
}

void TableView::showKeyboardRow()
{
    for (auto& [indexPath, cell] : m_visible) {
        cell->setKeyboardChoice(m_keyboardRow == indexPath);
        if (m_keyboardRow != indexPath)
            continue;
        // Its ring comes and goes with the keyboard.
        cell->setNeedsDisplay();
        if (hasKeyboardFocus())
            AccessibleViews::focusMoved(*cell);
    }
}

void TableView::setEditing(bool editing, bool animated)
{
    m_editing = editing;
    for (auto& [indexPath, cell] : m_visible) {
        if (cell->superview() == this)
            cell->setEditing(editing, animated);
    }
}

} // namespace ui
