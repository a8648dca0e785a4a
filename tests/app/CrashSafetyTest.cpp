// A writer killed at random moments never leaves a store that loses or
// splits a note.

#include "support/ChildProcess.h"
#include "support/TestEnvironment.h"

#include "platform/core/FileManager.h"
#include "platform/core/PropertyListSerialization.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <random>
#include <sstream>
#include <thread>

using core::PropertyList;

namespace {

constexpr int kKills = 200;

// The number of the last write the writer reported finished; 0 for none.
long lastAcknowledged(const std::string& output)
{
    std::istringstream lines(output);
    std::string line;
    long last = 0;
    while (std::getline(lines, line)) {
        // A line still being written may have only part of its number.
        if (line.starts_with("wrote ") && !lines.eof())
            last = std::atol(line.c_str() + 6);
    }
    return last;
}

// Why the record is not a whole note as the writer makes them; empty when it is.
std::string flawIn(const PropertyList& note)
{
    const PropertyList::Dictionary* record = note.dictionary();
    if (!record)
        return "a note is not a dictionary";
    auto value = [&](const char* key) { return note.objectForKey(key); };
    for (const char* key : {"Title", "Path", "Icon"}) {
        if (!value(key) || !value(key)->string())
            return std::string("no text under ") + key;
    }
    for (const char* key : {"NoteID", "numPackets", "SampleRate"}) {
        if (!value(key) || !value(key)->integer())
            return std::string("no number under ") + key;
    }
    if (!value("Date") || !value("Date")->date())
        return "no date";
    if (!value("Lengh") || !value("Lengh")->array() || value("Lengh")->array()->size() != 2)
        return "no length";
    auto info = record->find("Info");
    if (info == record->end())
        return {};
    const std::string* text = info->second.string();
    long write = text ? std::atol(text->c_str()) : 0;
    std::string whole = std::to_string(write) + ":" + std::string(4000, char('a' + write % 26));
    return text && *text == whole ? std::string() : "a note's text is not whole";
}

// The highest write number among the notes' texts.
long newestTextWrite(const PropertyList::Array& notes)
{
    long newest = 0;
    for (const auto& note : notes) {
        const PropertyList* info = note.objectForKey("Info");
        if (info && info->string())
            newest = std::max(newest, std::atol(info->string()->c_str()));
    }
    return newest;
}

TEST(CrashSafety, AStoreWriterKilledAtRandomMomentsLeavesOnlyWholeNotes)
{
    TemporaryHome home;
    std::mt19937 random(20261207);
    std::string outputPath = home.path() + "/writer.out";
    long writes = 0;
    int killedMidWrite = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        ChildProcess writer;
        // Each writer numbers its writes on from the last one's, starting
        // with a change of a text.
        long first = kill * 1000L + 1;
        ASSERT_TRUE(
            writer.start({VOICENOTES_BUILD_DIR "/tests/store_writer", home.path(), std::to_string(first)}, outputPath));
        long wanted = first + std::uniform_int_distribution<long>(0, 3)(random);
        std::string output;
        for (int poll = 0; poll < 100000 && lastAcknowledged(output) < wanted && writer.isRunning(); ++poll) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            output = core::FileManager::contentsAtPath(outputPath).value_or("");
        }
        ASSERT_GE(lastAcknowledged(output), wanted) << output;
        std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<int>(0, 4000)(random)));
        writer.stop(SIGKILL);
        output = core::FileManager::contentsAtPath(outputPath).value_or("");
        long acknowledged = lastAcknowledged(output);
        writes += acknowledged - first + 1;

        auto store = core::PropertyListSerialization::propertyListFromData(
            core::FileManager::contentsAtPath(home.documents() + "/data.plist").value_or(""));
        ASSERT_TRUE(store && store->array()) << "after kill " << kill;
        for (const auto& note : *store->array())
            ASSERT_EQ(flawIn(note), "") << "after kill " << kill;
        // A write reported finished is on disk: the newest text is that
        // write's or a later one's.
        long lastText = acknowledged - (acknowledged % 4 == 3 ? 1 : acknowledged % 4 == 0 ? 2 : 0);
        EXPECT_GE(newestTextWrite(*store->array()), lastText) << "after kill " << kill;
        // Leftovers of a write killed before its rename.
        killedMidWrite += int(core::FileManager::removeUnfinishedWrites(home.documents() + "/data.plist", 0).size());
    }
    std::printf("%d kills after %ld finished writes; %d landed inside a write\n", kKills, writes, killedMidWrite);
    EXPECT_GE(writes, kKills);
}

} // namespace
