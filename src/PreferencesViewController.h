#pragma once

#include "platform/ui/IndexPath.h"
#include "platform/ui/TableView.h"
#include "platform/ui/ViewController.h"

#include <functional>
#include <memory>
#include <optional>

namespace core {
class UserDefaults;
}
namespace ui {
class Switch;
}

// The settings screen, flipped to from the browser: recording on start-up,
// quiet playback, recording quality, maximum length, and About. Every
// change is written at once.
class PreferencesViewController : public ui::ViewController,
                                  public ui::TableViewDataSource,
                                  public ui::TableViewDelegate {
public:
    static constexpr int kSampleRates[3] = {8000, 22050, 44100};
    static constexpr int kMaximumTimes[3] = {5, 10, 1000};

    // The settings outlive it.
    explicit PreferencesViewController(core::UserDefaults& defaults)
        : m_defaults(defaults)
    {
    }

    // Done was pressed: whoever shows the screen turns it away.
    std::function<void()> on_done;

    void loadView() override;
    // The form's table, not the bar above it.
    std::shared_ptr<ui::View> keyboardView() override;
    void viewDidLoad() override;

    int numberOfSectionsInTableView(ui::TableView&) override { return 4; }
    int numberOfRowsInSection(ui::TableView& tableView, int section) override;
    std::string titleForHeaderInSection(ui::TableView& tableView, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& tableView,
                                                             ui::IndexPath indexPath) override;
    void didSelectRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;

    void switcherAction();
    void receiverAction();
    void alertSimpleAction();
    void toggleView();

    ui::Switch* autoRecSwitch() const { return m_autoRecSwitch.get(); }
    ui::Switch* receiverSwitch() const { return m_receiverSwitch.get(); }
    ui::TableView& prefTableView() const { return *m_prefTableView; }
    const std::optional<ui::IndexPath>& indexPathCell() const { return m_indexPathCell; }
    const std::optional<ui::IndexPath>& indexPathCellLength() const { return m_indexPathCellLength; }

private:
    std::shared_ptr<ui::Switch> makeSwitch(ui::TableViewCell& cell, const char* key,
                                           void (PreferencesViewController::*action)());
    // Moves the section's checkmark to the tapped row.
    void moveCheckmark(std::optional<ui::IndexPath>& checked, ui::IndexPath tapped);
    void synchronize();

    core::UserDefaults& m_defaults;
    std::shared_ptr<ui::Switch> m_autoRecSwitch;
    std::shared_ptr<ui::Switch> m_receiverSwitch;
    std::shared_ptr<ui::TableView> m_prefTableView;
    std::optional<ui::IndexPath> m_indexPathCell;
    std::optional<ui::IndexPath> m_indexPathCellLength;
};
