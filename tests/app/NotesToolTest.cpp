// The command line, run as the real binary on the virtual sound device.

#include "Classes/PlistController.h"

#include "support/AudioFixture.h"
#include "support/ChildProcess.h"
#include "support/FtpServer.h"
#include "support/TestEnvironment.h"

#include "platform/core/FileManager.h"

#include <gtest/gtest.h>

namespace {

class NotesToolTest : public testing::Test {
protected:
    // Runs voicenotes with the arguments; its exit status, its output in `output`.
    int run(std::vector<std::string> arguments, const std::vector<std::string>& environment = {})
    {
        arguments.insert(arguments.begin(), {VOICENOTES_BINARY, "--home", home.path(), "--audio-device", "virtual"});
        std::string outputPath = home.path() + "/output.txt";
        ChildProcess process;
        if (!process.start(arguments, outputPath, environment))
            return -1;
        int status = process.waitForExit(60);
        output = core::FileManager::contentsAtPath(outputPath).value_or("");
        return status;
    }

    TemporaryHome home;
    std::string output;
};

TEST_F(NotesToolTest, RecordListPlayAndExportLikeTheWindow)
{
    ASSERT_EQ(run({"record", "--seconds", "1"}), 0) << output;
    ASSERT_EQ(run({"list", "--json"}), 0) << output;
    EXPECT_NE(output.find("\"length\": \"0:01\""), std::string::npos) << output;
    EXPECT_NE(output.find("\"title\": \"Note 1\""), std::string::npos) << output;
    auto note = PlistController().loadObject(0);
    ASSERT_TRUE(note);
    std::string path = *note->at(NoteKey::Path).string();
    // At least the second asked for; exactly what the file holds.
    auto packets = *note->at(NoteKey::NumPackets).integer();
    EXPECT_GE(packets, 8000);
    EXPECT_EQ(std::int64_t(AudioFixture::readSamples(home.documents() + path).size()), packets);

    EXPECT_EQ(run({"play", "0"}), 0) << output;
    EXPECT_NE(output.find("Queuing buffer 0"), std::string::npos);

    FtpServer server("voice", "Secr3t-pa55");
    std::string host = "127.0.0.1:" + std::to_string(server.port());
    EXPECT_EQ(run({"export", "0", "--host", host, "--user", "voice"}), 2) << output;
    EXPECT_EQ(run({"export", "0", "--host", host, "--user", "voice"}, {"VOICENOTES_FTP_PASSWORD=Secr3t-pa55"}), 0)
        << output;
    EXPECT_TRUE(core::FileManager::contentsAtPath(server.directory() + path)
                == core::FileManager::contentsAtPath(home.documents() + path));
    EXPECT_EQ(output.find("Secr3t-pa55"), std::string::npos);
}

// The server takes the file and then refuses it (its quota ran out): the
// command fails with the server's own words.
TEST_F(NotesToolTest, AnExportTheServerRefusesAfterTheDataFails)
{
    ASSERT_EQ(run({"record", "--seconds", "1"}), 0) << output;
    FtpServer full("voice", "Secr3t-pa55", FtpServer::Quota::Exceeded);
    ASSERT_TRUE(full.isRunning()) << full.log();
    std::string host = "127.0.0.1:" + std::to_string(full.port());
    EXPECT_EQ(run({"export", "0", "--host", host, "--user", "voice"}, {"VOICENOTES_FTP_PASSWORD=Secr3t-pa55"}), 1)
        << output;
    EXPECT_NE(output.find("voicenotes: the upload failed:"), std::string::npos) << output;
    EXPECT_NE(output.find(FtpServer::kQuotaRefusal), std::string::npos) << output;
}

TEST_F(NotesToolTest, BadArgumentsSayWhatIsMissing)
{
    EXPECT_EQ(run({"record"}), 2);
    EXPECT_NE(output.find("--seconds"), std::string::npos);
    EXPECT_EQ(run({"play", "seven"}), 2);
    EXPECT_EQ(run({"play", "7"}), 2);
    EXPECT_NE(output.find("no note 7"), std::string::npos);
    EXPECT_EQ(run({"list"}), 0);
    EXPECT_EQ(output.find('\t'), std::string::npos);

    // What a command does not take is refused with its usage, not ignored.
    EXPECT_EQ(run({"list", "--no-such-option"}), 2);
    EXPECT_NE(output.find("usage: voicenotes list [--json]"), std::string::npos) << output;
    EXPECT_EQ(run({"play", "0", "1"}), 2);
    EXPECT_NE(output.find("play does not take 1"), std::string::npos) << output;
    EXPECT_EQ(run({"record", "--seconds", "1", "--loud"}), 2);
    EXPECT_EQ(run({"list", "--json"}), 0) << output;
}

} // namespace
