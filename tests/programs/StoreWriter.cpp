// Writes to a note store without end, for tests that kill a writer at
// random moments. After each finished write it prints "wrote N", where N
// is the write's number, counting on from FIRST; every note's "Info"
// names the write that last set it, followed by a long filler that must
// come back whole.
//
//   store_writer HOME FIRST

#include "Classes/PlistController.h"

#include "platform/core/Bundle.h"
#include "platform/core/Paths.h"
#include "platform/core/UserDefaults.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr std::size_t kMostNotes = 40;

void acknowledge(long write)
{
    std::printf("wrote %ld\n", write);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: store_writer HOME FIRST\n");
        return 2;
    }
    core::Paths::setHome(argv[1]);
    core::Bundle::mainBundle().setResourceDirectory(VOICENOTES_TEST_RESOURCES);
    core::UserDefaults::standardUserDefaults().setInteger(8000, "SampleRate");
    PlistController store;
    store.checkPlistFile();
    if (store.countInPlist() == 0)
        store.saveObject(0, 5, "/first.aif", 40000);
    for (long write = std::atol(argv[2]);; ++write) {
        switch (write % 4) {
        case 0:
            store.saveObject(0, 5, "/" + std::to_string(write) + ".aif", 40000);
            break;
        case 1:
        case 2:
            store.editInfoAtIndex(0, std::to_string(write) + ":" + std::string(4000, char('a' + write % 26)));
            break;
        case 3:
            if (store.countInPlist() > kMostNotes)
                store.removeObjectAtIndex(kMostNotes);
            else
                store.editObjectAtIndex(0, "Renamed " + std::to_string(write), "NO");
            break;
        }
        acknowledge(write);
    }
}
