#include "platform/core/StringTable.h"
#include "platform/core/Bundle.h"
#include "platform/core/FileManager.h"

#include <gtest/gtest.h>

using core::StringTable;

namespace {

TEST(StringTable, ReadsEntriesCommentsAndEscapes)
{
    auto table = StringTable::parse("/* header\n spans lines */\n"
                                    "\"App Name\" = \"Voice Notes\"; // trailing\n"
                                    "\"Quote\"=\"say \\\"hi\\\"\\n\\\\\";\n");
    ASSERT_TRUE(table);
    EXPECT_EQ(table->size(), 2u);
    EXPECT_EQ(table->lookup("App Name"), "Voice Notes");
    EXPECT_EQ(table->lookup("Quote"), "say \"hi\"\n\\");
    EXPECT_EQ(table->lookup("Missing Key"), "Missing Key");
}

TEST(StringTable, RefusesMalformedTextAndSaysWhere)
{
    for (const char* text : {"\"a\" = \"b\"", "\"a\" \"b\";", "\"a\" = \"b;\n", "/* open", "\"a\" = b;"}) {
        auto table = StringTable::parse(text);
        ASSERT_FALSE(table) << text;
        EXPECT_FALSE(table.error().words.empty());
    }
}

TEST(StringTable, TheShippedTableHasATextForEveryKeyTheScreensUse)
{
    auto text = core::FileManager::contentsAtPath(std::string(VOICENOTES_TEST_RESOURCES) + "/Localizable.strings");
    ASSERT_TRUE(text);
    auto table = StringTable::parse(*text);
    ASSERT_TRUE(table) << table.error().words;
    for (const char* key : {"App Name",
                            "Note Name",
                            "NewButton Title",
                            "No Notes",
                            "Alert",
                            "Notes Label",
                            "DeleteAll",
                            "Recording",
                            "Save Title",
                            "Cancel Title",
                            "More info",
                            "Export",
                            "Notes",
                            "Name",
                            "Icon",
                            "Length",
                            "None",
                            "Add more info",
                            "Yellow Icon",
                            "Green Icon",
                            "Blue Icon",
                            "Red Icon",
                            "Orange Icon",
                            "Violet Icon",
                            "Send via FTP",
                            "footer text",
                            "Show FTP info",
                            "Send",
                            "IP address",
                            "User name",
                            "Case sensitive",
                            "Password",
                            "Please fill all text fields",
                            "File cannot be sent",
                            "Upload failed: no server",
                            "Upload failed: silent server",
                            "Upload failed: connection lost",
                            "Upload failed: login refused",
                            "Upload failed: encryption required",
                            "Upload failed: encryption dropped",
                            "Upload failed: encryption failed",
                            "Upload failed: certificate untrusted",
                            "Upload failed: certificate changed",
                            "Upload failed: no folder",
                            "Upload failed: file refused",
                            "Upload failed",
                            "an unreadable key",
                            "Trust",
                            "Cancel",
                            "SendingInClear",
                            "footer not encrypted",
                            "Connecting",
                            "SendingTitle",
                            "Preferences",
                            "Record On Startup",
                            "Use phone receiver",
                            "Audio Quality",
                            "Low",
                            "Medium",
                            "High",
                            "Maximum length",
                            "5 min",
                            "10 min",
                            "unlimited",
                            "About",
                            "About Info",
                            "AboutMessage"}) {
        EXPECT_TRUE(table->contains(key)) << key;
        EXPECT_FALSE(table->lookup(key).empty()) << key;
    }
    EXPECT_EQ(core::localizedString("App Name"), "Voice Notes");
}

} // namespace
