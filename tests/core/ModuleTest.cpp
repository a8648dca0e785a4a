#include "support/TestEnvironment.h"

#include "platform/core/FileManager.h"
#include "platform/core/Module.h"

#include <gtest/gtest.h>

namespace {

TEST(Module, OpensAModuleOnceAndSaysWhyWhenOneCannotBeOpened)
{
    std::string error;
    const void* table = core::Module::table("sndfile", error);
    ASSERT_NE(table, nullptr) << error;
    EXPECT_EQ(core::Module::table("sndfile", error), table);

    EXPECT_EQ(core::Module::table("nonesuch", error), nullptr);
    EXPECT_EQ(error, "the module libvoicenotes-nonesuch.so is not installed");

    // A file by a module's name that is no shared library is refused, every
    // time it is asked for.
    TemporaryHome elsewhere;
    ASSERT_TRUE(core::FileManager::writeAtomically(elsewhere.path() + "/libvoicenotes-broken.so", "no library"));
    core::Module::setDirectory(elsewhere.path());
    for (int attempt = 0; attempt < 2; ++attempt) {
        error.clear();
        EXPECT_EQ(core::Module::table("broken", error), nullptr);
        EXPECT_NE(error.find("libvoicenotes-broken.so"), std::string::npos) << error;
    }
    core::Module::setDirectory(VOICENOTES_BUILD_DIR "/modules");
}

} // namespace
