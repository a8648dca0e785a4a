#include "Classes/Playback.h"
#include "Classes/AudioController.h"
#include "Classes/NoteModel.h"
#include "TestContext.h"

#include "support/AudioFixture.h"

#include "platform/core/UserDefaults.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Event = Playback::Event;

class PlaybackTest : public AudioFixture {
protected:
    PlaybackTest()
    {
        testContext().useAudioDevice(*device);
        testContext().defaults().setInteger(8000, "SampleRate");
        writeAiff(documentsFile("a.aif"), 80000, 8000);
        PlistController store{testContext()};
        store.checkPlistFile();
        store.saveObject(0, 10, "/a.aif", 80000);
        notes.refresh(NoteModel::Source::Here);
    }

    NoteModel notes{testContext()};
    std::shared_ptr<Playback> playback = std::make_shared<Playback>(testContext(), notes);
    std::vector<Event> heard;
    core::Subscription watch = playback->observe([this](Event event) {
        if (event != Event::Moved || heard.empty() || heard.back() != Event::Moved)
            heard.push_back(event);
    });
};

// Paused, a seek is the place heard at once and stays so; the note removed
// while it plays ends the playback, told once.
TEST_F(PlaybackTest, ASeekWhilePausedIsWhatIsHeardAndARemovedNoteEndsOnce)
{
    playback->play(*notes.note("/a.aif"));
    clock.advance(1);
    playback->pause();
    playback->seek(40000);
    EXPECT_EQ(playback->heard(), 40000);
    clock.advance(2);
    EXPECT_EQ(playback->heard(), 40000);
    EXPECT_TRUE(playback->paused());

    // Resumed, what was queued before the seek is heard first.
    playback->resume();
    clock.advance(1.5);
    EXPECT_GT(playback->heard(), 40000);
    ASSERT_FALSE(notes.remove("/a.aif"));
    EXPECT_FALSE(playback->active());
    EXPECT_FALSE(playback->audio()->playState().playing);
    playback->stop();
    clock.advance(20);
    EXPECT_EQ(heard,
              (std::vector<Event>{Event::Started, Event::Moved, Event::Paused, Event::Moved, Event::Resumed,
                                  Event::Moved, Event::Ended}));
}

} // namespace
