#include "Classes/PlistController.h"

#include "platform/core/Bundle.h"
#include "platform/core/DateFormatter.h"
#include "platform/core/FileIdentity.h"
#include "platform/core/FileManager.h"
#include "platform/core/Log.h"
#include "platform/core/Paths.h"
#include "platform/core/PropertyListSerialization.h"
#include "platform/core/UserDefaults.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <set>

using core::FileManager;
using core::Log;
using core::PropertyList;

namespace {

// The list last read or written, with the identity and bytes of the file
// it came from, so that the list's many reads of an unchanged store parse
// it once. Changes are made to this list in place and then written.
struct CachedList {
    std::string path;
    std::optional<core::FileIdentity> identity;
    std::string bytes;
    // Always an array: the notes.
    PropertyList list;
};

std::optional<CachedList>& cachedList()
{
    static std::optional<CachedList> cache;
    return cache;
}

// Whether the cached list is still what the file holds: by the file's
// identity alone once that has settled, else by its bytes as well.
bool cacheIsCurrent(CachedList& cache, const std::string& path)
{
    auto now = core::FileIdentity::ofPath(path);
    if (cache.path != path || !now || !cache.identity || !now->isSameFileAsBefore(*cache.identity))
        return false;
    if (cache.identity->isSettled())
        return true;
    std::optional<core::FileIdentity> compared;
    if (!FileManager::contentsEqual(path, cache.bytes, &compared))
        return false;
    cache.identity = compared;
    return true;
}

} // namespace

std::string PlistController::storePath() { return core::Paths::documentsDirectory() + "/data.plist"; }

void PlistController::checkPlistFile()
{
    if (!FileManager::fileExistsAtPath(storePath()))
        createNewPlist();
}

void PlistController::createNewPlist()
{
    std::string path = storePath();
    auto templatePath = core::Bundle::mainBundle().pathForResource("data", "plist");
    auto contents = templatePath ? FileManager::contentsAtPath(*templatePath) : std::nullopt;
    if (!contents) {
        // Without a template there is no store; every read then finds none.
        Log::system("The template data.plist is missing from the application's resources");
        FileManager::removeItemAtPath(path);
        return;
    }
    // Replaced in one step, so there is never a moment without a store.
    if (!FileManager::writeAtomically(path, *contents))
        Log::system("Could not create " + path);
}

PlistController::NoteList* PlistController::currentList()
{
    std::string path = storePath();
    auto& cache = cachedList();
    if (cache && cacheIsCurrent(*cache, path))
        return cache->list.array();
    cache.reset();
    std::optional<core::FileIdentity> identity;
    auto data = FileManager::contentsAtPath(path, &identity);
    std::string error = "The file data.plist could not be read";
    std::optional<PropertyList> root;
    if (data)
        root = core::PropertyListSerialization::propertyListFromData(*data, &error);
    if (root && !root->array())
        error = "The file data.plist does not hold a list of notes";
    if (!root || !root->array()) {
        Log::system(error);
        return nullptr;
    }
    cache = CachedList{path, identity, std::move(*data), std::move(*root)};
    return cache->list.array();
}

std::optional<PlistController::NoteList> PlistController::getPlistObject()
{
    const NoteList* notes = currentList();
    return notes ? std::optional<NoteList>(*notes) : std::nullopt;
}

std::size_t PlistController::countInPlist()
{
    const NoteList* notes = currentList();
    return notes ? notes->size() : 0;
}

std::optional<NoteRecord> PlistController::loadObject(std::size_t index)
{
    const NoteList* notes = currentList();
    if (!notes || index >= notes->size() || !(*notes)[index].dictionary())
        return std::nullopt;
    return *(*notes)[index].dictionary();
}

bool PlistController::writeCachedList()
{
    auto& cache = cachedList();
    auto xml = core::PropertyListSerialization::dataFromPropertyList(cache->list);
    std::optional<core::FileIdentity> written;
    if (!xml || !FileManager::writeAtomically(cache->path, *xml, &written)) {
        Log::system("Could not write data.plist");
        // The change is in the cached list only; the file holds the old one.
        cache.reset();
        return false;
    }
    cache->identity = written;
    cache->bytes = std::move(*xml);
    return true;
}

std::int64_t PlistController::nextNoteID(const NoteList& notes)
{
    // Only the newest note decides; IDs run 1 to 50 and start again. One
    // outside that range was not written here and starts again too.
    const PropertyList* previous = notes.empty() ? nullptr : notes.front().objectForKey(NoteKey::NoteID);
    const std::int64_t* id = previous ? previous->integer() : nullptr;
    if (!id || *id < 1 || *id >= kMaxNoteID)
        return 1;
    return *id + 1;
}

void PlistController::keepUnreadableStoreAside()
{
    core::DateFormatter stamp;
    stamp.setDateFormat("yyyyMMddHHmmss");
    std::string base = storePath() + ".unreadable-" + stamp.stringFromDate(core::Date::now());
    std::string aside = base;
    for (int n = 2; FileManager::fileExistsAtPath(aside); ++n)
        aside = base + "-" + std::to_string(n);
    if (FileManager::moveItemAtPath(storePath(), aside))
        Log::system("data.plist could not be read; it is kept as " + aside + " and a new store is started");
}

PlistController::NoteList& PlistController::listForNewNote()
{
    if (NoteList* notes = currentList())
        return *notes;
    // A new note must not be lost to a store that cannot be read, and the
    // unreadable store must not be destroyed: it is kept beside the new one.
    if (FileManager::fileExistsAtPath(storePath()))
        keepUnreadableStoreAside();
    createNewPlist();
    if (NoteList* fresh = currentList())
        return *fresh;
    // Not even the template: the note starts a list of its own.
    return *cachedList().emplace(CachedList{storePath(), std::nullopt, {}, NoteList{}}).list.array();
}

bool PlistController::saveObject(std::int64_t minutes, std::int64_t seconds, const std::string& path,
                                 std::uint64_t numPackets)
{
    NoteList& notes = listForNewNote();
    std::int64_t noteID = nextNoteID(notes);
    constexpr auto kLargest = std::uint64_t(std::numeric_limits<std::int64_t>::max());
    NoteRecord record{
        {NoteKey::Title, core::localizedString("Note Name") + " " + std::to_string(noteID)},
        {NoteKey::Path, path},
        {NoteKey::Date, core::Date::now()},
        {NoteKey::Icon, "YellowIcon"},
        {NoteKey::Lengh, PropertyList::Array{minutes, seconds}},
        {NoteKey::NoteID, noteID},
        {NoteKey::NumPackets, std::int64_t(std::min(numPackets, kLargest))},
        {NoteKey::SampleRate, std::int64_t(core::UserDefaults::standardUserDefaults().integerForKey("SampleRate"))},
    };
    notes.insert(notes.begin(), PropertyList(std::move(record)));
    return writeCachedList();
}

void PlistController::removeObjectAtIndex(std::size_t index)
{
    NoteList* notes = currentList();
    if (!notes || index >= notes->size())
        return;
    const PropertyList* path = (*notes)[index].objectForKey(NoteKey::Path);
    const std::string* name = path ? path->string() : nullptr;
    // A path that could leave Documents never removes anything.
    auto file = name ? core::Paths::documentsFilePath(*name) : std::nullopt;
    if (file)
        FileManager::removeItemAtPath(*file);
    else
        Log::system("Note " + std::to_string(index) + " names no audio file inside Documents; no file removed");
    if (notes->size() == 1) {
        createNewPlist();
        Log::printLine("Created new plist");
    } else {
        notes->erase(notes->begin() + std::ptrdiff_t(index));
        Log::printLine("Object removed");
        writeCachedList();
    }
    Log::printLine("Data.plist changed");
}

void PlistController::editRecord(std::size_t index, const std::function<void(NoteRecord&)>& change)
{
    NoteList* notes = currentList();
    if (!notes || index >= notes->size())
        return;
    NoteRecord* record = (*notes)[index].dictionary();
    if (!record) {
        Log::system("Note " + std::to_string(index) + " in data.plist is not a record; left unchanged");
        return;
    }
    change(*record);
    writeCachedList();
}

void PlistController::editObjectAtIndex(std::size_t index, const std::string& newName, const std::string& icon)
{
    editRecord(index, [&](NoteRecord& record) {
        if (icon == "NO")
            record[NoteKey::Title] = newName;
        else
            record[NoteKey::Icon] = icon;
    });
}

void PlistController::editInfoAtIndex(std::size_t index, const std::string& newInfo)
{
    editRecord(index, [&](NoteRecord& record) { record[NoteKey::Info] = newInfo; });
}

void PlistController::editDateAlertAtIndex(std::size_t index, std::optional<core::Date> newDate)
{
    editRecord(index, [&](NoteRecord& record) {
        if (newDate)
            record[NoteKey::Alert] = *newDate;
        else
            record.erase(NoteKey::Alert);
    });
}

void PlistController::editBadgeatObjectatIndex(std::size_t index, bool remove)
{
    editRecord(index, [&](NoteRecord& record) {
        if (remove)
            record.erase(NoteKey::CheckPlay);
        else
            record[NoteKey::CheckPlay] = 1;
    });
}

std::vector<std::string> PlistController::orphanAudioFiles()
{
    std::set<std::string> named;
    if (const NoteList* notes = currentList()) {
        for (const auto& note : *notes) {
            if (const NoteRecord* record = note.dictionary())
                named.insert(std::filesystem::path(NoteField::string(*record, NoteKey::Path)).filename().string());
        }
    }
    std::vector<std::string> orphans;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(core::Paths::documentsDirectory(), error)) {
        std::string name = entry.path().filename().string();
        if (entry.path().extension() == ".aif" && !named.count(name))
            orphans.push_back(name);
    }
    std::sort(orphans.begin(), orphans.end());
    return orphans;
}

std::vector<std::string> PlistController::removeUnfinishedWrites()
{
    constexpr double kUnfinishedWriteAge = 60;
    return FileManager::removeUnfinishedWrites(storePath(), kUnfinishedWriteAge);
}

void PlistController::deleteAll()
{
    std::string documents = core::Paths::documentsDirectory();
    FileManager::removeItemAtPath(documents);
    if (FileManager::createDirectoryAtPath(documents))
        Log::system("created Documents dir");
    createNewPlist();
}
