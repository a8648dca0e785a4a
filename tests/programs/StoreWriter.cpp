// Writes to a note store, for the tests of many writers.
//
//   store_writer HOME FIRST
//     Without end, for tests that kill a writer at random moments. After
//     each finished write it prints "wrote N", where N is the write's
//     number, counting on from FIRST; every note's "Info" names the write
//     that last set it, followed by a long filler that must come back whole.
//
//   store_writer HOME do save|rename|remove PATH [NAME]
//     One change to the note with that audio file, as another process's.
//     Exits 0 when it reached the store.
//
//   store_writer HOME race NAME COUNT
//     COUNT rounds beside other writers: saves the note "/NAME-I.aif",
//     renames it "NAME I" by its path, and every third round removes it
//     again. Prints "saved PATH", "renamed PATH" and "removed PATH" for
//     each change that reached the store.

#include "Classes/AppContext.h"
#include "Classes/PlistController.h"
#include "support/NotePathAt.h"

#include "platform/core/Bundle.h"
#include "platform/core/Paths.h"
#include "platform/core/RunLoop.h"
#include "platform/core/UserDefaults.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr std::size_t kMostNotes = 40;

void say(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

[[noreturn]] void writeWithoutEnd(PlistController& store, long first)
{
    if (store.countInPlist() == 0)
        store.saveObject(0, 5, "/first.aif", 40000);
    for (long write = first;; ++write) {
        switch (write % 4) {
        case 0:
            store.saveObject(0, 5, "/" + std::to_string(write) + ".aif", 40000);
            break;
        case 1:
        case 2:
            store.editInfoWithPath(notePathAt(store, 0),
                                   std::to_string(write) + ":" + std::string(4000, char('a' + write % 26)));
            break;
        case 3:
            if (store.countInPlist() > kMostNotes)
                store.removeObjectWithPath(notePathAt(store, kMostNotes));
            else
                store.editObjectWithPath(notePathAt(store, 0), "Renamed " + std::to_string(write), "NO");
            break;
        }
        say("wrote " + std::to_string(write));
    }
}

int race(PlistController& store, const std::string& name, long count)
{
    for (long round = 0; round < count; ++round) {
        std::string path = "/" + name + "-" + std::to_string(round) + ".aif";
        if (!store.saveObject(0, 1, path, 8000))
            say("saved " + path);
        if (!store.editObjectWithPath(path, name + " " + std::to_string(round), "NO"))
            say("renamed " + path);
        if (round % 3 == 2 && !store.removeObjectWithPath(path))
            say("removed " + path);
    }
    return 0;
}

int once(PlistController& store, const std::string& operation, const std::string& path, const char* name)
{
    if (operation == "save")
        return store.saveObject(0, 1, path, 8000) ? 1 : 0;
    if (operation == "rename")
        return name && !store.editObjectWithPath(path, name, "NO") ? 0 : 1;
    if (operation == "remove")
        return !store.removeObjectWithPath(path) ? 0 : 1;
    if (operation == "text")
        return name && !store.editInfoWithPath(path, name) ? 0 : 1;
    if (operation == "alert")
        return name && !store.editDateAlertWithPath(path, core::Date(std::atof(name))) ? 0 : 1;
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    bool racing = argc == 5 && std::strcmp(argv[2], "race") == 0;
    bool oneChange = (argc == 5 || argc == 6) && std::strcmp(argv[2], "do") == 0;
    if (argc != 3 && !racing && !oneChange) {
        std::fprintf(stderr,
                     "usage: store_writer HOME FIRST\n       store_writer HOME do OPERATION PATH [NAME]\n"
                     "       store_writer HOME race NAME COUNT\n");
        return 2;
    }
    core::Paths::setHome(argv[1]);
    core::Bundle::mainBundle().setResourceDirectory(VOICENOTES_TEST_RESOURCES);
    core::RunLoop loop;
    AppContext context(loop);
    context.defaults().setInteger(8000, "SampleRate");
    PlistController store(context);
    store.checkPlistFile();
    if (racing)
        return race(store, argv[3], std::atol(argv[4]));
    if (oneChange)
        return once(store, argv[3], argv[4], argc == 6 ? argv[5] : nullptr);
    writeWithoutEnd(store, std::atol(argv[2]));
}
