// Runs under tests/keyring/run: a session bus of its own with a keyring on it.

#include "Classes/FtpPassword.h"

#include "support/TestEnvironment.h"

#include "platform/core/FileManager.h"
#include "platform/core/UserDefaults.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

using core::UserDefaults;

namespace {

// What the keyring holds for the server and user, read by another program.
std::string inKeyring(const std::string& server, const std::string& user)
{
    std::string command = "secret-tool lookup server '" + server + "' user '" + user + "'";
    std::unique_ptr<FILE, decltype(&::pclose)> pipe(::popen(command.c_str(), "r"), ::pclose);
    std::string found;
    char piece[256];
    while (pipe && std::fgets(piece, sizeof piece, pipe.get()))
        found += piece;
    return found;
}

void rememberServer(UserDefaults& defaults, const std::string& password)
{
    defaults.setObject("127.0.0.1:2121/notes", "IP Address");
    defaults.setObject("anna", "FTP Name");
    if (!password.empty())
        defaults.setObject(password, "FTP Pass");
    ASSERT_TRUE(defaults.synchronize());
}

std::string settingsText(const TemporaryHome& home)
{
    return core::FileManager::contentsAtPath(home.settingsFile()).value_or("");
}

TEST(Keyring, APasswordIsKeptThereUnderTheServerAndUserAndNotInTheSettingsFile)
{
    TemporaryHome home;
    UserDefaults defaults(UserDefaults::standardPath());
    rememberServer(defaults, "");
    FtpPassword passwords(defaults);
    EXPECT_FALSE(passwords.keptInSettingsFile());
    passwords.remember("127.0.0.1:2121/notes", "anna", "p@ss word");
    ASSERT_TRUE(defaults.synchronize());
    EXPECT_EQ(settingsText(home).find("p@ss"), std::string::npos) << settingsText(home);
    EXPECT_EQ(inKeyring("127.0.0.1:2121", "anna"), "p@ss word");
    EXPECT_EQ(inKeyring("127.0.0.1:2121", "bob"), "");
    EXPECT_EQ(FtpPassword(defaults).stored(), "p@ss word");
}

TEST(Keyring, APasswordInTheSettingsFileMovesThere)
{
    TemporaryHome home;
    UserDefaults defaults(UserDefaults::standardPath());
    rememberServer(defaults, "old secret");
    EXPECT_EQ(FtpPassword(defaults).stored(), "old secret");
    EXPECT_EQ(settingsText(home).find("old secret"), std::string::npos) << settingsText(home);
    EXPECT_NE(settingsText(home).find("anna"), std::string::npos);
    EXPECT_EQ(inKeyring("127.0.0.1:2121", "anna"), "old secret");
    UserDefaults reread(UserDefaults::standardPath());
    EXPECT_EQ(FtpPassword(reread).stored(), "old secret");
}

} // namespace
