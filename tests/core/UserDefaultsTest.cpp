#include "platform/core/UserDefaults.h"
#include "platform/core/FileManager.h"
#include "platform/core/Paths.h"

#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

using core::UserDefaults;

namespace {

TEST(UserDefaults, AbsentKeysReadAsZeroFalseAndNone)
{
    TemporaryHome home;
    UserDefaults defaults(UserDefaults::standardPath());
    EXPECT_EQ(defaults.integerForKey("Maximum Time"), 0);
    EXPECT_FALSE(defaults.boolForKey("AutoRecording"));
    EXPECT_FALSE(defaults.objectForKey("FTP Name"));
}

TEST(UserDefaults, ValuesPersistInAPrivateFile)
{
    TemporaryHome home;
    {
        UserDefaults defaults(UserDefaults::standardPath());
        defaults.setInteger(1000, "Maximum Time");
        defaults.setBool(true, "UseReceiver");
        defaults.setObject("p@ss word=;\"", "FTP Pass");
        defaults.setObject("", "IP Address");
        EXPECT_TRUE(defaults.synchronize());
    }
    struct stat info = {};
    ASSERT_EQ(::stat(home.settingsFile().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    UserDefaults reread(UserDefaults::standardPath());
    EXPECT_EQ(reread.integerForKey("Maximum Time"), 1000);
    EXPECT_TRUE(reread.boolForKey("UseReceiver"));
    EXPECT_EQ(reread.objectForKey("FTP Pass"), "p@ss word=;\"");
    // An empty text is a value, not an absent key.
    EXPECT_EQ(reread.objectForKey("IP Address"), "");
    reread.removeObjectForKey("FTP Pass");
    EXPECT_FALSE(reread.objectForKey("FTP Pass"));
}

TEST(UserDefaults, ValuesOfAnotherTypeReadSensibly)
{
    TemporaryHome home;
    UserDefaults defaults(UserDefaults::standardPath());
    defaults.setObject("not a number", "SampleRate");
    defaults.setBool(true, "Maximum Time");
    defaults.setInteger(2, "AutoRecording");
    EXPECT_EQ(defaults.integerForKey("SampleRate"), 0);
    EXPECT_EQ(defaults.integerForKey("Maximum Time"), 1);
    EXPECT_TRUE(defaults.boolForKey("AutoRecording"));
}

mode_t modeOf(const std::string& path)
{
    struct stat info = {};
    return ::lstat(path.c_str(), &info) == 0 ? info.st_mode : 0;
}

// A link at the settings path (to a file of the person's, or to nothing) is
// never written through; the settings are not stored, and the log says why.
class SettingsPathIsALink : public testing::TestWithParam<bool> { };

TEST_P(SettingsPathIsALink, AndWhatItPointsToIsLeftAlone)
{
    TemporaryHome home;
    LogCapture log;
    std::string target = home.path() + "/elsewhere";
    if (GetParam()) {
        std::ofstream(target) << "mine\n";
        ::chmod(target.c_str(), 0644);
    }
    core::Paths::configDirectory();
    ASSERT_EQ(::symlink(target.c_str(), home.settingsFile().c_str()), 0);
    UserDefaults defaults(UserDefaults::standardPath());
    defaults.setObject("secret", "FTP Pass");
    EXPECT_FALSE(defaults.synchronize());
    EXPECT_GE(log.count("voicenotes.conf is a symbolic link"), 1);
    EXPECT_TRUE(S_ISLNK(modeOf(home.settingsFile())));
    if (GetParam()) {
        EXPECT_EQ(core::FileManager::contentsAtPath(target), "mine\n");
        EXPECT_EQ(modeOf(target) & 0777, 0644u);
    } else {
        EXPECT_FALSE(core::FileManager::fileExistsAtPath(target));
    }
}

INSTANTIATE_TEST_SUITE_P(UserDefaults, SettingsPathIsALink, testing::Bool());

} // namespace
