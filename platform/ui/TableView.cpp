#include "platform/ui/TableView.h"

#include "platform/core/RunLoop.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TableViewWidget.h"

#include <QWidget>

#include <algorithm>

namespace ui {

namespace {
constexpr double kGroupedInset = 10;
constexpr double kGroupedGap = 10;
constexpr double kGroupedHeaderHeight = 40;
constexpr double kPlainTitleHeight = 22;
constexpr double kGroupedFooterHeight = 36;
} // namespace

double TableViewDelegate::heightForRowAtIndexPath(TableView& tableView, IndexPath) { return tableView.rowHeight(); }

TableView::TableView(Rect frame, TableViewStyle style)
    : View(new TableViewWidget(*this), frame)
    , m_style(style)
{
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
    m_contentOffset = std::clamp(m_contentOffset, 0.0, maximumOffset());
    updateVisibleCells(false);
}

double TableView::sectionHeaderHeight(const std::string& title) const
{
    if (m_style == TableViewStyle::Plain)
        return title.empty() ? 0 : kPlainTitleHeight;
    return title.empty() ? kGroupedGap : kGroupedHeaderHeight;
}

double TableView::sectionFooterHeight(const std::string& title) const
{
    if (m_style == TableViewStyle::Plain)
        return title.empty() ? 0 : kPlainTitleHeight;
    return title.empty() ? 0 : kGroupedFooterHeight;
}

void TableView::computeLayout()
{
    m_sections.clear();
    int sections = m_dataSource ? m_dataSource->numberOfSectionsInTableView(*this) : 0;
    double y = 0;
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
        setContentOffset(rect.y);
        break;
    case TableViewScrollPosition::Middle:
        setContentOffset(rect.y - (visible - rect.height) / 2);
        break;
    case TableViewScrollPosition::Bottom:
        setContentOffset(rect.y + rect.height - visible);
        break;
    case TableViewScrollPosition::None:
        if (rect.y < m_contentOffset)
            setContentOffset(rect.y);
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
}

void TableView::showCell(IndexPath indexPath, const std::shared_ptr<TableViewCell>& cell)
{
    m_visible[indexPath] = cell;
    cell->setFrame(cellFrame(indexPath));
    addSubview(cell);
    if (cell->isEditing() != m_editing)
        cell->setEditing(m_editing, false);
    cell->setSelected(m_selected == indexPath, false);
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
}

void TableView::deleteRowsAtIndexPaths(const std::vector<IndexPath>& indexPaths, TableViewRowAnimation animation)
{
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
        core::RunLoop::main().scheduleAfter(kRowAnimationDuration, [this, cell, weak = weak_from_this()] {
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
    updateVisibleCells(animation != TableViewRowAnimation::None);
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

void TableView::setEditing(bool editing, bool animated)
{
    m_editing = editing;
    for (auto& [indexPath, cell] : m_visible) {
        if (cell->superview() == this)
            cell->setEditing(editing, animated);
    }
}

} // namespace ui
