#include "ExportView.h"

#include "Classes/AppContext.h"
#include "Classes/ExportingController.h"
#include "Classes/FtpPassword.h"
#include "Classes/FtpTrust.h"
#include "Classes/NearbyServers.h"
#include "Classes/NoteModel.h"
#include "Classes/UploadFailure.h"
#include "Classes/UploadReport.h"
#include "ExportingCell.h"

#include "platform/core/Bundle.h"
#include "platform/core/Timer.h"
#include "platform/core/UserDefaults.h"
#include "platform/net/NetService.h"
#include "platform/net/ServerAddress.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TextField.h"

#include <string_view>
#include <utility>

using core::localizedString;

namespace {

constexpr const char* kIPAddressKey = "IP Address";
constexpr const char* kNameKey = "FTP Name";
constexpr const char* kPasswordKey = "FTP Pass";
constexpr int kNearbySection = 2;

} // namespace

ExportView::ExportView(AppContext& context, NoteModel& notes)
    : m_context(context)
    , m_notes(notes)
    , m_password(std::make_unique<FtpPassword>(context.defaults()))
    , m_nearby(std::make_unique<NearbyServers>(context.network()))
{
}

std::string ExportView::storedText(const char* key) const
{
    return m_context.defaults().objectForKey(key).value_or(std::string());
}

ExportView::~ExportView()
{
    for (auto* timer : {&m_timer, &m_timerClose}) {
        if (*timer)
            (*timer)->invalidate();
    }
}

void ExportView::setExportController(std::shared_ptr<ExportingController> controller)
{
    m_exportController = std::move(controller);
}

void ExportView::loadView()
{
    auto root = std::make_shared<ui::View>(kContentFrame);
    root->setBackgroundColor(ui::Color::groupTableViewBackground());
    m_tableViewExport = std::make_shared<ui::TableView>(kTableFrame, ui::TableViewStyle::Grouped);
    m_tableViewExport->setAccessibilityLabel(localizedString("Export"));
    m_tableViewExport->setDataSource(this);
    m_tableViewExport->setDelegate(this);
    root->addSubview(m_tableViewExport);
    setView(root);
}

std::shared_ptr<ui::View> ExportView::keyboardView()
{
    view();
    return m_tableViewExport;
}

void ExportView::viewDidLoad()
{
    auto navBar = std::make_shared<ui::NavigationBar>(ui::Rect{0, 0, 320, ui::NavigationBar::kHeight});
    navigationItem().setTitle(localizedString("Export"));
    navigationItem().setLeftBarButtonItem(std::make_shared<ui::BarButtonItem>(
        ui::BarButtonSystemItem::Cancel, [this](ui::BarButtonItem&) { cancelAction(); }));
    navBar->pushNavigationItem(navigationItem(), false);
    view()->addSubview(navBar);
    m_rows = 2;
    m_tableViewExport->reloadData();
}

void ExportView::startSearching()
{
    m_browser = std::make_unique<net::NetServiceBrowser>(m_context.network());
    m_browser->setDelegate(this);
    m_browser->searchForServicesOfType("_exportNote._tcp", "");
    m_nearby->on_changed = [this] { m_tableViewExport->reloadData(); };
    m_nearby->start();
}

int ExportView::numberOfSectionsInTableView(ui::TableView&) { return m_nearby->servers().empty() ? 2 : 3; }

int ExportView::numberOfRowsInSection(ui::TableView&, int section)
{
    if (section == kNearbySection)
        return int(m_nearby->servers().size());
    return section == 0 ? 1 : m_rows;
}

std::string ExportView::titleForHeaderInSection(ui::TableView&, int section)
{
    static constexpr const char* kHeaders[] = {"Export", "Send via FTP", "Servers on this network"};
    return localizedString(kHeaders[section]);
}

std::string ExportView::titleForFooterInSection(ui::TableView&, int section)
{
    if (section != 1)
        return {};
    m_shownFooter = footerText();
    return m_shownFooter;
}

std::string ExportView::footerText() const
{
    // A server that offered no encryption before is said to, before the
    // password goes: the one in the field as it is typed.
    auto address = net::ServerAddress::parse(m_ipTextField ? m_ipTextField->text() : storedText(kIPAddressKey));
    bool inClear = address && address->scheme == net::ServerAddress::Scheme::Ftp
        && FtpTrust(m_context.defaults()).isKnownInClear(address->server());
    std::string footer = localizedString("footer text");
    if (inClear)
        footer += "\n" + localizedString("footer not encrypted");
    if (address && address->isPlainHttp())
        footer += "\n" + localizedString("footer plain http");
    if (m_password->keptInSettingsFile())
        footer += "\n" + localizedString("footer password in settings file");
    return footer;
}

double ExportView::heightForRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath)
{
    return indexPath.section == 0 ? 80 : 44;
}

std::shared_ptr<ui::TableViewCell> ExportView::makeFormCell(const char* textKey, bool centred)
{
    auto cell = std::make_shared<ui::TableViewCell>();
    cell->textLabel().setText(localizedString(textKey));
    cell->textLabel().setTextAlignment(centred ? ui::TextAlignment::Center : ui::TextAlignment::Left);
    if (!centred)
        cell->setSelectionStyle(ui::TableViewCellSelectionStyle::None);
    return cell;
}

bool ExportView::placeField(ui::TableViewCell& cell, std::shared_ptr<ui::TextField>& field, const char* defaultsKey)
{
    // A field made once keeps what was typed (and the keyboard) when the
    // rows are made again, as a service found on the network makes them.
    bool made = !field;
    if (made) {
        field = std::make_shared<ui::TextField>(kFieldFrame);
        field->setAccessibilityLabel(cell.textLabel().text());
        field->setText(std::string_view(defaultsKey) == kPasswordKey ? m_password->stored().value_or("")
                                                                     : storedText(defaultsKey));
        field->on_shouldBeginEditing = [this] { return textFieldShouldBeginEditing(); };
        ui::TextField* raw = field.get();
        field->on_shouldReturn = [this, raw] { return textFieldShouldReturn(*raw); };
        field->on_escape = [this, raw] { textFieldShouldReturn(*raw); };
    }
    bool editing = field->hasKeyboardFocus();
    cell.contentView().addSubview(field);
    if (editing)
        field->takeKeyboardFocus();
    return made;
}

void ExportView::makePasswordRow(ui::TableViewCell& cell)
{
    cell.textLabel().setText(localizedString("Password"));
    cell.textLabel().setTextAlignment(ui::TextAlignment::Left);
    cell.setSelectionStyle(ui::TableViewCellSelectionStyle::None);
    if (!placeField(cell, m_passwordTextField, kPasswordKey))
        return;
    m_passwordTextField->setPlaceholder("Password");
    m_passwordTextField->setSecureTextEntry(true);
}

std::shared_ptr<ui::TableViewCell> ExportView::cellForRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath)
{
    if (indexPath.section == 0) {
        m_mainCell = std::make_shared<ExportingCell>();
        m_mainCell->setNoteObject(m_notes.storedNote(m_notePath).value_or(Note{}));
        m_mainCell->createIcon();
        m_mainCell->createLabels();
        // A cell made again mid-upload shows the upload too.
        if (m_sendingFace)
            m_mainCell->toggleSend();
        if (m_transferring)
            m_mainCell->changeText();
        return m_mainCell;
    }
    if (indexPath.section == kNearbySection)
        return makeServerCell(std::size_t(indexPath.row));
    if (!m_moreInfo)
        return makeFormCell(indexPath.row == 0 ? "Show FTP info" : "Send", true);
    switch (indexPath.row) {
    case 0: {
        auto cell = makeFormCell("IP address", false);
        if (placeField(*cell, m_ipTextField, kIPAddressKey)) {
            m_ipTextField->setPlaceholder("000.000.000.000");
            m_ipTextField->on_textChanged = [this] {
                if (footerText() != m_shownFooter)
                    m_tableViewExport->reloadData();
            };
        }
        return cell;
    }
    case 1: {
        auto cell = makeFormCell("User name", false);
        if (placeField(*cell, m_nameTextField, kNameKey)) {
            m_nameTextField->setAdjustsFontSizeToFitWidth(true);
            m_nameTextField->setPlaceholder(localizedString("Case sensitive"));
        }
        return cell;
    }
    case 2: {
        auto cell = makeFormCell("Password", false);
        makePasswordRow(*cell);
        return cell;
    }
    default:
        return makeFormCell("Send", true);
    }
}

void ExportView::didSelectRowAtIndexPath(ui::TableView& table, ui::IndexPath indexPath)
{
    table.deselectRowAtIndexPath(indexPath, true);
    if (indexPath.section == kNearbySection)
        return fillInServer(table, std::size_t(indexPath.row));
    if (indexPath.section != 1)
        return;
    if (indexPath.row == 0 && !m_moreInfo)
        showMoreInfo(table);
    int sendRow = m_moreInfo ? 3 : 1;
    if (indexPath.row == sendRow && !m_sending)
        sendFileViaFTP();
}

void ExportView::showMoreInfo(ui::TableView& table)
{
    m_rows = 4;
    m_moreInfo = true;
    table.insertRowsAtIndexPaths({{1, 0}, {1, 1}}, ui::TableViewRowAnimation::Top);
    if (auto former = table.cellForRowAtIndexPath({1, 2}))
        makePasswordRow(*former);
    if (auto send = table.cellForRowAtIndexPath({1, 3})) {
        send->textLabel().setText(localizedString("Send"));
        send->textLabel().setTextAlignment(ui::TextAlignment::Center);
    }
}

std::shared_ptr<ui::TableViewCell> ExportView::makeServerCell(std::size_t row)
{
    const NearbyServer& server = m_nearby->servers().at(row);
    auto cell = std::make_shared<ui::TableViewCell>();
    cell->textLabel().setText(server.name + " (" + server.kind + ")");
    cell->setAccessibilityLabel(server.name + ", " + server.kind + ", " + server.address);
    return cell;
}

void ExportView::fillInServer(ui::TableView& table, std::size_t row)
{
    // Copied: filling the fields may make the rows, and the list, again.
    NearbyServer server = m_nearby->servers().at(row);
    if (!m_moreInfo)
        showMoreInfo(table);
    if (!m_ipTextField || !m_nameTextField || !m_passwordTextField)
        return;
    m_ipTextField->setText(server.address);
    if (!server.user.empty())
        m_nameTextField->setText(server.user);
    (m_nameTextField->text().empty() ? m_nameTextField : m_passwordTextField)->becomeFirstResponder();
}

void ExportView::showAlert(const char* messageKey) { showMessage(localizedString(messageKey)); }

void ExportView::showMessage(const std::string& message)
{
    std::make_shared<ui::AlertView>(localizedString("Alert"), message, "OK")->show();
}

// An SSH server logs in with the person's agent or key when no password is typed.
bool ExportView::usesSshKeys(const std::string& host)
{
    auto address = net::ServerAddress::parse(host);
    return address && address->scheme == net::ServerAddress::Scheme::Sftp;
}

void ExportView::sendFileViaFTP()
{
    for (ui::TextField* field : {m_ipTextField.get(), m_nameTextField.get(), m_passwordTextField.get()}) {
        if (field)
            field->resignFirstResponder();
    }

    std::string host;
    std::string user;
    std::string password;
    if (m_moreInfo) {
        bool filled = m_ipTextField && m_nameTextField && m_passwordTextField && !m_ipTextField->text().empty()
            && !m_nameTextField->text().empty()
            && (!m_passwordTextField->text().empty() || usesSshKeys(m_ipTextField->text()));
        if (!filled) {
            showAlert("Please fill all text fields");
            m_sending = false;
            return;
        }
        host = m_ipTextField->text();
        user = m_nameTextField->text();
        password = m_passwordTextField->text();
    } else {
        if (!m_context.defaults().objectForKey(kNameKey)) {
            showAlert("Please fill all text fields");
            m_sending = false;
            return;
        }
        host = storedText(kIPAddressKey);
        user = storedText(kNameKey);
        password = m_password->stored().value_or("");
    }

    auto note = m_notes.storedNote(m_notePath);
    if (!note) {
        m_sending = false;
        auto keep = shared_from_this();
        if (on_noteGone)
            on_noteGone();
        return;
    }
    m_exportController = std::make_shared<ExportingController>(m_context);
    m_exportController->setExportView(std::static_pointer_cast<ExportView>(shared_from_this()));
    m_exportController->setTrustedKey(std::exchange(m_trustedKey, {}));
    showSendingFace(true);
    // An upload that never started leaves nothing to poll (the state seen
    // would be an earlier upload's) and Send ready for another try.
    m_sending = m_exportController->sendFile(m_notePath, host, user, password, note->name);
    if (!m_sending) {
        showAlert("File cannot be sent");
        showSendingFace(false);
        return;
    }
    std::weak_ptr<ViewController> weak = weak_from_this();
    m_timer = core::Timer::scheduledTimer(m_context.runLoop(), kStatusInterval, true, [weak](core::Timer&) {
        if (auto self = std::static_pointer_cast<ExportView>(weak.lock()))
            self->timerCheckStatusAction();
    });
    if (m_moreInfo) {
        auto& defaults = m_context.defaults();
        defaults.setObject(host, kIPAddressKey);
        defaults.setObject(user, kNameKey);
        m_password->remember(host, user, password);
    }
}

void ExportView::showSendingFace(bool sending)
{
    m_sendingFace = sending;
    m_transferring = m_transferring && sending;
    if (!m_mainCell || m_mainCell->showsSecondFace() == sending)
        return;
    if (sending)
        m_mainCell->toggleSend();
    else
        m_mainCell->toggleIcon();
}

void ExportView::stopStatusTimer()
{
    if (m_timer)
        m_timer->invalidate();
}

void ExportView::timerCheckStatusAction()
{
    if (m_exportController->checkWriteStreamStatus() == ExportingController::kTransferring && !m_transferring) {
        m_transferring = true;
        if (m_mainCell)
            m_mainCell->changeText(m_exportController->report().inClear);
    }
    if (m_exportController->checkWriteStreamStatus() == ExportingController::kClosed) {
        showSendingFace(false);
        scheduleClose();
        stopStatusTimer();
    }
    if (m_exportController->checkError()) {
        showSendingFace(false);
        stopStatusTimer();
        m_stoppedTimer = true;
        m_sending = false;
        UploadReport state = m_exportController->report();
        std::string message = state.error.value_or(core::Error{}).words;
        if (UploadFailure::asksForTrust(state))
            return askForTrust(message, state.presentedKey);
        showMessage(message);
        // The screen goes as after a sent file; the alert stays to be read.
        scheduleClose();
    }
}

void ExportView::askForTrust(const std::string& message, const std::string& key)
{
    // The close that followed the upload's end waits for the person's choice.
    if (m_timerClose)
        m_timerClose->invalidate();
    auto alert = std::make_shared<ui::AlertView>(localizedString("Alert"), message, localizedString("Cancel"),
                                                 std::vector<std::string>{localizedString("Trust")});
    std::weak_ptr<ViewController> weak = weak_from_this();
    alert->on_clickedButtonAtIndex = [weak, key](ui::ModalPanel&, int button) {
        auto self = std::static_pointer_cast<ExportView>(weak.lock());
        if (!self)
            return;
        if (button == kTrustButton) {
            self->m_trustedKey = key;
            self->m_stoppedTimer = false;
            self->sendFileViaFTP();
        } else {
            self->close();
        }
    };
    alert->show();
}

void ExportView::scheduleClose()
{
    std::weak_ptr<ViewController> weak = weak_from_this();
    m_timerClose = core::Timer::scheduledTimer(m_context.runLoop(), kCloseInterval, false, [weak](core::Timer&) {
        if (auto self = std::static_pointer_cast<ExportView>(weak.lock()))
            self->timerCloseAction();
    });
}

void ExportView::close()
{
    if (on_close)
        on_close();
}

void ExportView::timerCloseAction()
{
    close();
    if (m_timerClose)
        m_timerClose->invalidate();
}

void ExportView::cancelAction()
{
    close();
    if (!m_stoppedTimer)
        stopStatusTimer();
}

// The form keeps its height: a desktop has no keyboard on screen to make room for.
bool ExportView::textFieldShouldBeginEditing() { return true; }

bool ExportView::textFieldShouldReturn(ui::TextField& field)
{
    field.resignFirstResponder();
    return true;
}

void ExportView::netServiceBrowserDidFindService(net::NetServiceBrowser&, const net::FoundService& service, bool)
{
    if (service.name == net::NetService::ownName(m_context.network()))
        return;
    m_servicesArray.push_back(service);
    m_tableViewExport->reloadData();
}
