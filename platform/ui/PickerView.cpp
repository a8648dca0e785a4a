#include "platform/ui/PickerView.h"

#include "platform/ui/PickerViewWidget.h"

#include <QWidget>

#include <algorithm>

namespace ui {

PickerView::PickerView(Rect frame)
    : View(new PickerViewWidget(*this), frame)
{
    setAccessibilityRole(AccessibilityRole::List);
}

void PickerView::setShowsSelectionIndicator(bool shows)
{
    if (!shows) {
        if (m_indicator)
            m_indicator->removeFromSuperview();
        m_indicator.reset();
        return;
    }
    if (!m_indicator) {
        m_indicator = std::make_shared<View>();
        m_indicator->setBackgroundColor(Color{0.35, 0.45, 0.75, 0.25});
        m_indicator->setAccessibilityHidden(true);
        addSubview(m_indicator);
    }
    layoutRows();
}

void PickerView::reloadAllComponents()
{
    for (auto& row : m_rows)
        row->removeFromSuperview();
    m_rows.clear();
    int count = m_delegate && m_delegate->numberOfComponentsInPickerView(*this) > 0
        ? m_delegate->numberOfRowsInComponent(*this, 0)
        : 0;
    for (int row = 0; row < count; ++row) {
        auto view = m_delegate->viewForRow(*this, row, 0);
        m_rows.push_back(view ? view : std::make_shared<View>());
        m_rows.back()->setAccessibilityRole(AccessibilityRole::ListItem);
        m_rows.back()->setAccessibilityActivation([this, row] { userSelectRow(row); });
        addSubview(m_rows.back());
    }
    m_selected = std::clamp(m_selected, 0, std::max(0, count - 1));
    layoutRows();
}

void PickerView::selectRow(int row, int component, bool)
{
    if (component != 0 || m_rows.empty())
        return;
    m_selected = std::clamp(row, 0, int(m_rows.size()) - 1);
    layoutRows();
}

void PickerView::userSelectRow(int row)
{
    if (m_rows.empty())
        return;
    int chosen = std::clamp(row, 0, int(m_rows.size()) - 1);
    if (chosen == m_selected)
        return;
    selectRow(chosen, 0, true);
    if (m_delegate)
        m_delegate->didSelectRow(*this, chosen, 0);
}

void PickerView::frameDidChange() { layoutRows(); }

void PickerView::layoutRows()
{
    double middle = (frame().height - kRowHeight) / 2;
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        Rect shown = m_rows[i]->frame();
        double y = middle + (double(i) - m_selected) * kRowHeight;
        m_rows[i]->setFrame(Rect{(frame().width - shown.width) / 2, y, shown.width, kRowHeight});
        bool chosen = int(i) == m_selected;
        m_rows[i]->setAccessibilityTraits({.selectable = true, .selected = chosen, .current = chosen});
    }
    if (m_indicator) {
        m_indicator->setFrame(Rect{0, middle, frame().width, kRowHeight});
        m_indicator->widget()->raise();
    }
}

} // namespace ui
