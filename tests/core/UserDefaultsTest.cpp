#include "platform/core/UserDefaults.h"

#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using core::UserDefaults;

namespace {

TEST(UserDefaults, AbsentKeysReadAsZeroFalseAndNone)
{
    TemporaryHome home;
    auto& defaults = UserDefaults::standardUserDefaults();
    EXPECT_EQ(defaults.integerForKey("Maximum Time"), 0);
    EXPECT_FALSE(defaults.boolForKey("AutoRecording"));
    EXPECT_FALSE(defaults.objectForKey("FTP Name"));
}

TEST(UserDefaults, ValuesPersistInAPrivateFile)
{
    TemporaryHome home;
    {
        auto& defaults = UserDefaults::standardUserDefaults();
        defaults.setInteger(1000, "Maximum Time");
        defaults.setBool(true, "UseReceiver");
        defaults.setObject("p@ss word=;\"", "FTP Pass");
        defaults.setObject("", "IP Address");
        EXPECT_TRUE(defaults.synchronize());
    }
    struct stat info = {};
    ASSERT_EQ(::stat(home.settingsFile().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    UserDefaults::resetStandardUserDefaults();
    auto& reread = UserDefaults::standardUserDefaults();
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
    auto& defaults = UserDefaults::standardUserDefaults();
    defaults.setObject("not a number", "SampleRate");
    defaults.setBool(true, "Maximum Time");
    defaults.setInteger(2, "AutoRecording");
    EXPECT_EQ(defaults.integerForKey("SampleRate"), 0);
    EXPECT_EQ(defaults.integerForKey("Maximum Time"), 1);
    EXPECT_TRUE(defaults.boolForKey("AutoRecording"));
}

} // namespace
