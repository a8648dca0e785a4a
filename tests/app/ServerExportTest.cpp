// `voicenotes export` to real SSH and WebDAV servers on 127.0.0.1: what
// arrives, what is trusted, and what the person is told when it fails.

#include "NotesToolFixture.h"

#include "support/SshServer.h"
#include "support/WebDavServer.h"

#include <chrono>
#include <filesystem>
#include <sys/stat.h>
#include <thread>

namespace {

class ServerExportTest : public NotesToolFixture {
protected:
    void SetUp() override { ASSERT_EQ(run({"record", "--seconds", "1"}), 0) << output; }

    int send(const std::string& host, const std::string& user, const std::string& password,
             const std::string& trust = {})
    {
        std::vector<std::string> arguments{"export", "0", "--host", host, "--user", user};
        if (!trust.empty())
            arguments.insert(arguments.end(), {"--trust", trust});
        return run(arguments, {"VOICENOTES_FTP_PASSWORD=" + password});
    }
    bool says(const std::string& text) const { return output.find(text) != std::string::npos; }
    std::string recording() const
    {
        auto note = testStore().loadObject(0);
        return note ? *note->at(NoteKey::Path).string() : std::string();
    }
    std::string recorded() const
    {
        return core::FileManager::contentsAtPath(home.documents() + recording()).value_or("(none)");
    }
    std::string onServer(const std::string& folder, const std::string& suffix = "") const
    {
        std::string name = recording().substr(1);
        name.insert(name.rfind('.'), suffix);
        return core::FileManager::contentsAtPath(folder + "/" + name).value_or("(missing)");
    }
    std::string sshDirectory() const { return home.path() + "/.ssh"; }
    // The note, grown to this size without storing anything (sparse).
    bool growNote(off_t size) const { return ::truncate((home.documents() + recording()).c_str(), size) == 0; }
    // Sends a note of 2 GB (sparse, so nothing is stored here) and, once
    // a file appears in the server's folder, stops the server where it is
    // and kills it: the upload is mid-way whatever the machine's speed.
    template <class Server>
    int sendAndKill(Server& server, const std::string& host, const std::string& user, const std::string& password,
                    const std::string& watched)
    {
        if (!growNote(off_t(2) << 30))
            return -1;
        ChildProcess process;
        if (!process.start({VOICENOTES_BINARY, "--home", home.path(), "export", "0", "--host", host, "--user", user},
                           outputPath(), {"VOICENOTES_FTP_PASSWORD=" + password}))
            return -1;
        bool appeared = false;
        for (int i = 0; i < 30000 && !appeared && process.isRunning(); ++i) {
            std::error_code error;
            for (const auto& entry : std::filesystem::recursive_directory_iterator(watched, error))
                appeared = appeared || entry.is_regular_file();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        server.freeze();
        server.kill();
        int status = process.waitForExit(60);
        output = core::FileManager::contentsAtPath(outputPath()).value_or("");
        return appeared ? status : -1;
    }
    bool knowHost(const SshServer& server) const
    {
        return core::FileManager::createDirectoryAtPath(sshDirectory())
            && core::FileManager::writeAtomically(sshDirectory() + "/known_hosts", server.knownHostsLine());
    }
};

// An unknown host key is shown, trusted once, pinned; a changed one is
// refused; the known hosts vouch for a key of their own; a key logs in.
TEST_F(ServerExportTest, SftpTrustsOnlyTheHostKeyThePersonKnows)
{
    SshServer server;
    ASSERT_TRUE(server.isRunning()) << server.log();
    std::string key = server.hostKeyFingerprint();
    ASSERT_TRUE(key.starts_with("SHA256:")) << key;

    EXPECT_EQ(send(server.address(), SshServer::kUser, SshServer::kPassword), 1);
    EXPECT_TRUE(says("The SSH host key of 127.0.0.1:")) << output;
    EXPECT_TRUE(says("is not among your known hosts: ED25519 key " + key + ".")) << output;
    EXPECT_TRUE(says("send again with --trust " + key)) << output;
    EXPECT_EQ(onServer(server.directory()), "(missing)");

    ASSERT_EQ(send(server.address(), SshServer::kUser, SshServer::kPassword, key), 0) << output;
    EXPECT_EQ(onServer(server.directory()), recorded());
    struct stat status { };
    ASSERT_EQ(::stat((server.directory() + recording()).c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);

    // Pinned now; the name taken, the note's gets "-2" and nothing is replaced.
    ASSERT_EQ(send(server.address(), SshServer::kUser, SshServer::kPassword), 0) << output;
    EXPECT_TRUE(says("sent as " + recording().substr(1, recording().size() - 5) + "-2.aif")) << output;
    EXPECT_EQ(onServer(server.directory(), "-2"), recorded());

    EXPECT_EQ(send(server.address(), SshServer::kUser, "wrong"), 1);
    EXPECT_TRUE(says("refused the user name or password")) << output;
    EXPECT_EQ(send(server.address() + "/none", SshServer::kUser, SshServer::kPassword), 1);
    EXPECT_TRUE(says("The folder \"" + server.directory().substr(1) + "/none\" cannot be entered")) << output;

    ASSERT_TRUE(server.restartWithNewHostKey()) << server.log();
    std::string changed = server.hostKeyFingerprint();
    EXPECT_EQ(send(server.address(), SshServer::kUser, SshServer::kPassword), 1);
    EXPECT_TRUE(says("is not the one known for it: it is now ED25519 key " + changed + ".")) << output;
    EXPECT_EQ(onServer(server.directory(), "-3"), "(missing)");

    // The person's own known hosts vouch for it, and a key logs in
    // without a password.
    ASSERT_TRUE(server.authorizeClientKey(sshDirectory()));
    ASSERT_TRUE(knowHost(server));
    ASSERT_EQ(send(server.address(), SshServer::kUser, ""), 0) << output << server.log();
    EXPECT_EQ(onServer(server.directory(), "-3"), recorded());
}

TEST_F(ServerExportTest, SftpSaysWhenTheServerHasNoRoomOrGoes)
{
    SshServer small(8);
    ASSERT_TRUE(small.isRunning()) << small.log();
    ASSERT_TRUE(knowHost(small));
    EXPECT_EQ(send(small.address(), SshServer::kUser, SshServer::kPassword), 1);
    EXPECT_TRUE(says("has no room for the file: only 0 KiB are free there")) << output;

    SshServer server;
    ASSERT_TRUE(knowHost(server));
    EXPECT_EQ(sendAndKill(server, server.address(), SshServer::kUser, SshServer::kPassword, server.directory()), 1);
    EXPECT_TRUE(says("broke before the file was complete")) << output;
}

struct DavCase {
    WebDavServer::Software software;
    const char* name;
};

class WebDavExportTest : public ServerExportTest, public testing::WithParamInterface<DavCase> {
protected:
    WebDavServer::Options options(bool tls = true) const { return {GetParam().software, tls}; }
};

// A certificate no authority vouches for is shown and trusted once; plain
// HTTP is said to be in clear; a taken name gets "-2"; failures say why.
TEST_P(WebDavExportTest, SendsOverHttpsAndHttpAndSaysWhyNot)
{
    WebDavServer server(options());
    ASSERT_TRUE(server.isRunning()) << server.log();
    EXPECT_EQ(send(server.address(), WebDavServer::kUser, WebDavServer::kPassword), 1);
    EXPECT_TRUE(says("is not vouched for by an authority this computer trusts. Its key's fingerprint is "
                     + server.keyFingerprint()))
        << output;
    ASSERT_EQ(send(server.address(), WebDavServer::kUser, WebDavServer::kPassword, server.keyFingerprint()), 0)
        << output << server.log();
    EXPECT_EQ(onServer(server.directory()), recorded());
    ASSERT_EQ(send(server.address(), WebDavServer::kUser, WebDavServer::kPassword), 0) << output;
    EXPECT_EQ(onServer(server.directory(), "-2"), recorded());

    EXPECT_EQ(send(server.address(), WebDavServer::kUser, "wrong"), 1);
    EXPECT_TRUE(says("refused the user name or password")) << output;
    EXPECT_EQ(send(server.address() + "none/", WebDavServer::kUser, WebDavServer::kPassword), 1);
    EXPECT_TRUE(says("The folder \"notes/none\" cannot be entered")) << output;

    WebDavServer plain(options(false));
    ASSERT_TRUE(plain.isRunning()) << plain.log();
    ASSERT_EQ(send(plain.address(), WebDavServer::kUser, WebDavServer::kPassword), 0) << output;
    EXPECT_TRUE(says("sent, not encrypted")) << output;
    EXPECT_EQ(onServer(plain.directory()), recorded());
}

// A server that answers "201 Created" before it has the whole file (far
// more than the sockets hold) has not got it.
TEST_F(ServerExportTest, AWebDavServersAnswerBeforeTheLastByteIsNoSuccess)
{
    LoopbackServer hasty("voicenotes-hasty");
    ASSERT_TRUE(hasty.start(
        {"/usr/bin/python3", VOICENOTES_TEST_SCRIPTS "/hasty_webdav_server.py", std::to_string(hasty.port())}))
        << hasty.output();
    ASSERT_TRUE(growNote(off_t(64) << 20));
    EXPECT_EQ(send("http://127.0.0.1:" + std::to_string(hasty.port()) + "/notes/", "voice", "x"), 1);
    EXPECT_TRUE(says("broke before the file was complete")) << output;
    EXPECT_FALSE(says("closed")) << output;
}

INSTANTIATE_TEST_SUITE_P(Servers, WebDavExportTest,
                         testing::Values(DavCase{WebDavServer::Software::Apache, "Apache"},
                                         DavCase{WebDavServer::Software::Nginx, "Nginx"}),
                         [](const auto& info) { return info.param.name; });

// Apache on a full disk answers 507; nginx refuses a body too large with 413.
TEST_F(ServerExportTest, WebDavSaysWhenTheServerRefusesTheFile)
{
    WebDavServer full({WebDavServer::Software::Apache, false, 8});
    ASSERT_TRUE(full.isRunning()) << full.log();
    EXPECT_EQ(send(full.address(), WebDavServer::kUser, WebDavServer::kPassword), 1);
    EXPECT_TRUE(says("has no room for the file: 507")) << output;

    WebDavServer strict({WebDavServer::Software::Nginx, false, 0, 1});
    ASSERT_TRUE(strict.isRunning()) << strict.log();
    EXPECT_EQ(send(strict.address(), WebDavServer::kUser, WebDavServer::kPassword), 1);
    EXPECT_TRUE(says("refused the file: 413")) << output;

    // Apache writes what comes into a file in the folder as it arrives.
    WebDavServer server({WebDavServer::Software::Apache, false});
    EXPECT_EQ(sendAndKill(server, server.address(), WebDavServer::kUser, WebDavServer::kPassword, server.directory()),
              1);
    EXPECT_TRUE(says("broke before the file was complete")) << output;
}

} // namespace
