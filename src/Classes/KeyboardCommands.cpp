#include "Classes/KeyboardCommands.h"

#include "Classes/RootViewController.h"
#include "Classes/TableNavigationController.h"
#include "DetailController.h"
#include "ExportView.h"
#include "RecordingViewController.h"
#include "TableViewController.h"

#include "platform/ui/Application.h"

#include <algorithm>

using ui::Key;

KeyboardCommands::KeyboardCommands(RootViewController& root)
    : m_root(root)
{
}

bool KeyboardCommands::handle(ui::KeyPress press)
{
    if (press.control) {
        if (press.key == Key::Q) {
            ui::Application::sharedApplication().terminate();
            return true;
        }
        if ((press.key == Key::N || press.key == Key::R) && listShown()) {
            m_root.myNavigationController()->tableViewController()->newAction();
            return true;
        }
        return false;
    }
    switch (press.key) {
    case Key::Escape:
        return escape();
    case Key::Up:
        return moveChoice(-1);
    case Key::Down:
        return moveChoice(1);
    case Key::Space:
        return playOrPause();
    case Key::Delete:
        return deleteChosen();
    case Key::F2:
        return openDetails();
    default:
        return false;
    }
}

bool KeyboardCommands::listShown() const
{
    auto& browser = *m_root.myNavigationController();
    return !m_root.modalViewController() && !browser.modalViewController() && browser.view()->superview()
        && browser.topViewController().get() == browser.tableViewController();
}

bool KeyboardCommands::escape()
{
    auto& browser = *m_root.myNavigationController();
    if (m_root.modalViewController() == m_root.recordingViewController()) {
        m_root.recordingViewController()->CancelAction();
        return true;
    }
    if (auto exportView = std::dynamic_pointer_cast<ExportView>(browser.modalViewController())) {
        exportView->cancelAction();
        return true;
    }
    return browser.popViewControllerAnimated(true) != nullptr;
}

bool KeyboardCommands::moveChoice(int step)
{
    auto& table = m_root.myNavigationController()->tableViewController()->tableView();
    int rows = table.numberOfRowsInSection(0);
    if (!listShown() || rows == 0)
        return false;
    int row = m_row ? *m_row + step : (step > 0 ? 0 : rows - 1);
    m_row = std::clamp(row, 0, rows - 1);
    table.selectRowAtIndexPath({0, *m_row}, true, ui::TableViewScrollPosition::None);
    return true;
}

bool KeyboardCommands::playOrPause()
{
    auto& browser = *m_root.myNavigationController();
    auto& list = *browser.tableViewController();
    if (!listShown() || list.tableView().numberOfRowsInSection(0) == 0)
        return false;
    int row = m_row.value_or(0);
    auto mode = browser.currentSystemItem();
    bool playing = mode == ui::BarButtonSystemItem::Pause || mode == ui::BarButtonSystemItem::Play;
    // The row may have been scrolled away since it was chosen: a key plays
    // only what can be seen, as a click does.
    list.tableView().scrollToRowAtIndexPath({0, row}, ui::TableViewScrollPosition::None, true);
    if (list.selectedCell() == ui::IndexPath{0, row} && playing)
        browser.playPauseButton()->trigger();
    else
        list.tableView().selectRowAtIndexPath({0, row});
    m_row = row;
    return true;
}

bool KeyboardCommands::deleteChosen()
{
    auto& list = *m_root.myNavigationController()->tableViewController();
    if (!listShown() || !list.isEditing() || !m_row)
        return false;
    list.tableView().commitDeleteForRowAtIndexPath({0, *m_row});
    int rows = list.tableView().numberOfRowsInSection(0);
    m_row = rows > 0 ? std::optional<int>(std::min(*m_row, rows - 1)) : std::nullopt;
    return true;
}

bool KeyboardCommands::openDetails()
{
    auto& browser = *m_root.myNavigationController();
    // In edit mode the rows show no details button to tap either.
    if (!listShown() || !m_row || browser.tableViewController()->isEditing())
        return false;
    browser.tableViewController()->tableView().tapAccessoryButtonForRowAtIndexPath({0, *m_row});
    if (auto detail = std::dynamic_pointer_cast<DetailController>(browser.topViewController()))
        detail->tableView().selectRowAtIndexPath({0, 0});
    return true;
}
