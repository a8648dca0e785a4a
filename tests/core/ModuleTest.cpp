#include "support/TestEnvironment.h"

#include "platform/core/FileManager.h"
#include "platform/core/Module.h"

#include <gtest/gtest.h>

namespace {

TEST(Module, OpensAModuleOnceAndSaysWhyWhenOneCannotBeOpened)
{
    auto table = core::Module::table("sndfile");
    ASSERT_TRUE(table) << table.error().words;
    EXPECT_EQ(*core::Module::table("sndfile"), *table);

    auto missing = core::Module::table("nonesuch");
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().kind, core::Error::Kind::NotFound);
    EXPECT_EQ(missing.error().words, "the module libvoicenotes-nonesuch.so is not installed");

    // A file by a module's name that is no shared library is refused, every
    // time it is asked for.
    TemporaryHome elsewhere;
    ASSERT_TRUE(core::FileManager::writeAtomically(elsewhere.path() + "/libvoicenotes-broken.so", "no library"));
    core::Module::setDirectory(elsewhere.path());
    for (int attempt = 0; attempt < 2; ++attempt) {
        auto broken = core::Module::table("broken");
        ASSERT_FALSE(broken);
        EXPECT_NE(broken.error().words.find("libvoicenotes-broken.so"), std::string::npos) << broken.error().words;
    }
    core::Module::setDirectory(VOICENOTES_BUILD_DIR "/modules");
}

} // namespace
