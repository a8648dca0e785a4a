// Times every operation of the note store at 10, 100, 1,000 and 5,000
// notes against the same read-modify-write done by Python's plistlib on the
// same file (tools/bench/plistlib_peer.py, which writes atomically as the
// store does), and against moving the same bytes with no parsing at all
// (the floor). Prints table rows; it never fails.

#include "BenchFigure.h"
#include "BenchHome.h"
#include "BenchNotes.h"
#include "Classes/AppContext.h"
#include "Classes/PlistController.h"
#include "support/NotePathAt.h"

#include "platform/core/Date.h"
#include "platform/core/FileLock.h"
#include "platform/core/FileManager.h"
#include "platform/core/PropertyListSerialization.h"

#include <QCoreApplication>
#include <QProcess>

#include <cstdio>
#include <functional>
#include <optional>
#include <string>

namespace {

constexpr int kRuns = 7;
constexpr std::size_t kGoalSize = 1000;
constexpr double kGoalRatio = 0.2;
constexpr double kLockGoalMilliseconds = 2;

struct Operation {
    const char* figure;
    // The peer's name for the same operation.
    const char* peerCommand;
    bool writes;
    // False: timed right after another writer replaced the file, so the
    // store's parse cache cannot help.
    bool warm;
    std::function<void(PlistController&, std::size_t index)> run;
};

const Operation kOperations[] = {
    {"countInPlist", "countInPlist", false, true, [](PlistController& s, std::size_t) { s.countInPlist(); }},
    {"loadObject", "loadObject", false, true, [](PlistController& s, std::size_t i) { s.loadObject(i); }},
    {"loadObject, file just replaced by another writer", "loadObject", false, false,
     [](PlistController& s, std::size_t i) { s.loadObject(i); }},
    {"saveObject", "saveObject", true, true,
     [](PlistController& s, std::size_t) { s.saveObject(0, 5, "/new.aif", 40000); }},
    {"removeObjectWithPath", "removeObjectAtIndex", true, true,
     [](PlistController& s, std::size_t i) { s.removeObjectWithPath(notePathAt(s, i)); }},
    {"editObjectWithPath (rename)", "rename", true, true,
     [](PlistController& s, std::size_t i) { s.editObjectWithPath(notePathAt(s, i), "Renamed", "NO"); }},
    {"editObjectWithPath (icon)", "icon", true, true,
     [](PlistController& s, std::size_t i) { s.editObjectWithPath(notePathAt(s, i), "", "BlueIcon"); }},
    {"editInfoWithPath", "editInfoAtIndex", true, true,
     [](PlistController& s, std::size_t i) { s.editInfoWithPath(notePathAt(s, i), "Some text"); }},
    {"editDateAlertWithPath", "editDateAlertAtIndex", true, true,
     [](PlistController& s, std::size_t i) {
         s.editDateAlertWithPath(notePathAt(s, i), core::Date::fromReferenceDate(915000000));
     }},
    {"editBadgeWithPath", "editBadgeatObjectatIndex", true, true,
     [](PlistController& s, std::size_t i) { s.editBadgeWithPath(notePathAt(s, i), false); }},
};

// Milliseconds the peer took, by its own clock (the interpreter's start is
// not counted); none when it did not answer.
std::optional<double> peerMilliseconds(QProcess& peer, const Operation& operation, std::size_t index)
{
    std::string command = std::string(operation.peerCommand) + " " + BenchNotes::storePath() + " "
        + std::to_string(index) + "\n";
    peer.write(command.c_str());
    while (!peer.canReadLine()) {
        if (!peer.waitForReadyRead(60000))
            return std::nullopt;
    }
    bool ok = false;
    double seconds = peer.readLine().trimmed().toDouble(&ok);
    return ok ? std::optional<double>(seconds * 1000) : std::nullopt;
}

// The same bytes read, and for a change written back atomically, unparsed.
double floorMilliseconds(bool writes)
{
    return BenchFigure::millisecondsOf([&] {
        auto bytes = core::FileManager::contentsAtPath(BenchNotes::storePath());
        if (bytes && writes)
            core::FileManager::writeAtomically(BenchNotes::storePath(), *bytes);
    });
}

void measure(AppContext& context, QProcess& peer, const Operation& operation, std::size_t size,
             const std::string& original)
{
    std::string goal = size == kGoalSize ? "≤ 0.2 × plistlib" : "";
    BenchFigure figure("store, " + std::to_string(size) + " notes: " + operation.figure, "ms", goal,
                       size == kGoalSize
                           ? BenchFigure::GoalTest([](double, double ratio) { return ratio <= kGoalRatio; })
                           : BenchFigure::GoalTest());
    figure.setPeerName("plistlib");
    std::size_t index = size / 2;
    PlistController store(context);
    // Each side starts from the same file, written anew as another writer would.
    auto restore = [&] { core::FileManager::writeAtomically(BenchNotes::storePath(), original); };
    for (int run = 0; run < kRuns; ++run) {
        if (operation.warm) {
            restore();
            store.countInPlist();
        } else {
            // Other bytes than the store read last, so that it must parse.
            core::FileManager::writeAtomically(BenchNotes::storePath(), original + std::string(run % 2 + 1, '\n'));
        }
        double ours = BenchFigure::millisecondsOf([&] { operation.run(store, index); });
        restore();
        auto theirs = peerMilliseconds(peer, operation, index);
        restore();
        figure.add(ours, theirs, floorMilliseconds(operation.writes));
    }
    figure.print();
}

// What the lock all processes share adds to a change: the lock alone, and
// a change by path (re-read under the lock, written atomically) over the
// floor of moving the same bytes.
void measureLockCost(AppContext& context, const std::string& original)
{
    BenchFigure lock("store: its lock taken and released", "ms");
    for (int run = 0; run < kRuns; ++run)
        lock.add(BenchFigure::millisecondsOf([] { core::FileLock held(BenchNotes::storePath() + ".lock", 1); }));
    lock.print();

    BenchFigure change("store, " + std::to_string(kGoalSize) + " notes: editObjectWithPath above the floor", "ms",
                       "≤ 2 ms",
                       BenchFigure::GoalTest([](double ours, double) { return ours <= kLockGoalMilliseconds; }));
    PlistController store(context);
    BenchFigure serialize("store, " + std::to_string(kGoalSize) + " notes: the list made into XML", "ms");
    auto notes = store.getPlistObject();
    const core::PropertyList list(notes.value_or(PlistController::NoteList{}));
    for (int run = 0; run < kRuns; ++run)
        serialize.add(
            BenchFigure::millisecondsOf([&] { core::PropertyListSerialization::dataFromPropertyList(list); }));
    serialize.print();
    std::string path = BenchNotes::audioName(kGoalSize / 2);
    for (int run = 0; run < kRuns; ++run) {
        core::FileManager::writeAtomically(BenchNotes::storePath(), original);
        store.countInPlist();
        double ours = BenchFigure::millisecondsOf([&] { store.editObjectWithPath(path, "Renamed", "NO"); });
        core::FileManager::writeAtomically(BenchNotes::storePath(), original);
        change.add(ours - floorMilliseconds(true));
    }
    change.print();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    BenchHome home(8000);
    if (!home.isValid())
        return 0;
    QProcess peer;
    peer.start("/usr/bin/python3", {PLISTLIB_PEER});
    if (!peer.waitForStarted()) {
        BenchFigure::printUnmeasured("store", "python3 did not start");
        return 0;
    }
    for (std::size_t size : {10, 100, 1000, 5000}) {
        if (!BenchNotes::fill(home.context(), size))
            continue;
        auto original = core::FileManager::contentsAtPath(BenchNotes::storePath());
        for (const auto& operation : kOperations)
            measure(home.context(), peer, operation, size, original.value_or(""));
        if (size == kGoalSize)
            measureLockCost(home.context(), original.value_or(""));
    }
    peer.closeWriteChannel();
    peer.waitForFinished();
    return 0;
}
