#include "PreferencesViewController.h"

#include "platform/core/Bundle.h"
#include "platform/core/Log.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/Switch.h"
#include "platform/ui/TableViewCell.h"

using core::localizedString;

namespace {
constexpr const char* kQualityKeys[3] = {"Low", "Medium", "High"};
constexpr const char* kLengthKeys[3] = {"5 min", "10 min", "unlimited"};
constexpr ui::Rect kSwitchFrame{195, 8, 94, 27};
} // namespace

void PreferencesViewController::loadView()
{
    auto root = std::make_shared<ui::View>(kContentFrame);
    m_prefTableView = std::make_shared<ui::TableView>(
        ui::Rect{0, ui::NavigationBar::kHeight, kContentFrame.width, kContentFrame.height - ui::NavigationBar::kHeight},
        ui::TableViewStyle::Grouped);
    m_prefTableView->setAccessibilityLabel(localizedString("Preferences"));
    m_prefTableView->setDataSource(this);
    m_prefTableView->setDelegate(this);
    root->addSubview(m_prefTableView);
    setView(root);
}

std::shared_ptr<ui::View> PreferencesViewController::keyboardView()
{
    view();
    return m_prefTableView;
}

void PreferencesViewController::viewDidLoad()
{
    view()->setBackgroundColor(ui::Color::groupTableViewBackground());
    m_prefTableView->setBackgroundColor(ui::Color::clear());

    auto navBar = std::make_shared<ui::NavigationBar>(ui::Rect{0, 0, 320, ui::NavigationBar::kHeight});
    navBar->setBarStyle(ui::BarStyle::Default);
    navigationItem().setTitle(localizedString("Preferences"));
    navigationItem().setRightBarButtonItem(
        std::make_shared<ui::BarButtonItem>(ui::BarButtonSystemItem::Done,
                                            [this](ui::BarButtonItem&) { toggleView(); }),
        true);
    navBar->pushNavigationItem(navigationItem(), true);
    view()->addSubview(navBar);
    m_prefTableView->reloadData();
}

int PreferencesViewController::numberOfRowsInSection(ui::TableView&, int section)
{
    constexpr int kRows[4] = {2, 3, 3, 1};
    return section >= 0 && section < 4 ? kRows[section] : 0;
}

std::string PreferencesViewController::titleForHeaderInSection(ui::TableView&, int section)
{
    if (section == 1)
        return localizedString("Audio Quality");
    if (section == 2)
        return localizedString("Maximum length");
    return {};
}

std::shared_ptr<ui::Switch> PreferencesViewController::makeSwitch(ui::TableViewCell& cell, const char* key,
                                                                  void (PreferencesViewController::*action)())
{
    auto control = std::make_shared<ui::Switch>(kSwitchFrame);
    control->addTarget([this, action](ui::Control&) { (this->*action)(); }, ui::ControlEvent::ValueChanged);
    control->setAccessibilityLabel(cell.textLabel().text());
    cell.contentView().addSubview(control);
    cell.setSelectionStyle(ui::TableViewCellSelectionStyle::None);
    if (m_defaults.boolForKey(key))
        control->setOn(true, false);
    return control;
}

std::shared_ptr<ui::TableViewCell> PreferencesViewController::cellForRowAtIndexPath(ui::TableView&,
                                                                                    ui::IndexPath indexPath)
{
    auto cell = std::make_shared<ui::TableViewCell>();
    int row = indexPath.row;
    switch (indexPath.section) {
    case 0:
        cell->textLabel().setText(localizedString(row == 0 ? "Record On Startup" : "Use phone receiver"));
        if (row == 0)
            m_autoRecSwitch = makeSwitch(*cell, "AutoRecording", &PreferencesViewController::switcherAction);
        else
            m_receiverSwitch = makeSwitch(*cell, "UseReceiver", &PreferencesViewController::receiverAction);
        break;
    case 1:
        cell->textLabel().setText(localizedString(kQualityKeys[row]));
        if (m_defaults.integerForKey("SampleRate") == kSampleRates[row]) {
            cell->setAccessoryType(ui::TableViewCellAccessoryType::Checkmark);
            m_indexPathCell = indexPath;
        }
        break;
    case 2:
        cell->textLabel().setText(localizedString(kLengthKeys[row]));
        if (m_defaults.integerForKey("Maximum Time") == kMaximumTimes[row]) {
            cell->setAccessoryType(ui::TableViewCellAccessoryType::Checkmark);
            m_indexPathCellLength = indexPath;
        }
        break;
    case 3:
        cell->textLabel().setText(localizedString("About"));
        cell->textLabel().setTextAlignment(ui::TextAlignment::Center);
        break;
    default:
        break;
    }
    return cell;
}

void PreferencesViewController::moveCheckmark(std::optional<ui::IndexPath>& checked, ui::IndexPath tapped)
{
    if (checked) {
        if (auto cell = m_prefTableView->cellForRowAtIndexPath(*checked))
            cell->setAccessoryType(ui::TableViewCellAccessoryType::None);
    }
    if (auto cell = m_prefTableView->cellForRowAtIndexPath(tapped))
        cell->setAccessoryType(ui::TableViewCellAccessoryType::Checkmark);
    checked = tapped;
}

void PreferencesViewController::didSelectRowAtIndexPath(ui::TableView& table, ui::IndexPath indexPath)
{
    int row = indexPath.row;
    bool known = row >= 0 && row < 3;
    switch (indexPath.section) {
    case 1:
        moveCheckmark(m_indexPathCell, indexPath);
        if (known)
            m_defaults.setInteger(kSampleRates[row], "SampleRate");
        synchronize();
        break;
    case 2:
        // Stored at once, as the rate is: a crash must not lose the choice.
        moveCheckmark(m_indexPathCellLength, indexPath);
        if (known)
            m_defaults.setInteger(kMaximumTimes[row], "Maximum Time");
        synchronize();
        break;
    case 3:
        alertSimpleAction();
        break;
    default:
        break;
    }
    table.deselectRowAtIndexPath(indexPath, true);
}

void PreferencesViewController::synchronize()
{
    if (!m_defaults.synchronize())
        core::Log::system("Could not store the settings");
}

void PreferencesViewController::switcherAction()
{
    m_defaults.setBool(m_autoRecSwitch->isOn(), "AutoRecording");
    synchronize();
}

void PreferencesViewController::receiverAction()
{
    m_defaults.setBool(m_receiverSwitch->isOn(), "UseReceiver");
    synchronize();
}

void PreferencesViewController::alertSimpleAction()
{
    auto alert = std::make_shared<ui::AlertView>(localizedString("About Info"), localizedString("AboutMessage"), "OK");
    alert->show();
}

void PreferencesViewController::toggleView()
{
    if (on_done)
        on_done();
}
