#pragma once

#include "platform/ui/View.h"

#include <functional>
#include <memory>

namespace ui {

class Button;
class Label;

enum class TableViewCellSelectionStyle { None = 0, Blue = 1, Gray = 2 };
enum class TableViewCellAccessoryType { None = 0, DisclosureIndicator = 1, DetailDisclosureButton = 2, Checkmark = 3 };

// One row of a table: a content view for the row's own views, an
// accessory at the right, and in edit mode a delete control at the left.
class TableViewCell : public View {
public:
    static constexpr double kAccessoryWidth = 32;
    static constexpr double kEditingInset = 32;

    TableViewCell();
    ~TableViewCell() override;

    View& contentView() { return *m_contentView; }
    // The cell's own text at the left of the content; made on first use.
    Label& textLabel();

    TableViewCellSelectionStyle selectionStyle() const { return m_selectionStyle; }
    void setSelectionStyle(TableViewCellSelectionStyle style) { m_selectionStyle = style; }
    TableViewCellAccessoryType accessoryType() const { return m_accessoryType; }
    void setAccessoryType(TableViewCellAccessoryType type);
    const std::shared_ptr<View>& accessoryView() const { return m_accessoryView; }
    // A view of its own in place of the standard accessory.
    void setAccessoryView(std::shared_ptr<View> view);

    bool isSelected() const { return m_selected; }
    virtual void setSelected(bool selected, bool animated);
    // The row the table's keyboard is on: ringed while the table has it.
    bool isKeyboardChoice() const { return m_keyboardChoice; }
    void setKeyboardChoice(bool choice);
    bool isEditing() const { return m_editing; }
    virtual void setEditing(bool editing, bool animated);
    bool isShowingDeleteConfirmation() const { return m_deleteButton != nullptr; }
    // The red Delete button that confirms a delete (edit mode or a swipe).
    void showDeleteConfirmation(bool show);
    // What the delete controls say they delete to a screen reader
    // ("Delete" alone without it).
    void setDeleteLabel(std::string label);

    // Places the content, the accessory and the edit controls in the frame.
    void layoutSubviews();

    // Set by the table that shows the cell.
    std::function<void()> on_tap;
    std::function<void()> on_accessoryTap;
    std::function<void()> on_delete;

private:
    friend class TableViewCellWidget;
    void pressed();
    void released(bool inside);
    void swiped();
    void updateBackground();
    void updateTraits();
    void rebuildAccessory();

    std::shared_ptr<View> m_contentView;
    std::shared_ptr<Label> m_textLabel;
    TableViewCellSelectionStyle m_selectionStyle = TableViewCellSelectionStyle::Blue;
    TableViewCellAccessoryType m_accessoryType = TableViewCellAccessoryType::None;
    std::shared_ptr<View> m_accessoryView;
    std::shared_ptr<View> m_shownAccessory;
    std::shared_ptr<Button> m_deleteControl;
    std::shared_ptr<Button> m_deleteButton;
    std::string m_deleteLabel = "Delete";
    bool m_selected = false;
    bool m_highlighted = false;
    bool m_editing = false;
    bool m_keyboardChoice = false;
};

} // namespace ui
