// Several processes change one store at once, as a script, a second
// command and the window may: every change that one of them was told
// reached the store is there, exactly once, and nothing else is.

#include "support/AudioFixture.h"
#include "support/ChildProcess.h"
#include "support/TestEnvironment.h"

#include "platform/core/FileManager.h"
#include "platform/core/PropertyListSerialization.h"
#include "platform/core/UserDefaults.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <sstream>

namespace {

constexpr int kWriters = 3;
constexpr int kRounds = 30;
constexpr int kRecorders = 3;

std::vector<std::string> linesOf(const std::string& path)
{
    std::istringstream text(core::FileManager::contentsAtPath(path).value_or(""));
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);)
        lines.push_back(line);
    return lines;
}

struct Started {
    std::unique_ptr<ChildProcess> process = std::make_unique<ChildProcess>();
    std::string output;
};

TEST(ManyWriters, EveryAcknowledgedChangeIsInTheStoreOnceAndNothingElse)
{
    TemporaryHome home;
    core::UserDefaults settings(home.settingsFile());
    settings.setInteger(8000, "SampleRate");
    ASSERT_TRUE(settings.synchronize());

    std::vector<Started> writers(kWriters);
    std::vector<Started> recorders(kRecorders);
    for (int i = 0; i < kWriters; ++i) {
        writers[i].output = home.path() + "/writer" + std::to_string(i);
        ASSERT_TRUE(writers[i].process->start({VOICENOTES_BUILD_DIR "/tests/store_writer", home.path(), "race",
                                               "w" + std::to_string(i), std::to_string(kRounds)},
                                              writers[i].output));
    }
    // Started within one second, so their first choice of name is the same.
    for (int i = 0; i < kRecorders; ++i) {
        recorders[i].output = home.path() + "/recorder" + std::to_string(i);
        ASSERT_TRUE(recorders[i].process->start(
            {VOICENOTES_BINARY, "--home", home.path(), "--audio-device", "virtual", "record", "--seconds", "1"},
            recorders[i].output));
    }
    for (auto* group : {&writers, &recorders}) {
        for (auto& started : *group)
            ASSERT_EQ(started.process->waitForExit(120), 0)
                << core::FileManager::contentsAtPath(started.output)->c_str();
    }

    // What the processes were told: the path of each note and its title,
    // or none for a note removed again.
    std::map<std::string, std::optional<std::string>> acknowledged;
    for (int i = 0; i < kWriters; ++i) {
        int saved = 0;
        for (const auto& line : linesOf(writers[i].output)) {
            std::string word = line.substr(0, line.find(' '));
            std::string path = line.substr(line.find(' ') + 1);
            std::string round = path.substr(path.find('-') + 1, path.find('.') - path.find('-') - 1);
            if (word == "saved")
                ++saved;
            if (word == "saved" || word == "renamed")
                acknowledged[path] = word == "saved" ? "?" : "w" + std::to_string(i) + " " + round;
            if (word == "removed")
                acknowledged[path] = std::nullopt;
        }
        EXPECT_EQ(saved, kRounds) << "writer " << i;
    }
    std::set<std::string> recorded;
    for (auto& started : recorders) {
        for (const auto& line : linesOf(started.output)) {
            if (line.starts_with("/") && line.ends_with(".aif"))
                recorded.insert(line);
        }
    }
    EXPECT_EQ(recorded.size(), std::size_t(kRecorders)) << "two recordings shared a file";

    auto root = core::PropertyListSerialization::propertyListFromData(
        core::FileManager::contentsAtPath(home.documents() + "/data.plist").value_or(""));
    ASSERT_TRUE(root && root->array());
    std::map<std::string, std::string> stored;
    for (const auto& note : *root->array()) {
        std::string path = *note.objectForKey("Path")->string();
        EXPECT_TRUE(stored.emplace(path, *note.objectForKey("Title")->string()).second) << path << " is there twice";
    }
    for (const auto& [path, title] : acknowledged) {
        if (!title) {
            EXPECT_FALSE(stored.count(path)) << path << " was removed but is back";
            continue;
        }
        ASSERT_TRUE(stored.count(path)) << path << " was saved but is lost";
        EXPECT_EQ(stored[path], *title) << path;
    }
    for (const auto& path : recorded) {
        EXPECT_TRUE(stored.count(path)) << path << " was recorded but is lost";
        EXPECT_GE(AudioFixture::readSamples(home.documents() + path).size(), 8000u) << path;
    }
    std::size_t kept = std::count_if(acknowledged.begin(), acknowledged.end(), [](auto& a) { return a.second; });
    EXPECT_EQ(stored.size(), kept + recorded.size()) << "the store holds notes nobody saved";
}

} // namespace
