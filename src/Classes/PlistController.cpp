#include "Classes/PlistController.h"

#include "Classes/AppContext.h"

#include "platform/core/Bundle.h"
#include "platform/core/DateFormatter.h"
#include "platform/core/FileIdentity.h"
#include "platform/core/FileLock.h"
#include "platform/core/FileManager.h"
#include "platform/core/Log.h"
#include "platform/core/Paths.h"
#include "platform/core/PropertyListSerialization.h"
#include "platform/core/UserDefaults.h"
#include "platform/core/XmlPropertyListWriter.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <limits>
#include <set>
#include <unistd.h>

using core::FileManager;
using core::Log;
using core::PropertyList;

namespace {

// Whether the cached list is still what the file holds: by the file's
// identity alone once that has settled, else by its bytes as well.
bool cacheIsCurrent(StoreCache& cache, const std::string& path)
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

std::optional<std::size_t> indexWithPath(const PlistController::NoteList& notes, const std::string& path)
{
    for (std::size_t i = 0; i < notes.size(); ++i) {
        const NoteRecord* record = notes[i].dictionary();
        if (record && NoteField::string(*record, NoteKey::Path) == path)
            return i;
    }
    return std::nullopt;
}

// A recording that a recorder, in this process or another, is writing now:
// it holds a lock on the file until the recording is closed.
bool isBeingRecorded(const std::string& file)
{
    int fd = FileManager::openRegularFile(file, O_RDONLY);
    if (fd < 0)
        return false;
    bool held = core::FileLock::isHeldElsewhere(fd);
    ::close(fd);
    return held;
}

} // namespace

std::string PlistController::storePath() { return core::Paths::documentsDirectory() + "/data.plist"; }

std::string PlistController::lockPath() { return storePath() + ".lock"; }

core::Outcome PlistController::locked(const std::function<void()>& change)
{
    core::FileLock lock(lockPath(), m_lockWait);
    if (!lock.isLocked()) {
        Log::system("The note store was not changed: " + lock.failure());
        return core::Error{core::Error::Kind::NotWritten, lock.failure()};
    }
    change();
    return std::nullopt;
}

void PlistController::checkPlistFile()
{
    if (FileManager::fileExistsAtPath(storePath()))
        return;
    // Another process starting at the same moment may make it first.
    locked([this] {
        if (!FileManager::fileExistsAtPath(storePath()))
            replaceWithTemplate();
    });
}

void PlistController::createNewPlist()
{
    locked([this] { replaceWithTemplate(); });
}

void PlistController::replaceWithTemplate()
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

const PlistController::NoteList* PlistController::currentList(StoreState* state)
{
    std::string path = storePath();
    auto& cache = m_context.storeCache();
    StoreState ignored;
    StoreState& outcome = state ? *state : ignored;
    outcome = StoreState::Readable;
    if (cache && cacheIsCurrent(*cache, path))
        return cache->list->array();
    cache.reset();
    auto read = StoreCache::read(path);
    if (!read) {
        switch (read.error().kind) {
        case core::Error::Kind::NotFound:
            // None yet is no fault: there are no notes.
            outcome = StoreState::Missing;
            return nullptr;
        case core::Error::Kind::Unreadable:
            outcome = StoreState::CannotOpen;
            break;
        default:
            outcome = StoreState::Damaged;
            break;
        }
        Log::system(read.error().words);
        return nullptr;
    }
    cache = std::move(*read);
    return cache->list->array();
}

PlistController::StoreState PlistController::storeState()
{
    StoreState state;
    currentList(&state);
    return state;
}

PlistController::NoteList* PlistController::listToChange()
{
    if (!currentList())
        return nullptr;
    auto& list = m_context.storeCache()->list;
    if (list.use_count() > 1)
        list = std::make_shared<PropertyList>(*list);
    return list->array();
}

std::optional<PlistController::NoteList> PlistController::getPlistObject()
{
    const NoteList* notes = currentList();
    return notes ? std::optional<NoteList>(*notes) : std::nullopt;
}

std::shared_ptr<const PlistController::NoteList> PlistController::snapshot()
{
    const NoteList* notes = currentList();
    return notes ? std::shared_ptr<const NoteList>(m_context.storeCache()->list, notes) : nullptr;
}

void PlistController::preloadList() { m_context.preloadStore(storePath()); }

std::optional<core::FileIdentity> PlistController::fileIdentity() { return core::FileIdentity::ofPath(storePath()); }

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

std::optional<std::size_t> PlistController::indexOfNoteWithPath(const std::string& path)
{
    const NoteList* notes = currentList();
    return notes ? indexWithPath(*notes, path) : std::nullopt;
}

std::optional<NoteRecord> PlistController::loadObjectWithPath(const std::string& path)
{
    auto index = indexOfNoteWithPath(path);
    return index ? loadObject(*index) : std::nullopt;
}

PlistController::Locate PlistController::withPath(const std::string& path)
{
    return [path](const NoteList& notes) { return indexWithPath(notes, path); };
}

core::Outcome PlistController::writeCachedList()
{
    auto& cache = m_context.storeCache();
    auto xml = core::PropertyListSerialization::dataFromPropertyList(*cache->list);
    std::optional<core::FileIdentity> written;
    if (!xml || !FileManager::writeAtomically(cache->path, *xml, &written)) {
        Log::system("Could not write data.plist");
        // The change is in the cached list only; the file holds the old one.
        cache.reset();
        return core::Error{core::Error::Kind::NotWritten,
                           "the notes file data.plist could not be written; the disk may be full or read-only"};
    }
    cache->identity = written;
    cache->bytes = std::move(*xml);
    return std::nullopt;
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
    std::string base = storePath() + ".unreadable-" + stamp.stringFromDate(core::Date::now(m_context.runLoop()));
    std::string aside = base;
    for (int n = 2; FileManager::fileExistsAtPath(aside); ++n)
        aside = base + "-" + std::to_string(n);
    if (FileManager::moveItemAtPath(storePath(), aside))
        Log::system("data.plist could not be read; it is kept as " + aside + " and a new store is started");
}

PlistController::NoteList* PlistController::listForNewNote()
{
    if (NoteList* notes = listToChange())
        return notes;
    if (!startAfresh())
        return nullptr;
    if (NoteList* fresh = listToChange())
        return fresh;
    // Not even the template: the note starts a list of its own.
    auto& own = m_context.storeCache().emplace(
        StoreCache{storePath(), std::nullopt, {}, std::make_shared<PropertyList>(NoteList{})});
    return own.list->array();
}

bool PlistController::startAfresh()
{
    StoreState state = storeState();
    // A store that cannot be opened (its permissions, an input error, no
    // regular file) may be whole: nothing is written over it.
    if (state == StoreState::CannotOpen) {
        Log::system("data.plist is left as it is: it cannot be read, so no change can be made to it");
        return false;
    }
    // One whose contents are damaged is kept beside the new one, never destroyed.
    if (state == StoreState::Damaged)
        keepUnreadableStoreAside();
    replaceWithTemplate();
    return true;
}

core::Outcome PlistController::saveObject(std::int64_t minutes, std::int64_t seconds, const std::string& path,
                                          std::uint64_t numPackets)
{
    std::int64_t rate = m_context.defaults().integerForKey("SampleRate");
    return insertNewNote(NewNote{"Note Name", "YellowIcon", path, minutes, seconds, numPackets, rate,
                                 core::Date::now(m_context.runLoop())});
}

core::Outcome PlistController::saveRecoveredObject(const std::string& path, std::uint64_t numPackets,
                                                   std::int64_t sampleRate, core::Date date)
{
    std::uint64_t length = sampleRate > 0 ? numPackets / std::uint64_t(sampleRate) : 0;
    return insertNewNote(NewNote{"Recovered Note Name", kRecoveredIcon, path, std::int64_t(length / 60),
                                 std::int64_t(length % 60), numPackets, sampleRate, date});
}

core::Outcome PlistController::insertNewNote(const NewNote& note)
{
    core::Outcome result;
    core::Outcome hadLock = locked([&] {
        NoteList* list = listForNewNote();
        if (!list) {
            result = core::Error{core::Error::Kind::Unreadable,
                                 "the notes file data.plist cannot be read, so nothing can be added to it"};
            return;
        }
        NoteList& notes = *list;
        constexpr auto kLargest = std::uint64_t(std::numeric_limits<std::int64_t>::max());
        PropertyList length = PropertyList::Array{note.minutes, note.seconds};
        auto packets = std::int64_t(std::min(note.numPackets, kLargest));
        // A recording made a note already (recovered at another start just
        // as its recorder saved it) stays one note.
        if (auto index = indexWithPath(notes, note.path); index && notes[*index].dictionary()) {
            NoteRecord& existing = *notes[*index].dictionary();
            existing[NoteKey::Lengh] = length;
            existing[NoteKey::NumPackets] = packets;
            existing[NoteKey::SampleRate] = note.sampleRate;
            result = writeCachedList();
            return;
        }
        std::int64_t noteID = nextNoteID(notes);
        NoteRecord record{
            {NoteKey::Title, core::localizedString(note.titleKey) + " " + std::to_string(noteID)},
            {NoteKey::Path, note.path},
            {NoteKey::Date, note.date},
            {NoteKey::Icon, note.icon},
            {NoteKey::Lengh, length},
            {NoteKey::NoteID, noteID},
            {NoteKey::NumPackets, packets},
            {NoteKey::SampleRate, note.sampleRate},
        };
        notes.insert(notes.begin(), PropertyList(std::move(record)));
        result = writeCachedList();
    });
    return hadLock ? hadLock : result;
}

core::Outcome PlistController::removeObjectWithPath(const std::string& path) { return removeRecord(withPath(path)); }

core::Outcome PlistController::changeLocated(const Locate& locate, const LocatedChange& change)
{
    core::Outcome result;
    core::Outcome hadLock = locked([&] {
        NoteList* notes = listToChange();
        auto index = notes ? locate(*notes) : std::nullopt;
        result = index ? change(*notes, *index) : core::Error{core::Error::Kind::NotFound, "the note is gone"};
    });
    return hadLock ? hadLock : result;
}

core::Outcome PlistController::removeRecord(const Locate& locate)
{
    return changeLocated(locate, [this](NoteList& notes, std::size_t index) {
        const NoteRecord* record = notes[index].dictionary();
        std::string name = record ? NoteField::string(*record, NoteKey::Path) : std::string();
        if (notes.size() == 1) {
            replaceWithTemplate();
            Log::printLine("Created new plist");
        } else {
            notes.erase(notes.begin() + std::ptrdiff_t(index));
            Log::printLine("Object removed");
            if (auto failed = writeCachedList())
                return failed;
        }
        Log::printLine("Data.plist changed");
        // Only once the note is gone from the store: a store that could
        // not be written keeps a note whose recording is still there.
        if (const NoteList* remaining = currentList())
            removeAudioFileUnlessNamedElsewhere(*remaining, name);
        return core::Outcome();
    });
}

std::optional<std::string> PlistController::audioFilePath(const std::string& notePath)
{
    auto file = core::Paths::documentsFilePath(notePath);
    if (!file)
        return std::nullopt;
    std::string name = std::filesystem::path(*file).filename().string();
    bool storesOwn = name == "data.plist" || name.starts_with("data.plist.") || name.starts_with(".data.plist.");
    return storesOwn ? std::nullopt : file;
}

void PlistController::removeAudioFileUnlessNamedElsewhere(const NoteList& notes, const std::string& name)
{
    auto file = audioFilePath(name);
    if (!file) {
        Log::system("The note named no audio file of its own in Documents; no file removed");
        return;
    }
    // A store written by hand may give two notes one file: the other keeps it.
    if (!indexWithPath(notes, name))
        removeAudioFile(*file);
}

void PlistController::removeAudioFile(const std::string& file)
{
    if (!FileManager::removeRegularFileAtPath(file) && FileManager::fileExistsAtPath(file))
        Log::system("Kept " + file + ": it is not an audio file that a note could own");
}

core::Outcome PlistController::editRecord(const Locate& locate, const std::function<void(NoteRecord&)>& change)
{
    return changeLocated(locate, [&](NoteList& notes, std::size_t index) {
        NoteRecord* record = notes[index].dictionary();
        if (!record) {
            Log::system("Note " + std::to_string(index) + " in data.plist is not a record; left unchanged");
            return core::Outcome(core::Error{core::Error::Kind::Unreadable, "the note in data.plist is no record"});
        }
        change(*record);
        return writeCachedList();
    });
}

namespace {

// A name is one line: a pasted tab or line break becomes a space.
std::string oneLine(std::string text)
{
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
    return text;
}

// What the person typed, as the file can hold it: characters XML forbids
// are left out here, so the note in memory is the note on disk.
std::function<void(NoteRecord&)> renameOrRecolour(const std::string& newName, const std::string& icon)
{
    return [newName, icon](NoteRecord& record) {
        if (icon == "NO")
            record[NoteKey::Title] = oneLine(core::XmlPropertyListWriter::xmlCharacters(newName));
        else
            record[NoteKey::Icon] = icon;
    };
}

std::function<void(NoteRecord&)> setInfo(const std::string& newInfo)
{
    return
        [newInfo](NoteRecord& record) { record[NoteKey::Info] = core::XmlPropertyListWriter::xmlCharacters(newInfo); };
}

std::function<void(NoteRecord&)> setAlert(std::optional<core::Date> newDate)
{
    return [newDate](NoteRecord& record) {
        if (newDate)
            record[NoteKey::Alert] = *newDate;
        else
            record.erase(NoteKey::Alert);
    };
}

std::function<void(NoteRecord&)> setMark(bool remove)
{
    return [remove](NoteRecord& record) {
        if (remove)
            record.erase(NoteKey::CheckPlay);
        else
            record[NoteKey::CheckPlay] = 1;
    };
}

} // namespace

core::Outcome PlistController::editObjectWithPath(const std::string& path, const std::string& newName,
                                                  const std::string& icon)
{
    return editRecord(withPath(path), renameOrRecolour(newName, icon));
}

core::Outcome PlistController::editInfoWithPath(const std::string& path, const std::string& newInfo)
{
    return editRecord(withPath(path), setInfo(newInfo));
}

core::Outcome PlistController::editDateAlertWithPath(const std::string& path, std::optional<core::Date> newDate)
{
    return editRecord(withPath(path), setAlert(newDate));
}

core::Outcome PlistController::editBadgeWithPath(const std::string& path, bool remove)
{
    return editRecord(withPath(path), setMark(remove));
}

std::vector<std::string> PlistController::orphanAudioFiles()
{
    std::set<std::string> named;
    StoreState state;
    const NoteList* notes = currentList(&state);
    // Without the list, every recording would look like one no note names.
    if (!notes && state != StoreState::Missing)
        return {};
    for (const auto& note : notes ? *notes : NoteList{}) {
        if (const NoteRecord* record = note.dictionary())
            named.insert(std::filesystem::path(NoteField::string(*record, NoteKey::Path)).filename().string());
    }
    std::vector<std::string> orphans;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(core::Paths::documentsDirectory(), error)) {
        std::string name = entry.path().filename().string();
        std::error_code typeError;
        if (entry.path().extension() == ".aif"
            && entry.symlink_status(typeError).type() == std::filesystem::file_type::regular && !named.count(name)
            && !isBeingRecorded(entry.path()))
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
    locked([this] {
        std::string documents = core::Paths::documentsDirectory();
        if (FileManager::createDirectoryAtPath(documents))
            Log::system("created Documents dir");
        std::set<std::string> files;
        if (const NoteList* notes = currentList()) {
            for (const auto& note : *notes) {
                const NoteRecord* record = note.dictionary();
                if (auto file = record ? audioFilePath(NoteField::string(*record, NoteKey::Path)) : std::nullopt)
                    files.insert(*file);
            }
        }
        // Recordings no note names yet would come back as notes at the next start.
        for (const auto& orphan : orphanAudioFiles())
            files.insert((std::filesystem::path(documents) / orphan).string());
        // But one being made now, in this process or another, stays: it
        // becomes a note when its recorder saves it.
        for (const auto& file : files) {
            if (!isBeingRecorded(file))
                removeAudioFile(file);
        }
        startAfresh();
    });
}
