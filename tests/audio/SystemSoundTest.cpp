#include "platform/audio/SystemSound.h"

#include "support/AudioFixture.h"

#include "platform/core/FileManager.h"

using audio::SystemSound;
using audio::SystemSoundID;

namespace {

class SystemSoundTest : public AudioFixture {
protected:
    SystemSound sounds{testLoop()};
};

TEST_F(SystemSoundTest, PlaysTheWholeFileOnceAtItsOwnRate)
{
    writeAiff(documentsFile("chime.aif"), 11025, 22050);
    SystemSoundID sound = 0;
    ASSERT_EQ(sounds.create(documentsFile("chime.aif"), sound), audio::noErr);
    sounds.play(sound, *device);
    sounds.dispose(sound);
    clock.advance(2);
    EXPECT_EQ(device->playedRate(), 22050);
    std::vector<std::int16_t> expected;
    for (std::size_t i = 0; i < 11025; ++i)
        expected.push_back(ramp(i));
    EXPECT_EQ(device->played(), expected);
}

TEST_F(SystemSoundTest, UnreadableFilesAndUnknownSoundsDoNothing)
{
    SystemSoundID sound = 77;
    EXPECT_NE(sounds.create(documentsFile("missing.caf"), sound), audio::noErr);
    ASSERT_TRUE(core::FileManager::writeAtomically(documentsFile("noise.caf"), "not a sound"));
    EXPECT_NE(sounds.create(documentsFile("noise.caf"), sound), audio::noErr);
    EXPECT_EQ(sound, 77u);
    sounds.play(sound, *device);
    device->setOutputAvailable(false);
    writeAiff(documentsFile("chime.aif"), 100, 8000);
    ASSERT_EQ(sounds.create(documentsFile("chime.aif"), sound), audio::noErr);
    sounds.play(sound, *device);
    clock.advance(1);
    EXPECT_TRUE(device->played().empty());
}

} // namespace
