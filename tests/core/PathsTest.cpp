#include "platform/core/Paths.h"

#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

using core::Paths;

namespace {

TEST(Paths, DocumentsFilesAreSinglePlainNames)
{
    TemporaryHome home;
    EXPECT_EQ(Paths::documentsFilePath("/20090305190507.aif"), home.documents() + "/20090305190507.aif");
    EXPECT_EQ(Paths::documentsFilePath("note.aif"), home.documents() + "/note.aif");
    for (const std::string& name : {std::string(""), std::string("/"), std::string(".."), std::string("/.."),
                                    std::string("/."), std::string("/../x.aif"), std::string("//x.aif"),
                                    std::string("/etc/passwd"), std::string("a/b"), std::string("/a\0b", 4)})
        EXPECT_FALSE(Paths::documentsFilePath(name)) << name;
}

TEST(Paths, XdgFoldersAreUsedWhenAbsoluteAndTheHomeOverrideWins)
{
    TemporaryHome home;
    EXPECT_EQ(Paths::dataHome(), home.path() + "/.local/share");
    EXPECT_EQ(Paths::configHome(), home.path() + "/.config");
}

} // namespace
