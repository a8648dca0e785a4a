// Fills the note store with 1,000 notes and times the notes list: building
// the rows on screen, reloading the list, and each store operation the
// list calls. It prints figures only; it never fails.

#include "BenchHome.h"
#include "Classes/AppDelegate.h"
#include "Classes/PlistController.h"
#include "Classes/RootViewController.h"
#include "Classes/TableNavigationController.h"
#include "TableViewController.h"

#include "platform/ui/Application.h"
#include "platform/ui/TableView.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

namespace {

constexpr int kNotes = 1000;

// Milliseconds per run of the work, over `runs` runs.
double millisecondsPerRun(int runs, const std::function<void(int)>& work)
{
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < runs; ++i)
        work(i);
    std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
    return spent.count() / runs;
}

void report(const char* what, double milliseconds) { std::printf("  %-44s %9.3f ms\n", what, milliseconds); }

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication toolkit(argc, argv);
    BenchHome home(8000);
    if (!home.isValid())
        return 0;

    PlistController store;
    std::printf("Notes list with %d notes in the store\n", kNotes);
    report("store: saveObject (each, growing to 1,000)", millisecondsPerRun(kNotes, [&](int i) {
               store.saveObject(0, 5, "/" + std::to_string(i) + ".aif", 40000);
           }));

    ui::Application application;
    AppDelegate delegate;
    application.setDelegate(&delegate);
    double launch = millisecondsPerRun(1, [&](int) { application.finishLaunching(); });
    auto& list = *delegate.rootViewController()->myNavigationController()->tableViewController();
    report("launch, with the rows on screen built", launch);
    report("list: rebuild its view (loadView)", millisecondsPerRun(20, [&](int) { list.loadView(); }));
    double reload = millisecondsPerRun(50, [&](int) { list.tableView().reloadData(); });
    report("list: reloadData (goal: under 16.7 ms)", reload);
    report("list: scroll by one screen", millisecondsPerRun(50, [&](int i) {
               list.tableView().setContentOffset(double(i % 20) * 400);
           }));

    report("store: countInPlist", millisecondsPerRun(50, [&](int) { store.countInPlist(); }));
    report("store: getPlistObject", millisecondsPerRun(50, [&](int) { store.getPlistObject(); }));
    report("store: loadObject", millisecondsPerRun(50, [&](int i) { store.loadObject(std::size_t(i * 19)); }));
    report("store: editBadgeatObjectatIndex", millisecondsPerRun(20, [&](int i) {
               store.editBadgeatObjectatIndex(std::size_t(i), i % 2 == 0);
           }));
    report("store: editDateAlertAtIndex (remove)", millisecondsPerRun(20, [&](int i) {
               store.editDateAlertAtIndex(std::size_t(i), std::nullopt);
           }));
    report("store: removeObjectAtIndex", millisecondsPerRun(20, [&](int) { store.removeObjectAtIndex(0); }));
    std::printf("  reload within one 60 Hz frame: %s\n", reload < 1000.0 / 60 ? "yes" : "no");
    return 0;
}
