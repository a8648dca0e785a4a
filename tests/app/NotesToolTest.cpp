// The command line, run as the real binary on the virtual sound device.

#include "Classes/PlistController.h"
#include "NotesToolFixture.h"
#include "support/NotePathAt.h"

#include "support/AudioFixture.h"
#include "support/ChildProcess.h"
#include "support/FtpServer.h"
#include "support/PulseServer.h"
#include "support/TestEnvironment.h"

#include "platform/core/FileManager.h"
#include "platform/core/UserDefaults.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>

namespace {

using NotesToolTest = NotesToolFixture;

TEST_F(NotesToolTest, RecordListPlayAndExportLikeTheWindow)
{
    ASSERT_EQ(run({"record", "--seconds", "1"}), 0) << output;
    ASSERT_EQ(run({"list", "--json"}), 0) << output;
    EXPECT_NE(output.find("\"length\": \"0:01\""), std::string::npos) << output;
    EXPECT_NE(output.find("\"title\": \"Note 1\""), std::string::npos) << output;
    auto note = testStore().loadObject(0);
    ASSERT_TRUE(note);
    std::string path = *note->at(NoteKey::Path).string();
    // At least the second asked for; exactly what the file holds.
    auto packets = *note->at(NoteKey::NumPackets).integer();
    EXPECT_GE(packets, 8000);
    EXPECT_EQ(std::int64_t(AudioFixture::readSamples(home.documents() + path).size()), packets);

    EXPECT_EQ(run({"play", "0"}), 0) << output;
    EXPECT_NE(output.find("Queuing buffer 0"), std::string::npos);

    // A name is one line, and one another program wrote over several is
    // listed on one all the same.
    testStore().editObjectWithPath(notePathAt(testStore(), 0), "Buy\tmilk\nnow", "NO");
    EXPECT_EQ(*testStore().loadObject(0)->at(NoteKey::Title).string(), "Buy milk now");
    std::string store = home.documents() + "/data.plist";
    auto xml = core::FileManager::contentsAtPath(store).value_or("");
    xml.replace(xml.find("Buy milk now"), 12, "Buy\tmilk\\now\n");
    ASSERT_TRUE(core::FileManager::writeAtomically(store, xml));
    ASSERT_EQ(run({"list"}), 0) << output;
    EXPECT_TRUE(output.starts_with("0\tBuy\\tmilk\\\\now\\n\t20")) << output;
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << output;

    FtpServer server("voice", "Secr3t-pa55");
    std::string host = "127.0.0.1:" + std::to_string(server.port());
    EXPECT_EQ(run({"export", "0", "--host", host, "--user", "voice"}), 2) << output;
    EXPECT_EQ(run({"export", "0", "--host", host, "--user", "voice"}, {"VOICENOTES_FTP_PASSWORD=Secr3t-pa55"}), 0)
        << output;
    EXPECT_TRUE(core::FileManager::contentsAtPath(server.directory() + path)
                == core::FileManager::contentsAtPath(home.documents() + path));
    EXPECT_EQ(output.find("Secr3t-pa55"), std::string::npos);

    // A search lists the notes found under the index the other commands take.
    ASSERT_EQ(run({"record", "--seconds", "1"}), 0) << output;
    ASSERT_EQ(run({"list", "--search", "MILK buy"}), 0) << output;
    EXPECT_TRUE(output.starts_with("1\tBuy")) << output;
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << output;
    EXPECT_EQ(run({"list", "--search"}), 2) << output;
}

// The server takes the file and then refuses it (its disk is full): the
// command fails with the server's own words.
TEST_F(NotesToolTest, AnExportTheServerRefusesAfterTheDataFails)
{
    ASSERT_EQ(run({"record", "--seconds", "1"}), 0) << output;
    FtpServer full("voice", "Secr3t-pa55", FtpServer::Quota::DiskFull);
    ASSERT_TRUE(full.isRunning()) << full.log();
    std::string host = "127.0.0.1:" + std::to_string(full.port());
    EXPECT_EQ(run({"export", "0", "--host", host, "--user", "voice"}, {"VOICENOTES_FTP_PASSWORD=Secr3t-pa55"}), 1)
        << output;
    EXPECT_NE(output.find("voicenotes: The server at " + host + " refused the file: "), std::string::npos) << output;
    EXPECT_NE(output.find(FtpServer::kDiskFullRefusal), std::string::npos) << output;
}

// Every sample of the note is heard, at each rate: the queued rest of a
// note plays out before the command ends, and a note shorter than the
// first three buffers is heard too.
// The command line takes the window's decisions: a certificate nobody
// vouches for is shown and refused, trusted with --trust, pinned then.
TEST_F(NotesToolTest, AServersKeyIsTrustedWithTrustAndPinned)
{
    ASSERT_EQ(run({"record", "--seconds", "1"}), 0) << output;
    FtpServer nas({FtpServer::Software::Vsftpd, FtpServer::Encryption::Required});
    ASSERT_TRUE(nas.isRunning()) << nas.log();
    const std::vector<std::string> exportIt = {"export", "0", "--host", nas.host(), "--user", nas.user()};
    const std::vector<std::string> password = {"VOICENOTES_FTP_PASSWORD=" + nas.password()};
    auto with = [&](std::vector<std::string> extra) {
        extra.insert(extra.begin(), exportIt.begin(), exportIt.end());
        return run(extra, password);
    };

    EXPECT_EQ(run(exportIt, password), 1) << output;
    EXPECT_NE(output.find("voicenotes: The certificate of " + nas.host() + " is not vouched for"), std::string::npos)
        << output;
    EXPECT_NE(output.find("send again with --trust " + nas.keyFingerprint()), std::string::npos) << output;
    EXPECT_EQ(with({"--trust", "SHA256:not-a-key"}), 2) << output;
    // Trusted under another name: known by the address reached too.
    std::string byName = "localhost:" + std::to_string(nas.port());
    EXPECT_EQ(run({"export", "0", "--host", byName, "--user", nas.user(), "--trust", nas.keyFingerprint()}, password),
              0)
        << output;
    EXPECT_EQ(run(exportIt, password), 0) << output;
    EXPECT_EQ(output.find(nas.password()), std::string::npos);

    ASSERT_TRUE(nas.restart(FtpServer::Encryption::Required)) << nas.log();
    EXPECT_EQ(run(exportIt, password), 1) << output;
    EXPECT_NE(output.find("is not the one you trusted: its key's fingerprint is now " + nas.keyFingerprint()),
              std::string::npos)
        << output;
}

// A certificate that verifies, an encrypted login, no encryption for the file: nothing is sent.
TEST_F(NotesToolTest, AFileIsNeverSentInClearAfterAnEncryptedLogin)
{
    ASSERT_EQ(run({"record", "--seconds", "1"}), 0) << output;
    FtpServer halfway({FtpServer::Software::Pyftpdlib, FtpServer::Encryption::Halfway, "voice", "Secr3t-pa55"});
    // Its certificate is the system's list of authorities, in a mount namespace.
    std::string vouched = "mount --bind \"$0\" /etc/ssl/certs/ca-certificates.crt && exec \"$@\"";
    EXPECT_EQ(run({"export", "0", "--host", halfway.host(), "--user", "voice"}, {"VOICENOTES_FTP_PASSWORD=Secr3t-pa55"},
                  {"/usr/bin/unshare", "--mount", "/bin/sh", "-c", vouched, halfway.certificatePath()}),
              1);
    EXPECT_NE(output.find("will not encrypt the file, so it was not sent. The server answered: 536"), output.npos);
    EXPECT_EQ(halfway.log().find("<- STOR"), std::string::npos) << halfway.log();
}

// Nothing listens: said at once, with the address, rather than after a poll.
TEST_F(NotesToolTest, AnExportToNoServerSaysSo)
{
    ASSERT_EQ(run({"record", "--seconds", "1"}), 0) << output;
    FtpServer gone;
    std::string host = gone.host();
    gone.kill();
    EXPECT_EQ(run({"export", "0", "--host", host, "--user", "voice"}, {"VOICENOTES_FTP_PASSWORD=x"}), 1) << output;
    EXPECT_NE(output.find("voicenotes: No server answers at " + host + "."), std::string::npos) << output;

    // A server that answers nonsense is said to, in the application's words.
    FtpServer confused({.encryption = FtpServer::Encryption::Confused});
    EXPECT_EQ(run({"export", "0", "--host", confused.host(), "--user", "voice"}, {"VOICENOTES_FTP_PASSWORD=notes"}), 1);
    EXPECT_NE(output.find("voicenotes: The upload to " + confused.host()
                          + " failed: the server's answers did not follow the FTP protocol"),
              std::string::npos)
        << output;
}

TEST_F(NotesToolTest, PlayGoesOnUntilTheLastSampleIsHeard)
{
    for (auto [rate, count] : {std::pair{8000, 3000}, std::pair{22050, 30000}, std::pair{44100, 50000}}) {
        addNote(rate, count);
        std::string wav = home.path() + "/heard" + std::to_string(rate) + ".wav";
        ASSERT_EQ(run({"play", "0"}, {"VOICENOTES_VIRTUAL_OUTPUT=" + wav}), 0) << output;
        int heardRate = 0;
        auto heard = AudioFixture::readSamples(wav, &heardRate);
        while (!heard.empty() && heard.back() == 0)
            heard.pop_back();
        std::vector<std::int16_t> expected(std::size_t(count), 0);
        for (std::size_t i = 0; i < expected.size(); ++i)
            expected[i] = AudioFixture::ramp(i);
        EXPECT_EQ(heardRate, rate);
        EXPECT_EQ(heard.size(), expected.size()) << rate;
        EXPECT_TRUE(heard == expected) << rate;
    }
}

// The sound server dies mid-note: the command ends and says so.
TEST_F(NotesToolTest, APlaybackWhoseSoundServerDiesEndsWithAMessage)
{
    addNote(8000, 80000);
    ChildProcess process;
    // The first refill: the device has taken a buffer.
    killTheSoundServerAt(process, {"play", "0"}, "Queuing buffer 6000");
    EXPECT_EQ(process.waitForExit(60), 1);
    output = core::FileManager::contentsAtPath(outputPath()).value_or("");
    EXPECT_NE(output.find("voicenotes: the sound output went away after "), std::string::npos) << output;
    // PortAudio's own complaints come through the log, not raw.
    EXPECT_EQ(output.find("\nExpression '"), std::string::npos) << output;
}

// The microphone goes mid-recording: the note keeps the audio there is,
// with its true length, and the command says so.
TEST_F(NotesToolTest, ARecordingWhoseSoundServerDiesKeepsWhatItHas)
{
    ChildProcess process;
    killTheSoundServerAt(process, {"record", "--seconds", "600"}, "Writing buffer 8000");
    EXPECT_EQ(process.waitForExit(60), 1);
    output = core::FileManager::contentsAtPath(outputPath()).value_or("");
    EXPECT_NE(output.find("voicenotes: the sound input went away"), std::string::npos) << output;
    auto note = testStore().loadObject(0);
    ASSERT_TRUE(note) << output;
    auto samples = AudioFixture::readSamples(home.documents() + *note->at(NoteKey::Path).string());
    EXPECT_GE(samples.size(), 16000u);
    EXPECT_EQ(*note->at(NoteKey::NumPackets).integer(), std::int64_t(samples.size()));
    EXPECT_EQ(NoteField::lengthText(*note), "0:0" + std::to_string(samples.size() / 8000));
}

// What a stranger may leave in Documents: nothing blocks, and a store that
// cannot be read is said to be so and left exactly as it is.
TEST_F(NotesToolTest, FilesThatAreNoRegularFilesNeitherBlockNorGetTheStoreRewritten)
{
    ASSERT_EQ(run({"record", "--seconds", "1"}), 0) << output;
    std::string store = home.documents() + "/data.plist";
    ASSERT_EQ(::mkfifo((home.documents() + "/waiting.aif").c_str(), 0600), 0);
    EXPECT_EQ(run({"record", "--seconds", "1"}), 0) << output;
    EXPECT_EQ(run({"list"}), 0) << output;
    EXPECT_NE(output.find("Note 2"), std::string::npos) << output;

    std::size_t recordings = 2;
    for (bool fifo : {true, false}) {
        ASSERT_TRUE(std::filesystem::remove_all(store) > 0);
        ASSERT_TRUE(fifo ? ::mkfifo(store.c_str(), 0600) == 0 : std::filesystem::create_directory(store));
        for (const auto& command : std::vector<std::vector<std::string>>{{"list"}, {"record", "--seconds", "1"}}) {
            EXPECT_EQ(run(command), 1) << output;
            EXPECT_NE(output.find("The file data.plist could not be read: it is not a regular file"), std::string::npos)
                << output;
            EXPECT_EQ(fifo, std::filesystem::is_fifo(store));
        }
        EXPECT_NE(output.find("the note could not be stored"), std::string::npos) << output;
        ++recordings;
        // Nothing was taken for a note no store names, nor set aside.
        std::size_t entries = 0;
        for (const auto& entry : std::filesystem::directory_iterator(home.documents()))
            entries += !entry.path().filename().string().starts_with("data.plist.unreadable") ? 1 : 100;
        EXPECT_EQ(entries, 3 + recordings) << "the store, its lock, a FIFO and the recordings";
    }
}

int modeOf(const std::string& path)
{
    struct stat status = {};
    return ::lstat(path.c_str(), &status) == 0 ? int(status.st_mode & 07777) : -1;
}

TEST_F(NotesToolTest, NotesArePrivateWhateverTheUmaskAndAStrangersLockIsNotUsed)
{
    // As an earlier version left them: open to everybody.
    std::string folder = home.path() + "/.local/share/voicenotes";
    std::string lock = home.documents() + "/data.plist.lock";
    ASSERT_TRUE(core::FileManager::createDirectoryAtPath(home.documents()));
    ASSERT_EQ(::chmod(folder.c_str(), 0755) | ::chmod(home.documents().c_str(), 0755), 0);
    ASSERT_TRUE(core::FileManager::writeAtomically(lock, ""));
    ASSERT_EQ(::chmod(lock.c_str(), 0644), 0);
    mode_t umask = ::umask(0);
    int status = run({"record", "--seconds", "1"});
    ::umask(umask);
    ASSERT_EQ(status, 0) << output;
    auto recordings = home.audioFiles();
    ASSERT_EQ(recordings.size(), 1u);
    for (const auto& [path, mode] :
         std::vector<std::pair<std::string, int>>{{folder, 0700},
                                                  {home.documents(), 0700},
                                                  {lock, 0600},
                                                  {home.documents() + "/data.plist", 0600},
                                                  {recordings[0], 0600},
                                                  {home.path() + "/.config/voicenotes", 0700},
                                                  {home.settingsFile(), 0600}})
        EXPECT_EQ(modeOf(path), mode) << path;

    // Whoever can open the lock file can hold up every change: another
    // user's is refused at once, not waited on.
    ASSERT_EQ(::chown(lock.c_str(), 65534, 65534), 0);
    EXPECT_EQ(run({"record", "--seconds", "1"}), 1) << output;
    EXPECT_NE(output.find("data.plist.lock belongs to another user and is not used"), std::string::npos) << output;
    EXPECT_EQ(output.find("held"), std::string::npos) << output;
}

TEST_F(NotesToolTest, RecordKeepsTheSecondsAskedForToTheFrameAndPrintsOnlyItsFile)
{
    // The device's buffers (8000 frames) do not divide a second at 22050 Hz.
    core::UserDefaults settings(home.settingsFile());
    settings.setInteger(22050, "SampleRate");
    ASSERT_TRUE(settings.synchronize());
    ChildProcess process;
    ASSERT_TRUE(process.start({"/bin/sh", "-c",
                               std::string("exec \"$0\" --home \"$1\" --audio-device virtual record --seconds 1 "
                                           "2>/dev/null"),
                               VOICENOTES_BINARY, home.path()},
                              outputPath()));
    ASSERT_EQ(process.waitForExit(60), 0);
    auto note = testStore().loadObject(0);
    ASSERT_TRUE(note);
    std::string path = *note->at(NoteKey::Path).string();
    EXPECT_EQ(core::FileManager::contentsAtPath(outputPath()), path + "\n");
    EXPECT_EQ(*note->at(NoteKey::NumPackets).integer(), 22050);
    EXPECT_EQ(AudioFixture::readSamples(home.documents() + path).size(), 22050u);
}

TEST_F(NotesToolTest, BadArgumentsSayWhatIsMissing)
{
    EXPECT_EQ(run({"record"}), 2);
    EXPECT_NE(output.find("--seconds"), std::string::npos);
    // Numbers are numbers, within range.
    for (const char* seconds : {"1x", "0", "-1", "99999999999", " 1"})
        EXPECT_EQ(run({"record", "--seconds", seconds}), 2) << seconds;
    EXPECT_TRUE(home.audioFiles().empty());
    EXPECT_EQ(run({"play", "seven"}), 2);
    EXPECT_EQ(run({"play", "99999999999999999999999"}), 2);
    EXPECT_EQ(output.find("18446744073709551615"), std::string::npos) << output;
    EXPECT_EQ(run({"play", "7"}), 2);
    EXPECT_NE(output.find("no note 7"), std::string::npos);
    // No command of that name is no window either; the toolkit's options
    // go with any command.
    for (const char* word : {"lsit", "delete"}) {
        EXPECT_EQ(run({word, "0"}, {"QT_QPA_PLATFORM="}), 2) << word;
        EXPECT_NE(output.find("unknown command " + std::string(word)), std::string::npos) << output;
        EXPECT_NE(output.find("record --seconds N"), std::string::npos) << output;
    }
    EXPECT_EQ(run({"-platform", "offscreen", "list"}), 0) << output;
    EXPECT_EQ(run({"list"}), 0);
    EXPECT_EQ(output.find('\t'), std::string::npos);

    // What a command does not take is refused with its usage, not ignored.
    EXPECT_EQ(run({"list", "--no-such-option"}), 2);
    EXPECT_NE(output.find("usage: voicenotes list [--search WORDS] [--json]"), std::string::npos) << output;
    EXPECT_EQ(run({"play", "0", "1"}), 2);
    EXPECT_NE(output.find("play does not take 1"), std::string::npos) << output;
    EXPECT_EQ(run({"record", "--seconds", "1", "--loud"}), 2);
    EXPECT_EQ(run({"list", "--json"}), 0) << output;
    EXPECT_EQ(run({"export", "0", "--host", "nas.local:99999", "--user", "u"}), 2);
    EXPECT_NE(output.find("--host nas.local:99999 is no FTP address"), std::string::npos) << output;
}

} // namespace
