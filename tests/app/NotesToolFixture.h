#pragma once

// Runs the real binary's command line on the virtual sound device, in a
// home of its own.

#include "TestContext.h"

#include "support/AudioFixture.h"
#include "support/ChildProcess.h"
#include "support/PulseServer.h"
#include "support/TestEnvironment.h"

#include "platform/core/FileManager.h"
#include "platform/core/UserDefaults.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class NotesToolFixture : public testing::Test {
protected:
    // Runs voicenotes with the arguments; its exit status, its output in `output`.
    int run(std::vector<std::string> arguments, const std::vector<std::string>& environment = {},
            std::vector<std::string> launcher = {})
    {
        arguments.insert(arguments.begin(), {VOICENOTES_BINARY, "--home", home.path(), "--audio-device", "virtual"});
        arguments.insert(arguments.begin(), launcher.begin(), launcher.end());
        ChildProcess process;
        if (!process.start(arguments, outputPath(), environment))
            return -1;
        int status = process.waitForExit(60);
        output = core::FileManager::contentsAtPath(outputPath()).value_or("");
        return status;
    }

    // A note of `count` ramp samples at the rate, stored as the newest.
    void addNote(int rate, int count)
    {
        ASSERT_TRUE(core::FileManager::createDirectoryAtPath(home.documents()));
        std::string path = "/ramp" + std::to_string(rate) + "-" + std::to_string(count) + ".aif";
        AudioFixture::writeAiff(home.documents() + path, std::size_t(count), rate);
        testContext().defaults().setInteger(rate, "SampleRate");
        ASSERT_TRUE(testContext().defaults().synchronize());
        ASSERT_FALSE(testStore().saveObject(0, count / rate, path, std::uint64_t(count)));
    }

    // Starts voicenotes through the private sound server and waits until
    // its output shows the text; SIGKILLs the server then.
    void killTheSoundServerAt(ChildProcess& process, const std::vector<std::string>& arguments, const std::string& text)
    {
        PulseServer pulse;
        ASSERT_TRUE(pulse.isRunning()) << pulse.log();
        std::vector<std::string> all{VOICENOTES_BINARY, "--home", home.path(), "--audio-device", "portaudio"};
        all.insert(all.end(), arguments.begin(), arguments.end());
        ASSERT_TRUE(process.start(all, outputPath(), pulse.environment()));
        ASSERT_TRUE(waitForText(outputPath(), text)) << core::FileManager::contentsAtPath(outputPath()).value_or("");
        pulse.kill();
    }

    std::string outputPath() const { return home.path() + "/output.txt"; }

    TemporaryHome home;
    std::string output;
};
