#pragma once

#include "platform/net/NetServiceBrowser.h"
#include "platform/ui/TableView.h"
#include "platform/ui/ViewController.h"

#include <functional>
#include <memory>
#include <vector>

namespace core {
class Timer;
}
namespace ui {
class TextField;
}
class AppContext;
class NoteModel;
class ExportingCell;
class ExportingController;
class FtpPassword;
class NearbyServers;

// The modal screen that sends one note's audio file to an FTP server: the
// note at the top, then a form that starts as "Show FTP info" and "Send"
// and opens into address, user name and password. It polls the upload
// every 0.2 s and closes itself 1 s after the upload has ended.
class ExportView : public ui::ViewController,
                   public ui::TableViewDataSource,
                   public ui::TableViewDelegate,
                   public net::NetServiceBrowserDelegate {
public:
    static constexpr double kStatusInterval = 0.2;
    static constexpr double kCloseInterval = 1.0;
    // Under the bar, down to the screen's bottom: the footer scrolls into sight.
    static constexpr ui::Rect kTableFrame{0, 44, 320, 416};
    static constexpr ui::Rect kFieldFrame{120, 12, 175, 20};
    // On the alert about a server's certificate; 0 is Cancel.
    static constexpr int kTrustButton = 1;

    // The context outlives it.
    ExportView(AppContext& context, NoteModel& notes);
    ~ExportView() override;

    void loadView() override;
    // The form's table, not the bar above it.
    std::shared_ptr<ui::View> keyboardView() override;
    void viewDidLoad() override;

    // The note, the form, and the servers announced nearby once there are any.
    int numberOfSectionsInTableView(ui::TableView& tableView) override;
    int numberOfRowsInSection(ui::TableView& tableView, int section) override;
    std::string titleForHeaderInSection(ui::TableView& tableView, int section) override;
    std::string titleForFooterInSection(ui::TableView& tableView, int section) override;
    double heightForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& tableView,
                                                             ui::IndexPath indexPath) override;
    void didSelectRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;

    void sendFileViaFTP();
    static bool usesSshKeys(const std::string& host);
    void timerCheckStatusAction();
    void timerCloseAction();
    void cancelAction();
    bool textFieldShouldBeginEditing();
    bool textFieldShouldReturn(ui::TextField& field);

    void netServiceBrowserDidFindService(net::NetServiceBrowser& browser, const net::FoundService& service,
                                         bool moreComing) override;
    // Looks for machines announcing the export service, and for servers
    // announcing SFTP or WebDAV, while the screen lives.
    void startSearching();
    // What was found of the latter: the rows of the last section.
    const NearbyServers& nearbyServers() const { return *m_nearby; }

    ui::TableView& tableViewExport() const { return *m_tableViewExport; }
    // Set by whoever shows the screen: the note went meanwhile; the screen
    // is done and goes.
    std::function<void()> on_noteGone;
    std::function<void()> on_close;
    const std::vector<net::FoundService>& servicesArray() const { return m_servicesArray; }
    std::size_t noteID() const { return m_noteID; }
    void setNoteID(std::size_t noteID) { m_noteID = noteID; }
    // The note sent: found again by its audio file when Send is pressed.
    void setNotePath(std::string path) { m_notePath = std::move(path); }
    const std::string& notePath() const { return m_notePath; }
    const std::shared_ptr<ExportingController>& exportController() const { return m_exportController; }
    void setExportController(std::shared_ptr<ExportingController> controller);
    const std::shared_ptr<core::Timer>& timer() const { return m_timer; }
    const std::shared_ptr<core::Timer>& timerClose() const { return m_timerClose; }
    ExportingCell* mainCell() const { return m_mainCell.get(); }
    ui::TextField* ipTextField() const { return m_ipTextField.get(); }
    ui::TextField* nameTextField() const { return m_nameTextField.get(); }
    ui::TextField* passwordTextField() const { return m_passwordTextField.get(); }
    int rows() const { return m_rows; }
    bool moreInfo() const { return m_moreInfo; }
    bool sending() const { return m_sending; }
    bool stoppedTimer() const { return m_stoppedTimer; }

private:
    std::string storedText(const char* key) const;
    std::string footerText() const;
    std::shared_ptr<ui::TableViewCell> makeFormCell(const char* textKey, bool centred);
    // Puts the field (made on first use, with the remembered text) into
    // the cell; whether it was made now.
    bool placeField(ui::TableViewCell& cell, std::shared_ptr<ui::TextField>& field, const char* defaultsKey);
    // The note's face follows the upload: sending while one is under way.
    void showSendingFace(bool sending);
    // Opens the form into address, user name and password.
    void showMoreInfo(ui::TableView& table);
    // A server chosen from those nearby: its address (and the user name it
    // suggests) in the form, the keyboard on what is left to type.
    void fillInServer(ui::TableView& table, std::size_t row);
    std::shared_ptr<ui::TableViewCell> makeServerCell(std::size_t row);
    void makePasswordRow(ui::TableViewCell& cell);
    void showAlert(const char* messageKey);
    void showMessage(const std::string& message);
    // The server's certificate is not vouched for, or not the one trusted:
    // Trust sends again pinning its key, Cancel closes the screen.
    void askForTrust(const std::string& message, const std::string& key);
    void close();
    // Closes the screen a moment after the upload ended, well or not.
    void scheduleClose();
    void stopStatusTimer();

    AppContext& m_context;
    NoteModel& m_notes;
    std::shared_ptr<ui::TableView> m_tableViewExport;
    std::vector<net::FoundService> m_servicesArray;
    std::shared_ptr<core::Timer> m_timer;
    std::shared_ptr<core::Timer> m_timerClose;
    std::size_t m_noteID = 0;
    std::string m_notePath;
    std::shared_ptr<ui::TextField> m_ipTextField;
    std::shared_ptr<ui::TextField> m_nameTextField;
    std::shared_ptr<ui::TextField> m_passwordTextField;
    std::shared_ptr<ExportingController> m_exportController;
    int m_rows = 2;
    // The form's footer as the table last asked for it.
    std::string m_shownFooter;
    std::shared_ptr<ExportingCell> m_mainCell;
    bool m_stoppedTimer = false;
    bool m_moreInfo = false;
    bool m_sending = false;
    bool m_sendingFace = false;
    bool m_transferring = false;
    // The key the person just trusted, for the send it starts.
    std::string m_trustedKey;
    std::unique_ptr<net::NetServiceBrowser> m_browser;
    std::unique_ptr<FtpPassword> m_password;
    std::unique_ptr<NearbyServers> m_nearby;
};
