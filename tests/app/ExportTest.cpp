// Sending notes to a real FTP server on 127.0.0.1 through the real
// controllers, as a user does it from a note's details.

#include "Classes/AppDelegate.h"
#include "Classes/ExportingController.h"
#include "Classes/FtpUploader.h"
#include "Classes/NearbyServers.h"
#include "Classes/PlistController.h"
#include "Classes/RootViewController.h"
#include "Classes/TableNavigationController.h"
#include "DetailController.h"
#include "ExportView.h"
#include "ExportingCell.h"
#include "RecordingViewController.h"
#include "TableViewController.h"
#include "TestContext.h"

#include "AppFixture.h"
#include "support/ChildProcess.h"
#include "support/FtpServer.h"
#include "support/SshServer.h"

#include "platform/core/FileManager.h"
#include "platform/core/Log.h"
#include "platform/core/Paths.h"
#include "platform/core/Timer.h"
#include "platform/core/UserDefaults.h"
#include "platform/net/FileReadStream.h"
#include "platform/net/FtpWriteStream.h"
#include "platform/net/NetService.h"
#include "platform/net/NetServiceBrowser.h"
#include "platform/net/ServerAddress.h"
#include "platform/net/ServiceResolver.h"
#include "platform/net/URL.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Window.h"

#include <QPixmap>
#include <QWidget>

#include <algorithm>
#include <arpa/inet.h>
#include <array>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using core::UserDefaults;

namespace {

class ExportTest : public AppFixture {
protected:
    // A note whose file holds `size` bytes of a known pattern.
    std::string addNote(std::size_t size, const std::string& name = "/20261207101500.aif")
    {
        std::string bytes(size, '\0');
        for (std::size_t i = 0; i < size; ++i)
            bytes[i] = char(i * 31 % 251);
        EXPECT_TRUE(core::FileManager::writeAtomically(home.documents() + name, bytes));
        testStore().saveObject(0, 1, name, size / 2);
        return bytes;
    }
    void launch() { AppFixture::launch(2); }
    // Opens the note's details and presses Export.
    ExportView& openExport()
    {
        browser().tableViewController()->tableView().tapAccessoryButtonForRowAtIndexPath({0, 0});
        clock.advance(1);
        return exportAgain();
    }
    // Export again from the details still shown.
    ExportView& exportAgain()
    {
        dynamic_cast<DetailController&>(*browser().topViewController()).exportAction();
        clock.advance(1);
        return *browser().exportView();
    }
    void tap(ExportView& screen, int row) { screen.tableViewExport().selectRowAtIndexPath({1, row}); }
    void fillIn(ExportView& screen, const std::string& host, const std::string& user, const std::string& password)
    {
        tap(screen, 0);
        screen.ipTextField()->setText(host);
        screen.nameTextField()->setText(user);
        screen.passwordTextField()->setText(password);
    }
    std::string address() const { return "127.0.0.1:" + std::to_string(server.port()); }
    // The section titles the table shows.
    static std::string shownTitles(const ui::View& table)
    {
        std::string texts;
        for (const auto& view : table.subviews()) {
            if (auto* label = dynamic_cast<const ui::Label*>(view.get()))
                texts += label->text() + "\n";
        }
        return texts;
    }
    bool shown() { return browser().modalViewController() != nullptr; }
    std::string onServer(const std::string& name) const
    {
        return core::FileManager::contentsAtPath(server.directory() + "/" + name).value_or("(missing)");
    }
    static std::vector<std::string> alertMessages()
    {
        std::vector<std::string> messages;
        for (auto& alert : alerts())
            messages.push_back(alert->message());
        return messages;
    }

    // A password no other log line could contain by chance.
    FtpServer server{"voice", "Secr3t-pa55"};
};

TEST_F(ExportTest, ARecordingArrivesByteForByteAndTheScreenClosesItself)
{
    launch();
    browser().tableViewController()->navigationItem().rightBarButtonItem()->trigger();
    clock.advance(3);
    delegate->rootViewController()->recordingViewController()->SaveAction();
    clock.advance(1);
    std::string path = *testStore().loadObject(0)->at(NoteKey::Path).string();

    auto& screen = openExport();
    EXPECT_TRUE(shown());
    EXPECT_EQ(screen.tableViewExport().numberOfRowsInSection(1), 2);
    screenshot("export");
    tap(screen, 1);
    EXPECT_EQ(alertMessages(), std::vector<std::string>{"Please fill in all the fields."});
    EXPECT_FALSE(screen.sending());
    ui::ModalPanel::visiblePanels()[0]->dismissWithClickedButtonIndex(0, false);

    fillIn(screen, address(), server.user(), server.password());
    EXPECT_EQ(screen.tableViewExport().numberOfRowsInSection(1), 4);
    clock.advance(0.5);
    screenshot("export-form");
    tap(screen, 3);
    EXPECT_TRUE(screen.sending());
    EXPECT_TRUE(screen.mainCell()->showsSecondFace());
    ASSERT_TRUE(clock.runUntil([&] { return !shown(); }));
    std::string recorded = *core::FileManager::contentsAtPath(home.documents() + path);
    // The server may still be writing what it was sent when the screen closes.
    EXPECT_TRUE(clock.runUntil([&] { return onServer(path.substr(1)) == recorded; }));
    EXPECT_TRUE(alertMessages().empty());

    // The password never reaches the log; the rest of the address does.
    EXPECT_EQ(log.count(server.password()), 0);
    EXPECT_EQ(log.count("ftp://" + server.user() + ":****@" + address() + path), 1);
    // Every picture the screen showed was the note's own.
    EXPECT_EQ(log.count("is not in the application's resources"), 0);

    // Remembered: the next export sends from the short form.
    EXPECT_EQ(testContext().defaults().objectForKey("FTP Name"), server.user());
    ASSERT_TRUE(core::FileManager::removeItemAtPath(server.directory() + path));
    auto& again = exportAgain();
    tap(again, 1);
    ASSERT_TRUE(clock.runUntil([&] { return !shown(); }));
    EXPECT_TRUE(clock.runUntil([&] { return onServer(path.substr(1)) == recorded; }));
}

TEST_F(ExportTest, BufferSizedEmptyAndPartlyTakenWrites)
{
    addNote(32768, "/exact.aif");
    addNote(0, "/empty.aif");
    launch();
    ExportingController engine(testContext());
    EXPECT_EQ(engine.checkWriteStreamStatus(), ExportingController::kNoStream);

    ASSERT_TRUE(engine.sendFile("/exact.aif", address(), server.user(), server.password(), "Note"));
    ASSERT_TRUE(clock.runUntil([&] { return engine.checkWriteStreamStatus() == ExportingController::kClosed; }));
    EXPECT_EQ(log.count("\rRead   32768 bytes; Wrote    32768 bytes"), 1);
    EXPECT_EQ(log.count("\rRead"), 1);
    EXPECT_EQ(log.count("\nEnd up uploaded file; closing down\n"), 1);
    ASSERT_TRUE(clock.runUntil([&] { return onServer("exact.aif").size() == 32768; }));

    ASSERT_TRUE(engine.sendFile("/empty.aif", address(), server.user(), server.password(), "Note"));
    ASSERT_TRUE(clock.runUntil([&] { return log.count("\nEnd up uploaded file; closing down\n") == 2; }));
    EXPECT_EQ(log.count("\rRead"), 1);
    EXPECT_FALSE(engine.checkError());
}

// More than the stream's buffer holds: writes it takes only in part send
// their remainder first, and the file arrives byte for byte.
TEST_F(ExportTest, AFileLargerThanTheStreamsBufferArrivesByteForByte)
{
    std::string bytes = addNote(3 * net::FtpWriteStream::kBufferCapacity + 777, "/long.aif");
    launch();
    ExportingController engine(testContext());
    ASSERT_TRUE(engine.sendFile("/long.aif", address(), server.user(), server.password(), "Note"));
    ASSERT_TRUE(clock.runUntil([&] { return engine.checkWriteStreamStatus() == ExportingController::kClosed; }));
    EXPECT_FALSE(engine.checkError());
    EXPECT_TRUE(onServer("long.aif") == bytes);
}

TEST_F(ExportTest, AWrongPasswordIsReportedOnceAndTheScreenStillCloses)
{
    addNote(5000);
    launch();
    auto& screen = openExport();
    fillIn(screen, address(), server.user(), "wrong");
    tap(screen, 3);
    EXPECT_TRUE(screen.sending());
    ASSERT_TRUE(clock.runUntil([&] { return !alertMessages().empty(); }));
    EXPECT_EQ(alertMessages(),
              std::vector<std::string>{"The server at " + address() + " refused the user name or password."});
    EXPECT_TRUE(screen.stoppedTimer());
    EXPECT_FALSE(screen.sending());
    EXPECT_GE(log.count("an error occured"), 1);
    // Remembered all the same: the send had started.
    EXPECT_EQ(testContext().defaults().objectForKey("FTP Pass"), std::string("wrong"));
    ASSERT_TRUE(clock.runUntil([&] { return !shown(); }));
    EXPECT_FALSE(screen.exportController()->checkError());
}

TEST_F(ExportTest, NoServerAndAServerThatDiesMidTransfer)
{
    addNote(64 << 20, "/big.aif");
    addNote(5000, "/small.aif");
    launch();
    ExportingController engine(testContext());
    // A failed upload is never Closed: the poll sees the error, once.
    auto failedOnce = [&] {
        EXPECT_NE(engine.checkWriteStreamStatus(), ExportingController::kClosed);
        return engine.checkError();
    };
    ASSERT_TRUE(engine.sendFile("/small.aif", "127.0.0.1:1", "user", "pass", "Note"));
    ASSERT_TRUE(clock.runUntil(failedOnce));
    EXPECT_FALSE(engine.checkError());
    EXPECT_EQ(engine.checkWriteStreamStatus(), ExportingController::kNoStream);

    ASSERT_TRUE(engine.sendFile("/big.aif", address(), server.user(), server.password(), "Note"));
    ASSERT_TRUE(clock.runUntil([&] { return engine.checkWriteStreamStatus() == ExportingController::kTransferring; }));
    ASSERT_TRUE(clock.runUntil([&] { return log.count("\rRead") > 10; }));
    server.kill();
    ASSERT_TRUE(clock.runUntil(failedOnce));
}

// An upload given up on for another (Cancel, then a new send) may fail
// later; that is its own error, not the new upload's.
TEST_F(ExportTest, AnEarlierUploadsLaterFailureIsNotTheNewOnes)
{
    addNote(64 << 20, "/big.aif");
    addNote(5000, "/small.aif");
    launch();
    FtpServer dying(server.user(), server.password());
    ExportingController engine(testContext());
    ASSERT_TRUE(engine.sendFile("/big.aif", "127.0.0.1:" + std::to_string(dying.port()), dying.user(), dying.password(),
                                "Note"));
    ASSERT_TRUE(clock.runUntil([&] { return log.count("\rRead") > 10; }));
    ASSERT_TRUE(engine.sendFile("/small.aif", address(), server.user(), server.password(), "Note"));
    dying.kill();
    ASSERT_TRUE(clock.runUntil([&] { return log.count("FTP upload to") == 1; }));
    ASSERT_TRUE(clock.runUntil([&] { return engine.checkWriteStreamStatus() == ExportingController::kClosed; }));
    EXPECT_FALSE(engine.checkError());
    EXPECT_EQ(onServer("small.aif").size(), 5000u);
}

// A server whose quota ran out takes the whole file, then refuses it: the
// screen shows the error and stays, never taking the way of a sent file.
class RefusingServerTest : public ExportTest {
protected:
    void sendAndExpectTheError(std::size_t size)
    {
        FtpServer full(server.user(), server.password(), FtpServer::Quota::Exceeded);
        ASSERT_TRUE(full.isRunning()) << full.log();
        addNote(size);
        launch();
        auto& screen = openExport();
        fillIn(screen, "127.0.0.1:" + std::to_string(full.port()), full.user(), full.password());
        tap(screen, 3);
        ASSERT_TRUE(clock.runUntil([&] { return !alertMessages().empty(); })) << full.log();
        ASSERT_EQ(alertMessages().size(), 1u);
        EXPECT_TRUE(alertMessages()[0].starts_with("The server at 127.0.0.1:" + std::to_string(full.port())
                                                   + " refused the file: "))
            << alertMessages()[0];
        EXPECT_NE(alertMessages()[0].find(FtpServer::kQuotaRefusal), std::string::npos);
        EXPECT_TRUE(screen.stoppedTimer());
        auto said = log.lines(core::Log::Channel::StandardOutput);
        EXPECT_EQ(std::count(said.begin(), said.end(), "closed"), 0);
        EXPECT_EQ(log.count(FtpServer::kQuotaRefusal), 1);
    }
};

TEST_F(RefusingServerTest, ANoteWithinTheUploadBuffer) { sendAndExpectTheError(5000); }

TEST_F(RefusingServerTest, ANoteBeyondTheUploadBuffer)
{
    sendAndExpectTheError(net::FtpWriteStream::kBufferCapacity * 3);
}

// A server that takes the connection and never says a word.
class SilentServer {
public:
    SilentServer()
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        m_socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        bool listening = m_socket >= 0 && ::bind(m_socket, reinterpret_cast<sockaddr*>(&address), length) == 0
            && ::listen(m_socket, 4) == 0
            && ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length) == 0;
        m_port = listening ? ntohs(address.sin_port) : 0;
    }
    ~SilentServer() { ::close(m_socket); }
    int port() const { return m_port; }

private:
    int m_socket;
    int m_port;
};

TEST_F(ExportTest, AServerThatNeverAnswersEndsInTheAlertAndTheScreenStillResponds)
{
    addNote(5000);
    SilentServer silent;
    ASSERT_NE(silent.port(), 0);
    launch();
    auto& screen = openExport();
    fillIn(screen, "127.0.0.1:" + std::to_string(silent.port()), server.user(), server.password());
    tap(screen, 3);
    ASSERT_TRUE(clock.runUntil([&] { return !alertMessages().empty(); }, 40));
    EXPECT_EQ(alertMessages(),
              std::vector<std::string>{"The server at 127.0.0.1:" + std::to_string(silent.port())
                                       + " stopped answering. The file was not sent."});
    EXPECT_EQ(log.count(server.password()), 0);
    ui::ModalPanel::closeAll();
    ASSERT_TRUE(clock.runUntil([&] { return !shown(); }));
}

TEST_F(ExportTest, CancelLetsTheUploadFinishAndASecondSendIsIgnored)
{
    std::string bytes = addNote(8 << 20);
    launch();
    auto& screen = openExport();
    fillIn(screen, address(), server.user(), server.password());
    tap(screen, 3);
    tap(screen, 3);
    EXPECT_EQ(log.count("ftp://"), 1);
    clock.advance(0.8);
    screenshot("export-sending");
    screen.navigationItem().leftBarButtonItem()->trigger();
    EXPECT_FALSE(screen.timer()->isValid());
    ASSERT_TRUE(clock.runUntil([&] { return onServer("20261207101500.aif") == bytes; }));
    EXPECT_FALSE(shown());
}

TEST_F(ExportTest, FieldsThatWouldChangeTheCommandsNeverReachTheServer)
{
    addNote(5000);
    ASSERT_TRUE(core::FileManager::writeAtomically(server.directory() + "/keep.txt", "kept"));
    launch();
    const std::string user = server.user(), password = server.password(), host = address();
    const std::vector<std::array<std::string, 3>> attempts = {
        {host, user + "\r\nDELE keep.txt", password},
        {host, user, password + "\r\nDELE keep.txt"},
        {host, user + "\nDELE keep.txt", password},
        {host, user, password + "\rDELE keep.txt"},
        {host, user + std::string(1, '\0') + "x", password},
        {host, user, password + "\t\x1b\x7f"},
        {host + "\r\nDELE keep.txt", user, password},
        {host + "/../..", user, password},
        {host + "/a/./b", user, password},
        {"127.0.0.1 " + host, user, password},
        {"[::1", user, password},
        {host + ":21", user, password},
        {"127.0.0.1:65536", user, password},
    };
    openExport().cancelAction();
    for (const auto& [host, user, password] : attempts) {
        auto& screen = exportAgain();
        fillIn(screen, host, user, password);
        tap(screen, 3);
        EXPECT_EQ(alertMessages(), std::vector<std::string>{"The file cannot be sent."})
            << host << " / " << user << " / " << password;
        ui::ModalPanel::closeAll();
        screen.cancelAction();
        clock.advance(1);
    }
    EXPECT_EQ(onServer("keep.txt"), "kept");
    EXPECT_FALSE(testContext().defaults().objectForKey("FTP Name"));
}

// A login like an e-mail address and a password of every printable
// character log in as typed; the log shows the port, not the password.
TEST_F(ExportTest, AnyPrintableUserNameAndPasswordLogIn)
{
    std::string printable;
    for (char c = ' '; c <= '~'; ++c)
        printable += c;
    FtpServer typed({FtpServer::Software::Pyftpdlib, FtpServer::Encryption::None, "vn@example.com", printable});
    ASSERT_TRUE(typed.isRunning()) << typed.log();
    std::string bytes = addNote(5000);
    launch();
    auto& screen = openExport();
    fillIn(screen, typed.host(), typed.user(), typed.password());
    tap(screen, 3);
    ASSERT_TRUE(clock.runUntil([&] { return !shown(); }));
    EXPECT_TRUE(alertMessages().empty());
    EXPECT_TRUE(clock.runUntil(
        [&] { return core::FileManager::contentsAtPath(typed.directory() + "/20261207101500.aif") == bytes; }));
    EXPECT_EQ(log.count(printable), 0);
    EXPECT_EQ(log.count("ftp://vn%40example.com:****@" + typed.host() + "/20261207101500.aif"), 1);
}

// An IPv6 address with its port, and a folder under the login directory:
// the file goes there; a folder that is not there is said so, not made.
TEST_F(ExportTest, AnIPv6AddressWithAPortAndAFolder)
{
    FtpServer v6({FtpServer::Software::Pyftpdlib, FtpServer::Encryption::None, "voice", "Secr3t-pa55",
                  FtpServer::Quota::Room, true});
    ASSERT_TRUE(v6.isRunning()) << v6.log();
    ASSERT_TRUE(std::filesystem::create_directories(v6.directory() + "/notes/2026"));
    std::string bytes = addNote(5000);
    launch();
    auto& screen = openExport();
    fillIn(screen, v6.host() + "/notes/2026", v6.user(), v6.password());
    tap(screen, 3);
    ASSERT_TRUE(clock.runUntil([&] { return !shown(); }));
    EXPECT_TRUE(alertMessages().empty());
    EXPECT_TRUE(clock.runUntil(
        [&] { return core::FileManager::contentsAtPath(v6.directory() + "/notes/2026/20261207101500.aif") == bytes; }));

    auto& again = exportAgain();
    fillIn(again, v6.host() + "/missing", v6.user(), v6.password());
    tap(again, 3);
    ASSERT_TRUE(clock.runUntil([&] { return !alertMessages().empty(); }));
    EXPECT_EQ(alertMessages(),
              std::vector<std::string>{"The folder \"missing\" cannot be entered on " + v6.host()
                                       + ": it does not exist or is not yours. Folders are not "
                                         "created."});
    EXPECT_FALSE(std::filesystem::exists(v6.directory() + "/missing"));
}

// A self-signed certificate is shown once with its key; trusted, the key
// is pinned: the next sends go without asking, another key is refused
// (and may be trusted anew), and the server is never used in clear again.
TEST_F(ExportTest, AServersCertificateIsTrustedOnceThenPinned)
{
    FtpServer nas({FtpServer::Software::Pyftpdlib, FtpServer::Encryption::Offered, "voice", "Secr3t-pa55"});
    ASSERT_TRUE(nas.isRunning()) << nas.log();
    std::string bytes = addNote(5000);
    launch();
    const std::string file = nas.directory() + "/20261207101500.aif";
    auto trustAlert = [&] {
        EXPECT_TRUE(clock.runUntil([&] { return !alerts().empty(); }));
        auto shownAlerts = alerts();
        return shownAlerts.empty() ? nullptr : shownAlerts.front();
    };

    auto& screen = openExport();
    fillIn(screen, nas.host(), nas.user(), nas.password());
    tap(screen, 3);
    auto alert = trustAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->buttonTitles(), (std::vector<std::string>{"Cancel", "Trust"}));
    EXPECT_NE(alert->message().find(nas.keyFingerprint()), std::string::npos) << alert->message();
    EXPECT_NE(alert->message().find("is not vouched for"), std::string::npos) << alert->message();
    EXPECT_FALSE(std::filesystem::exists(file));
    // The question waits for the answer; the screen does not close under it.
    clock.advance(5);
    EXPECT_TRUE(shown());
    alert->dismissWithClickedButtonIndex(1, false);
    ASSERT_TRUE(clock.runUntil([&] { return !shown(); }));
    EXPECT_TRUE(clock.runUntil([&] { return core::FileManager::contentsAtPath(file) == bytes; }));
    EXPECT_EQ(testContext().defaults().objectForKey("FTP Security/" + nas.host()), nas.keyFingerprint());

    ASSERT_TRUE(core::FileManager::removeItemAtPath(file));
    tap(exportAgain(), 1);
    ASSERT_TRUE(clock.runUntil([&] { return !shown(); }));
    EXPECT_TRUE(alerts().empty());
    EXPECT_TRUE(clock.runUntil([&] { return core::FileManager::contentsAtPath(file) == bytes; }));

    ASSERT_TRUE(core::FileManager::removeItemAtPath(file));
    std::string trusted = nas.keyFingerprint();
    ASSERT_TRUE(nas.restart(FtpServer::Encryption::Offered)) << nas.log();
    tap(exportAgain(), 1);
    alert = trustAlert();
    ASSERT_TRUE(alert);
    EXPECT_NE(alert->message().find("is not the one you trusted"), std::string::npos) << alert->message();
    EXPECT_NE(alert->message().find(nas.keyFingerprint()), std::string::npos) << alert->message();
    alert->dismissWithClickedButtonIndex(0, false);
    ASSERT_TRUE(clock.runUntil([&] { return !shown(); }));
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(testContext().defaults().objectForKey("FTP Security/" + nas.host()), trusted);

    ASSERT_TRUE(nas.restart(FtpServer::Encryption::None)) << nas.log();
    tap(exportAgain(), 1);
    ASSERT_TRUE(clock.runUntil([&] { return !alertMessages().empty(); }));
    EXPECT_EQ(alertMessages(),
              std::vector<std::string>{nas.host()
                                       + " used encryption before and now offers none. Nothing was "
                                         "sent, so the password did not go in clear."});
    EXPECT_EQ(nas.log().find("<- USER"), std::string::npos) << nas.log();
}

// Every read after the first chunk fails: the upload is broken off, never completed short, and said so.
TEST_F(ExportTest, AFileThatCannotBeReadMidUploadIsNeverCompletedShort)
{
    FtpServer vsftpd({FtpServer::Software::Vsftpd});
    addNote(std::size_t(3) * 1024 * 1024);
    launch();
    fillIn(openExport(), vsftpd.host(), vsftpd.user(), vsftpd.password());
    core::Log::setSink([this](core::Log::Channel, std::string_view text) {
        auto* upload = dynamic_cast<FtpUploader*>(browser().exportView()->exportController()->upload());
        if (text.find("; Wrote") != std::string_view::npos && upload && upload->readStream())
            upload->readStream()->close();
    });
    tap(*browser().exportView(), 3);
    ASSERT_TRUE(
        clock.runUntil([&] { return !alertMessages().empty() && vsftpd.log().find("UPLOAD:") != std::string::npos; }));
    EXPECT_NE(vsftpd.log().find("FAIL UPLOAD: "), std::string::npos) << vsftpd.log();
    EXPECT_TRUE(alertMessages()[0].starts_with("The note's audio file could not be read")) << alertMessages()[0];
}

// Without TLS (though a line of its login reply starts "234-") a server still takes the file, said to go in clear.
TEST_F(ExportTest, AServerWithoutEncryptionIsSaidToBeSo)
{
    FtpServer boasting({FtpServer::Software::Pyftpdlib, FtpServer::Encryption::Boasting, "voice", "Secr3t-pa55"});
    addNote(5000);
    launch();
    auto& screen = openExport();
    EXPECT_EQ(screen.titleForFooterInSection(screen.tableViewExport(), 1).find("Not encrypted"), std::string::npos);
    fillIn(screen, boasting.host(), boasting.user(), boasting.password());
    tap(screen, 3);
    ASSERT_TRUE(clock.runUntil([&] { return !shown(); }));
    EXPECT_TRUE(alertMessages().empty());
    // The footer follows the address as it is typed, not the one saved.
    auto& again = exportAgain();
    auto warned = [&] { return shownTitles(again.tableViewExport()).find("Not encrypted") != std::string::npos; };
    EXPECT_TRUE(warned());
    tap(again, 0);
    again.ipTextField()->setText(address());
    EXPECT_FALSE(warned());
    again.ipTextField()->setText(boasting.host());
    EXPECT_TRUE(warned());
    // Between the bar and the screen's bottom, so no footer line is out of reach.
    ui::Rect table = again.tableViewExport().frame();
    EXPECT_GE(table.y, ui::NavigationBar::kHeight);
    EXPECT_LE(table.y + table.height, again.view()->frame().height);
}

// An SSH server: no password needed with a key, the unknown host key asked
// about once, and a plain http:// address said to be in clear as it is typed.
TEST_F(ExportTest, AnSshServersHostKeyIsAskedAboutOnceAndAKeyLogsIn)
{
    SshServer nas;
    ASSERT_TRUE(nas.isRunning()) << nas.log();
    ASSERT_TRUE(nas.authorizeClientKey(core::Paths::sshDirectory()));
    std::string bytes = addNote(5000);
    launch();
    auto& screen = openExport();
    fillIn(screen, nas.address(), SshServer::kUser, "");
    tap(screen, 3);
    ASSERT_TRUE(clock.runUntil([&] { return !alerts().empty(); }));
    auto alert = alerts().front();
    EXPECT_EQ(alert->buttonTitles(), (std::vector<std::string>{"Cancel", "Trust"}));
    EXPECT_NE(alert->message().find("is not among your known hosts: ED25519 key " + nas.hostKeyFingerprint()),
              std::string::npos)
        << alert->message();
    alert->dismissWithClickedButtonIndex(1, false);
    ASSERT_TRUE(clock.runUntil([&] { return !shown(); }));
    const std::string file = nas.directory() + "/20261207101500";
    EXPECT_TRUE(clock.runUntil([&] { return core::FileManager::contentsAtPath(file + ".aif") == bytes; }));

    // From the short form, with the key pinned: kept beside the first.
    tap(exportAgain(), 1);
    ASSERT_TRUE(clock.runUntil([&] { return !shown(); }));
    EXPECT_TRUE(alerts().empty());
    EXPECT_TRUE(clock.runUntil([&] { return core::FileManager::contentsAtPath(file + "-2.aif") == bytes; }));

    auto& again = exportAgain();
    tap(again, 0);
    again.ipTextField()->setText("http://127.0.0.1:1/dav/");
    EXPECT_NE(shownTitles(again.tableViewExport()).find("an http:// address sends"), std::string::npos);
}

// No keyring runs in the tests' session: the form says where the password goes.
TEST_F(ExportTest, WithoutAKeyringTheFormSaysThePasswordIsInTheSettingsFile)
{
    addNote(5000);
    launch();
    auto& screen = openExport();
    EXPECT_NE(screen.titleForFooterInSection(screen.tableViewExport(), 1).find("kept in the settings file"),
              std::string::npos);
}

TEST_F(ExportTest, AMissingAudioFileCannotBeSent)
{
    addNote(5000);
    ASSERT_TRUE(core::FileManager::removeItemAtPath(home.documents() + "/20261207101500.aif"));
    launch();
    auto& screen = openExport();
    fillIn(screen, address(), server.user(), server.password());
    tap(screen, 3);
    EXPECT_EQ(alertMessages(), std::vector<std::string>{"The file cannot be sent."});
    EXPECT_FALSE(screen.mainCell()->showsSecondFace());
    // Nothing is under way: no status is polled, and Send can be pressed again.
    EXPECT_FALSE(screen.sending());
    EXPECT_FALSE(screen.timer() && screen.timer()->isValid());
    ui::ModalPanel::visiblePanels()[0]->dismissWithClickedButtonIndex(0, false);
    tap(screen, 3);
    EXPECT_EQ(alertMessages(), std::vector<std::string>{"The file cannot be sent."});
    clock.advance(2);
    EXPECT_TRUE(shown());
}

// What stands in Documents under the note's name is not its recording:
// a link to a file elsewhere, a folder, a FIFO that would block the read.
class NotARecordingTest : public ExportTest, public testing::WithParamInterface<std::string> { };

TEST_P(NotARecordingTest, IsNotSent)
{
    addNote(5000);
    std::string recording = home.documents() + "/20261207101500.aif";
    ASSERT_TRUE(core::FileManager::removeItemAtPath(recording));
    ASSERT_TRUE(core::FileManager::writeAtomically(home.path() + "/secret.txt", "not for the server"));
    if (GetParam() == "Link")
        std::filesystem::create_symlink(home.path() + "/secret.txt", recording);
    else if (GetParam() == "Folder")
        ASSERT_TRUE(core::FileManager::createDirectoryAtPath(recording));
    else
        ASSERT_EQ(::mkfifo(recording.c_str(), 0600), 0);
    launch();
    auto& screen = openExport();
    fillIn(screen, address(), server.user(), server.password());
    tap(screen, 3);
    EXPECT_EQ(alertMessages(), std::vector<std::string>{"The file cannot be sent."});
    clock.advance(2);
    EXPECT_EQ(onServer("20261207101500.aif"), "(missing)");
}

INSTANTIATE_TEST_SUITE_P(Kinds, NotARecordingTest, testing::Values("Link", "Folder", "Fifo"));

} // namespace

namespace {

// A machine found on the network makes the rows again: what was typed
// stays, and the note keeps its sending face for as long as the upload
// goes on; the face goes back when the upload fails.
TEST_F(ExportTest, AServiceFoundMidUploadKeepsWhatWasTypedAndTheUploadsFace)
{
    addNote(5000);
    launch();
    auto& screen = openExport();
    fillIn(screen, address(), server.user(), server.password());
    server.freeze();
    tap(screen, 3);
    ASSERT_TRUE(screen.mainCell()->showsSecondFace());
    screen.ipTextField()->setText("192.0.2.7");
    screen.nameTextField()->becomeFirstResponder();
    screen.nameTextField()->setText("typed, not stored");

    net::NetServiceBrowser browser(testContext().network());
    screen.netServiceBrowserDidFindService(browser, {"Kitchen", "_exportNote._tcp", "local.", false}, false);
    EXPECT_EQ(screen.ipTextField()->text(), "192.0.2.7");
    EXPECT_EQ(screen.nameTextField()->text(), "typed, not stored");
    EXPECT_EQ(screen.passwordTextField()->text(), server.password());
    EXPECT_TRUE(screen.nameTextField()->isFirstResponder());
    ASSERT_TRUE(screen.mainCell()->showsSecondFace());
    EXPECT_EQ(screen.mainCell()->sendingLabel()->text(), "Connecting");

    server.kill();
    ASSERT_TRUE(clock.runUntil([&] { return !alertMessages().empty(); }));
    EXPECT_FALSE(screen.mainCell()->showsSecondFace());
}

TEST_F(ExportTest, TheScreenCollectsOtherMachinesButNotThisOne)
{
    // Named for this process: the same test under another display may run beside it.
    const std::string kitchenName = "Kitchen " + std::to_string(::getpid());
    ChildProcess kitchen;
    ASSERT_TRUE(kitchen.start({"/usr/bin/avahi-publish", "-s", kitchenName, "_exportNote._tcp", "1234"}));
    addNote(5000);
    launch();
    root().enableBonjour();
    ASSERT_TRUE(clock.runUntil([&] { return log.count("Published") == 1; }));

    auto& screen = openExport();
    auto found = [&](const std::string& name) {
        for (const auto& service : screen.servicesArray()) {
            if (service.name == name)
                return true;
        }
        return false;
    };
    ASSERT_TRUE(clock.runUntil([&] { return found(kitchenName); }));
    // Give our own announcement the same chance to arrive; it is left out.
    clock.advance(2);
    EXPECT_FALSE(found(net::NetService::ownName(testContext().network())));
}

// A server announced nearby is listed, fills the form when chosen and
// takes the note; one whose announcement names no folder is left out, and
// one that withdraws its announcement leaves the list.
TEST_F(ExportTest, AServerAnnouncedNearbyFillsTheFormAndTakesTheNote)
{
    SshServer nas;
    ASSERT_TRUE(nas.isRunning()) << nas.log();
    const std::string pid = std::to_string(::getpid());
    const std::string host = "vn-nas-" + pid + ".local";
    ChildProcess hostRecord;
    ChildProcess announcement;
    ChildProcess hostile;
    ASSERT_TRUE(hostRecord.start({"/usr/bin/avahi-publish", "-a", "-R", host, "127.0.0.1"}));
    ASSERT_TRUE(announcement.start({"/usr/bin/avahi-publish", "-s", "-H", host, "NAS " + pid, "_sftp-ssh._tcp",
                                    std::to_string(nas.port()), "path=" + nas.directory(),
                                    std::string("u=") + SshServer::kUser}));
    ASSERT_TRUE(hostile.start(
        {"/usr/bin/avahi-publish", "-s", "-H", host, "Climber " + pid, "_webdav._tcp", "80", "path=/dav/../../etc"}));
    std::string bytes = addNote(5000);
    launch();
    auto& screen = openExport();
    auto row = [&](const std::string& prefix) {
        const auto& servers = screen.nearbyServers().servers();
        auto found = std::ranges::find_if(servers, [&](const NearbyServer& s) { return s.name.starts_with(prefix); });
        return found == servers.end() ? -1 : int(found - servers.begin());
    };
    ASSERT_TRUE(clock.runUntil([&] { return row("NAS " + pid) >= 0; }));
    auto& table = screen.tableViewExport();
    EXPECT_EQ(screen.numberOfSectionsInTableView(table), 3);
    EXPECT_EQ(screen.titleForHeaderInSection(table, 2), "Servers on this network");
    // Give the other announcement the same time to be resolved; it is left out.
    clock.advance(2);
    EXPECT_EQ(row("Climber"), -1);

    table.scrollToRowAtIndexPath({2, row("NAS " + pid)}, ui::TableViewScrollPosition::Bottom, false);
    screenshot("export-nearby");
    table.selectRowAtIndexPath({2, row("NAS " + pid)});
    ASSERT_TRUE(screen.moreInfo());
    EXPECT_EQ(screen.ipTextField()->text(), "sftp://127.0.0.1:" + std::to_string(nas.port()) + nas.directory() + "/");
    EXPECT_EQ(screen.nameTextField()->text(), SshServer::kUser);
    EXPECT_TRUE(screen.passwordTextField()->isFirstResponder());
    screen.passwordTextField()->setText(SshServer::kPassword);
    tap(screen, 3);
    ASSERT_TRUE(clock.runUntil([&] { return !alerts().empty(); }));
    alerts().front()->dismissWithClickedButtonIndex(ExportView::kTrustButton, false);
    EXPECT_TRUE(clock.runUntil(
        [&] { return core::FileManager::contentsAtPath(nas.directory() + "/20261207101500.aif") == bytes; }));

    auto& again = exportAgain();
    ASSERT_TRUE(clock.runUntil([&] { return again.nearbyServers().servers().size() > 0; }));
    announcement.stop(SIGTERM);
    EXPECT_TRUE(clock.runUntil([&] {
        return std::ranges::none_of(again.nearbyServers().servers(),
                                    [&](const NearbyServer& s) { return s.name == "NAS " + pid; });
    }));
}

// What a server on the network says of itself becomes an address only
// when it is one: a lying path is refused, not passed on.
TEST(NearbyServersTest, AnAnnouncementBecomesAnAddressOnlyWhenItIsOne)
{
    auto serverOf = [](const std::string& type, const std::string& address, int port,
                       std::map<std::string, std::string> txt) {
        net::ResolvedService service{
            {"Files\nat\thome", type, "local", false}, "nas.local", address, port, std::move(txt)};
        return NearbyServers::serverOf(service);
    };
    auto sftp = serverOf("_sftp-ssh._tcp", "192.168.1.5", 22, {});
    ASSERT_TRUE(sftp);
    EXPECT_EQ(sftp->address, "sftp://192.168.1.5/~/");
    EXPECT_EQ(sftp->name, "Filesathome");
    EXPECT_EQ(sftp->kind, "SFTP");

    auto dav = serverOf("_webdavs._tcp", "fd00::7", 8443, {{"path", "/remote.php/dav/files/ann 100%"}, {"u", "ann"}});
    ASSERT_TRUE(dav);
    EXPECT_EQ(dav->address, "https://[fd00::7]:8443/remote.php/dav/files/ann 100%25/");
    EXPECT_EQ(net::ServerAddress::parse(dav->address)->folder, "remote.php/dav/files/ann 100%");
    EXPECT_EQ(dav->user, "ann");

    EXPECT_EQ(serverOf("_webdav._tcp", "192.168.1.9", 80, {{"path", "dav"}, {"u", "ann\nroot"}})->address,
              "http://192.168.1.9/dav/");
    EXPECT_EQ(serverOf("_webdav._tcp", "192.168.1.9", 80, {{"u", "ann\nroot"}})->user, "");
    EXPECT_FALSE(serverOf("_webdav._tcp", "192.168.1.9", 80, {{"path", "/a/../../etc"}}));
    EXPECT_FALSE(serverOf("_webdav._tcp", "192.168.1.9", 80, {{"path", "/a\rb"}}));
    EXPECT_FALSE(serverOf("_afpovertcp._tcp", "192.168.1.9", 548, {}));
}

} // namespace
