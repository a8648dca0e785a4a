#pragma once

#include "platform/ui/KeyPress.h"

#include <optional>

class RootViewController;
namespace ui {
class TableView;
}

// The keyboard's way to the same operations as the clicks: Ctrl+N or
// Ctrl+R records, Up and Down choose a note, Space plays or pauses it,
// Delete deletes it in edit mode, F2 opens its details on the name,
// Ctrl+F searches the notes, Escape cancels a recording or an export,
// closes a wheel, the preferences or the search, or goes back, Ctrl+Q quits.
class KeyboardCommands {
public:
    explicit KeyboardCommands(RootViewController& root);

    // True when the key was used.
    bool handle(ui::KeyPress press);
    std::optional<int> chosenRow() const;

private:
    bool escape();
    // Arrows and Space that no control took go to the list.
    bool moveChoice(int step);
    bool playOrPause();
    bool deleteChosen();
    bool openDetails();
    // The list is on screen, with nothing over it.
    bool listShown() const;
    ui::TableView& table() const;

    RootViewController& m_root;
};
