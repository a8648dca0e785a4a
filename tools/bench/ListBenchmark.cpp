// Fills the note store with 1,000 notes, starts the application on the
// virtual clock and sound device, and times the notes list: building its
// view with the rows on screen, reloading, a click on a row until the note
// plays, and deleting a row in edit mode; then, with 10,000 notes, opening
// the search and a keystroke in it until the rows found are shown. Each is
// held against one 60 Hz frame. Prints table rows; it never fails.

#include "BenchFigure.h"
#include "BenchHome.h"
#include "BenchNotes.h"
#include "Classes/AppContext.h"
#include "Classes/AppDelegate.h"
#include "Classes/AudioController.h"
#include "Classes/RootViewController.h"
#include "Classes/TableNavigationController.h"
#include "TableViewController.h"

#include "platform/audio/AudioDevice.h"
#include "platform/audio/VirtualAudioDevice.h"
#include "platform/core/FileManager.h"
#include "platform/core/Paths.h"
#include "platform/core/RunLoop.h"
#include "platform/core/VirtualRunLoopEngine.h"
#include "platform/ui/Application.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"

#include <QApplication>

#include <cstdio>
#include <functional>
#include <string>

namespace {

constexpr int kNotes = 1000;
constexpr int kSearchedNotes = 10000;
// Typed a letter at a time, one a run; then the search closes and opens again.
constexpr const char* kTyped = "note 12";
constexpr int kRuns = 7;
constexpr double kFrameMilliseconds = 1000.0 / 60;
// Rows wholly on screen at the top of the list; only those can be clicked.
constexpr int kRowsOnScreen = 5;

core::VirtualRunLoopEngine& virtualClock(AppContext& context)
{
    return static_cast<core::VirtualRunLoopEngine&>(context.runLoop().engine());
}

// One second recorded from the virtual device, copied to the first rows'
// files so that a click on them has something to play.
bool recordAudioForRows(AppContext& context, int rows)
{
    AudioController recorder(context.audioDevice(), context.defaults(), context.runLoop());
    recorder.startRecording();
    virtualClock(context).advance(1.0);
    recorder.stopRecording();
    std::string documents = core::Paths::documentsDirectory();
    for (int row = 0; row < rows; ++row) {
        if (!core::FileManager::copyItemAtPath(documents + recorder.recordName(),
                                               documents + BenchNotes::audioName(std::size_t(row))))
            return false;
    }
    return true;
}

// Times the work once a run; between runs `settle` (untimed) puts things
// back, with the clock moved on past any animation.
void measure(AppContext& context, const std::string& what, const std::function<void(int run)>& work,
             const std::function<void(int run)>& settle = {}, const char* notes = "1,000")
{
    BenchFigure figure(std::string("list, ") + notes + " notes: " + what, "ms", "≤ 16.7 ms (one 60 Hz frame)",
                       [](double ours, double) { return ours <= kFrameMilliseconds; });
    figure.setPeerName("frame");
    for (int run = 0; run < kRuns; ++run) {
        figure.add(BenchFigure::millisecondsOf([&] { work(run); }), kFrameMilliseconds);
        if (settle)
            settle(run);
        virtualClock(context).advance(1.0);
    }
    figure.print();
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication toolkit(argc, argv);
    BenchHome home(8000);
    if (!home.isValid() || !BenchNotes::fill(home.context(), kNotes)
        || !recordAudioForRows(home.context(), kRowsOnScreen)) {
        BenchFigure::printUnmeasured("list", "the store could not be filled");
        return 0;
    }

    ui::Application application(home.context().runLoop(), &home.context().defaults());
    AppDelegate delegate(home.context());
    application.setDelegate(&delegate);
    application.finishLaunching();
    virtualClock(home.context()).advance(1.0);
    auto& browser = *delegate.rootViewController()->myNavigationController();
    auto& list = *browser.tableViewController();

    measure(home.context(), "build the view and the rows on screen (loadView)", [&](int) { list.loadView(); });
    measure(home.context(), "reloadData", [&](int) { list.reloadRows(); });
    measure(
        home.context(), "click on a row until its note plays",
        [&](int run) {
            list.tableView().selectRowAtIndexPath({0, run % kRowsOnScreen});
            if (!browser.playback().audio() || !browser.playback().audio()->playState().playing)
                std::fprintf(stderr, "list benchmark: a click did not start playback\n");
        },
        [&](int run) {
            list.tableView().selectRowAtIndexPath({0, run % kRowsOnScreen});
        });
    list.setEditing(true, false);
    measure(home.context(), "delete a row in edit mode", [&](int run) {
        list.tableView().commitDeleteForRowAtIndexPath({0, run});
    });
    list.setEditing(false, false);

    if (!BenchNotes::fill(home.context(), kSearchedNotes)) {
        BenchFigure::printUnmeasured("list search", "the store could not be filled");
        return 0;
    }
    list.reloadRows();
    measure(
        home.context(), "open the search (names and texts made searchable)", [&](int) { browser.openSearch(); },
        [&](int) {
            // A store written anew: the next opening makes its notes searchable again.
            browser.endSearch();
            BenchNotes::fill(home.context(), kSearchedNotes);
            list.reloadRows();
        },
        "10,000");
    browser.openSearch();
    const std::string typed = kTyped;
    measure(
        home.context(), "a keystroke in the search until the rows found show",
        [&](int run) { browser.searchField()->setText(typed.substr(0, std::size_t(run) + 1)); }, {}, "10,000");
    if (list.rowCount() == 0)
        std::fprintf(stderr, "list benchmark: the search found nothing\n");
    return 0;
}
