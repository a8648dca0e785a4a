// The window as the desktop's media player, driven by dbus-send and heard
// by dbus-monitor on a private session bus, as panels and media keys do.

#include "AppFixture.h"
#include "TestContext.h"

#include "Classes/AppDelegate.h"
#include "Classes/DesktopPlayer.h"
#include "Classes/Playback.h"
#include "Classes/PlistController.h"
#include "Classes/TableNavigationController.h"
#include "TableViewController.h"
#include "support/NotePathAt.h"

#include "support/ChildProcess.h"
#include "support/PrivateBus.h"

#include "platform/core/FileManager.h"

#include <QCoreApplication>

namespace {

class MediaControlsTest : public AppFixture {
protected:
    static constexpr const char* kObject = "/org/mpris/MediaPlayer2";
    static constexpr const char* kPlayer = "org.mpris.MediaPlayer2.Player";

    bool runUntil(const std::function<bool()>& condition)
    {
        return clock.runUntil([&] {
            QCoreApplication::processEvents();
            return condition();
        });
    }
    // dbus-send's printed reply, the main loop running meanwhile as it
    // does for the desktop's calls.
    std::string send(const std::string& method, const std::vector<std::string>& arguments = {})
    {
        std::string out = home.path() + "/send.txt";
        std::vector<std::string> command{"/usr/bin/dbus-send",
                                         "--bus=" + bus.address(),
                                         "--print-reply",
                                         "--dest=org.mpris.MediaPlayer2.voicenotes",
                                         kObject,
                                         method};
        command.insert(command.end(), arguments.begin(), arguments.end());
        ChildProcess sender;
        if (!sender.start(command, out) || !runUntil([&] { return !sender.isRunning(); }))
            return "(no answer)";
        return core::FileManager::contentsAtPath(out).value_or("");
    }
    std::string get(const std::string& property)
    {
        return send("org.freedesktop.DBus.Properties.Get", {std::string("string:") + kPlayer, "string:" + property});
    }
    std::string heard() const { return core::FileManager::contentsAtPath(monitorLog).value_or(""); }
    std::string playing() { return browser().playback().active() ? browser().playback().path() : "(none)"; }

    PrivateBus bus{home.path()};
    std::string monitorLog = home.path() + "/monitor.txt";
};

TEST_F(MediaControlsTest, TheDesktopSeesTheNoteAndItsControlsPlayPauseSeekAndStepThroughTheNotes)
{
    ASSERT_FALSE(bus.address().empty());
    // Another program's file names need not fit an object path: "_xx" stands for each other byte.
    for (const char* name : {"/first note.aif", "/Übung-2.aif"}) {
        writeAiff(home.documents() + name, 80000, 8000);
        ASSERT_FALSE(testStore().saveObject(0, 10, name, 80000));
    }
    ChildProcess monitor;
    ASSERT_TRUE(monitor.start(
        {"/usr/bin/dbus-monitor", "--address", bus.address(), "type='signal',path='/org/mpris/MediaPlayer2'"},
        monitorLog));
    ASSERT_TRUE(runUntil([&] { return heard().find("NameLost") != std::string::npos; }));
    launch(0.5);
    ASSERT_TRUE(delegate->desktopPlayer()->controls().publish(bus.address()));

    std::string identity = send("org.freedesktop.DBus.Properties.Get",
                                {"string:org.mpris.MediaPlayer2", "string:Identity"});
    EXPECT_NE(identity.find("\"Voice Notes\""), std::string::npos) << identity;
    EXPECT_NE(get("PlaybackStatus").find("\"Stopped\""), std::string::npos);

    // The list's first row is the newest note.
    const std::string newest = notePathAt(testStore(), 0);
    send(std::string(kPlayer) + ".PlayPause");
    ASSERT_TRUE(runUntil([&] { return playing() == newest; }));
    EXPECT_TRUE(runUntil([&] { return heard().find("\"Playing\"") != std::string::npos; })) << heard();
    std::string metadata = get("Metadata");
    EXPECT_NE(metadata.find("\"Note 2\""), std::string::npos) << metadata;
    EXPECT_NE(metadata.find("int64 10000000"), std::string::npos) << metadata;
    EXPECT_NE(metadata.find("/org/voicenotes/VoiceNotes/track/_2f_c3_9cbung_2d2_2eaif"), std::string::npos) << metadata;

    // A position for another note is ignored; one for this note is taken and told.
    send(std::string(kPlayer) + ".SetPosition", {"objpath:/org/voicenotes/VoiceNotes/track/x", "int64:5000000"});
    send(std::string(kPlayer) + ".SetPosition",
         {"objpath:/org/voicenotes/VoiceNotes/track/_2f_c3_9cbung_2d2_2eaif", "int64:5000000"});
    ASSERT_TRUE(runUntil([&] { return heard().find("Seeked") != std::string::npos; })) << heard();
    EXPECT_NE(heard().substr(heard().find("Seeked")).find("int64 5000000"), std::string::npos) << heard();
    // Heard once the sound queued before the seek has played.
    EXPECT_TRUE(runUntil([&] { return browser().playback().heard() >= 40000; }));
    EXPECT_LT(browser().playback().heard(), 48000);

    send(std::string(kPlayer) + ".Next");
    ASSERT_TRUE(runUntil([&] { return playing() == "/first note.aif"; }));
    EXPECT_NE(get("CanGoNext").find("boolean false"), std::string::npos);
    send(std::string(kPlayer) + ".Previous");
    ASSERT_TRUE(runUntil([&] { return playing() == newest; }));
    // Past the end is the next note.
    send(std::string(kPlayer) + ".Seek", {"int64:60000000"});
    ASSERT_TRUE(runUntil([&] { return playing() == "/first note.aif"; }));

    send(std::string(kPlayer) + ".Pause");
    ASSERT_TRUE(runUntil([&] { return browser().playback().paused(); }));
    EXPECT_TRUE(runUntil([&] { return heard().find("\"Paused\"") != std::string::npos; }));
    send(std::string(kPlayer) + ".Stop");
    ASSERT_TRUE(runUntil([&] { return playing() == "(none)"; }));
    EXPECT_NE(get("PlaybackStatus").find("\"Stopped\""), std::string::npos);
    EXPECT_NE(send(std::string(kPlayer) + ".OpenUri", {"string:file:///etc/passwd"}).find("Error.NotSupported"),
              std::string::npos);
}

} // namespace
