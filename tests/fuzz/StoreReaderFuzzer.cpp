// Feeds arbitrary bytes to the property-list reader and, as data.plist, to
// the note store: every read, the screens' record accessors, and the edits
// that write the store back. Nothing may crash, and an edit of a record
// that could be read must be readable afterwards.

#include "Classes/AppContext.h"
#include "Classes/NoteRecord.h"
#include "Classes/PlistController.h"
#include "support/NotePathAt.h"

#include "platform/core/Bundle.h"
#include "platform/core/DateFormatter.h"
#include "platform/core/FileManager.h"
#include "platform/core/Log.h"
#include "platform/core/Paths.h"
#include "platform/core/PropertyListSerialization.h"
#include "platform/core/RunLoop.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

// Notes past this many are read like the first ones; checking them all
// would only slow every run down.
constexpr std::size_t kRecordsRead = 16;

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "StoreReaderFuzzer: %s\n", what);
    std::abort();
}

void readFields(const NoteRecord& note)
{
    for (const char* key : {NoteKey::Title, NoteKey::Path, NoteKey::Icon, NoteKey::Info})
        noteIconNamed(NoteField::string(note, key));
    for (const char* key : {NoteKey::NoteID, NoteKey::NumPackets, NoteKey::SampleRate})
        NoteField::integer(note, key);
    core::DateFormatter formatter;
    formatter.setDateFormat("yyyy-MM-dd HH:mm:ss");
    for (const char* key : {NoteKey::Date, NoteKey::Alert}) {
        if (auto date = NoteField::date(note, key))
            formatter.stringFromDate(*date);
    }
    NoteField::lengthText(note);
    NoteField::isMarked(note);
}

// What the writer makes of a value the reader gave must read back.
void checkRoundTrip(const core::PropertyList& value)
{
    auto xml = core::PropertyListSerialization::dataFromPropertyList(value);
    if (xml && !core::PropertyListSerialization::propertyListFromData(*xml))
        fail("a property list that was read was written in a form that cannot be read back");
}

void readStore(PlistController& store)
{
    std::size_t count = store.countInPlist();
    store.getPlistObject();
    for (std::size_t i = 0; i < std::min(count, kRecordsRead); ++i) {
        if (auto note = store.loadObject(i))
            readFields(*note);
    }
    store.loadObject(count);
    store.orphanAudioFiles();
}

void editFirstRecord(PlistController& store)
{
    if (!store.loadObject(0))
        return;
    const std::string info = "checked";
    store.editInfoWithPath(notePathAt(store, 0), info);
    auto edited = store.loadObject(0);
    if (!edited || NoteField::string(*edited, NoteKey::Info) != info)
        fail("an edit of a readable record was lost");
    store.editObjectWithPath(notePathAt(store, 0), "renamed", "NO");
    store.editObjectWithPath(notePathAt(store, 0), "", "GreenIcon");
    store.editDateAlertWithPath(notePathAt(store, 0), core::Date::fromReferenceDate(0));
    store.editBadgeWithPath(notePathAt(store, 0), false);
    store.editBadgeWithPath(notePathAt(store, 0), true);
    readStore(store);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // In memory where there is such a folder: every run writes the store
    // several times, each write flushed to the disk.
    std::string home = std::string(::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/voicenotes-fuzz-XXXXXX";
    if (!::mkdtemp(home.data()))
        fail("cannot make a temporary home");
    core::Paths::setHome(home);
    core::Bundle::mainBundle().setResourceDirectory(VOICENOTES_FUZZ_RESOURCES);
    // Millions of runs would otherwise fill the system log.
    core::Log::setSink([](core::Log::Channel, std::string_view) {});
    static struct HomeRemover {
        std::string path;
        ~HomeRemover() { core::FileManager::removeItemAtPath(path); }
    } remover{home};
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string bytes(reinterpret_cast<const char*>(data), size);
    if (auto value = core::PropertyListSerialization::propertyListFromData(bytes))
        checkRoundTrip(*value);

    // Unreadable stores are kept aside by the store; each run starts afresh.
    core::FileManager::removeItemAtPath(core::Paths::documentsDirectory());
    if (!core::FileManager::writeAtomically(core::Paths::documentsDirectory() + "/data.plist", bytes))
        fail("cannot write data.plist");
    core::RunLoop loop;
    AppContext context(loop);
    PlistController store(context);
    readStore(store);
    editFirstRecord(store);
    store.saveObject(1, 2, "fuzz.aif", 16000);
    store.removeObjectWithPath(notePathAt(store, 0));
    readStore(store);
    return 0;
}
