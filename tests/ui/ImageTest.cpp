#include "platform/ui/Image.h"

#include "support/TestEnvironment.h"

#include "platform/core/FileManager.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

using ui::Image;

namespace {

std::string processMaps()
{
    std::ifstream maps("/proc/self/maps");
    return {std::istreambuf_iterator<char>(maps), std::istreambuf_iterator<char>()};
}

// Every row shows one of a few pictures: each is decoded once while any
// view holds it, and read again after all have let it go.
TEST(Image, AResourcePictureIsSharedWhileInUse)
{
    auto first = Image::imageNamed("YellowIcon.png");
    ASSERT_TRUE(first);
    EXPECT_EQ(first->size().width, 70);
    EXPECT_EQ(Image::imageNamed("YellowIcon").get(), first.get());
    EXPECT_NE(Image::imageNamed("RedIcon.png").get(), first.get());

    std::weak_ptr<Image> released = first;
    first.reset();
    EXPECT_TRUE(released.expired());
    auto again = Image::imageNamed("YellowIcon.png");
    ASSERT_TRUE(again);
    EXPECT_EQ(again->size().height, 70);
}

// Qt reads PNG itself; none of its image plugins (and the libraries behind
// them) is loaded for one.
TEST(Image, APngIsReadWithoutLoadingImagePlugins)
{
    ASSERT_TRUE(Image::imageNamed("nonote.png"));
    EXPECT_EQ(processMaps().find("/imageformats/"), std::string::npos);
}

TEST(Image, ADamagedOrMissingPictureIsNoneAndSaysWhy)
{
    TemporaryHome home;
    LogCapture log;
    std::string damaged = home.path() + "/damaged.png";
    ASSERT_TRUE(core::FileManager::writeAtomically(damaged, "\x89PNG\r\n\x1a\nnot a picture"));
    EXPECT_FALSE(Image::imageWithContentsOfFile(damaged));
    EXPECT_FALSE(Image::imageWithContentsOfFile(home.path() + "/missing.png"));
    EXPECT_FALSE(Image::imageNamed("nothing.png"));
    EXPECT_EQ(log.count("could not be read"), 2);
    EXPECT_EQ(log.count("is not in the application's resources"), 1);
}

// A PNG under another name is still recognised by its contents.
TEST(Image, APngUnderAnotherNameIsRecognisedByItsContents)
{
    TemporaryHome home;
    auto bytes = core::FileManager::contentsAtPath(std::string(VOICENOTES_TEST_RESOURCES) + "/RedIcon.png");
    ASSERT_TRUE(bytes);
    std::string renamed = home.path() + "/icon.picture";
    ASSERT_TRUE(core::FileManager::writeAtomically(renamed, *bytes));
    auto image = Image::imageWithContentsOfFile(renamed);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size().width, 70);
}

} // namespace
