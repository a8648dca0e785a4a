#pragma once

#include "platform/ui/View.h"

#include <memory>
#include <vector>

namespace ui {

class PickerView;

// What a picker shows and what it tells of the user's choice.
class PickerViewDelegate {
public:
    virtual ~PickerViewDelegate() = default;
    virtual int numberOfComponentsInPickerView(PickerView&) { return 1; }
    virtual int numberOfRowsInComponent(PickerView& pickerView, int component) = 0;
    virtual std::shared_ptr<View> viewForRow(PickerView& pickerView, int row, int component) = 0;
    virtual void didSelectRow(PickerView&, int, int) { }
};

// A wheel of rows (one component) with the chosen row in the middle; the
// mouse wheel, the arrow keys or a click on a row turn it.
class PickerView : public View {
public:
    static constexpr double kRowHeight = 44;

    explicit PickerView(Rect frame);

    bool coversWhatIsBehind() const override { return true; }

    void setDelegate(PickerViewDelegate* delegate) { m_delegate = delegate; }
    void setShowsSelectionIndicator(bool shows);
    void reloadAllComponents();
    int selectedRowInComponent(int component) const { return component == 0 ? m_selected : -1; }
    // Turns the wheel without telling the delegate.
    void selectRow(int row, int component, bool animated);
    // As the user does: turns the wheel and tells the delegate.
    void userSelectRow(int row);
    int numberOfRows() const { return int(m_rows.size()); }

protected:
    void frameDidChange() override;

private:
    void layoutRows();

    PickerViewDelegate* m_delegate = nullptr;
    std::vector<std::shared_ptr<View>> m_rows;
    std::shared_ptr<View> m_indicator;
    int m_selected = 0;
};

} // namespace ui
