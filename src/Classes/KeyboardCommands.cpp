#include "Classes/KeyboardCommands.h"

#include "Classes/RootViewController.h"
#include "Classes/TableNavigationController.h"
#include "DetailController.h"
#include "ExportView.h"
#include "RecordingViewController.h"
#include "TableViewController.h"

#include "platform/ui/Application.h"

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
        if (press.key == Key::F && listShown()) {
            m_root.myNavigationController()->openSearch();
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
    if (m_root.preferencesShown()) {
        m_root.toggleView();
        return true;
    }
    // A wheel or a field open on the details closes first, as Done does.
    if (auto detail = std::dynamic_pointer_cast<DetailController>(browser.topViewController());
        detail && detail->editing()) {
        detail->doneAction();
        return true;
    }
    if (browser.searchField() && listShown()) {
        browser.endSearch();
        return true;
    }
    return browser.popViewControllerAnimated(true) != nullptr;
}

ui::TableView& KeyboardCommands::table() const
{
    return m_root.myNavigationController()->tableViewController()->tableView();
}

std::optional<int> KeyboardCommands::chosenRow() const
{
    auto row = table().keyboardRow();
    return row ? std::optional<int>(row->row) : std::nullopt;
}

bool KeyboardCommands::moveChoice(int step)
{
    if (!listShown() || !table().moveKeyboardRow(step))
        return false;
    table().takeKeyboardFocus();
    return true;
}

bool KeyboardCommands::playOrPause()
{
    if (!listShown() || !table().activateKeyboardRow())
        return false;
    table().takeKeyboardFocus();
    return true;
}

bool KeyboardCommands::deleteChosen()
{
    auto& list = *m_root.myNavigationController()->tableViewController();
    auto row = table().keyboardRow();
    if (!listShown() || !list.isEditing() || !row)
        return false;
    table().commitDeleteForRowAtIndexPath(*row);
    return true;
}

bool KeyboardCommands::openDetails()
{
    auto& browser = *m_root.myNavigationController();
    auto row = table().keyboardRow();
    // In edit mode the rows show no details button to tap either.
    if (!listShown() || !row || browser.tableViewController()->isEditing())
        return false;
    table().tapAccessoryButtonForRowAtIndexPath(*row);
    if (auto detail = std::dynamic_pointer_cast<DetailController>(browser.topViewController()))
        detail->tableView().selectRowAtIndexPath({0, 0});
    return true;
}
