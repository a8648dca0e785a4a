#pragma once

#include "Classes/NoteRecord.h"

#include "platform/core/Date.h"
#include "platform/core/Error.h"
#include "platform/core/FileIdentity.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class AppContext;

// The note store: data.plist in the Documents directory, newest note
// first. Every operation reads the file as it is now (its parsed list is
// reused while the file is unchanged, whoever changed it). Every change
// takes the store's lock, which all processes share (data.plist.lock
// beside it), reads the list again under it and writes the whole list
// back atomically, so no process loses another's change and none ever
// sees half a list.
//
// A note's identity is its "Path": a change finds its note again under the
// lock and changes nothing when it has gone.
class PlistController {
public:
    using NoteList = core::PropertyList::Array;

    static constexpr std::int64_t kMaxNoteID = 50;
    // How long a change waits, at most, for another process's change.
    static constexpr double kLockWaitSeconds = 10;

    // The context keeps the parsed list for every controller of its run.
    explicit PlistController(AppContext& context)
        : m_context(context)
    {
    }

    // Creates the store from the template when there is none.
    void checkPlistFile();
    // Starts reading the store on a thread of its own, for the first read
    // to take: the window's toolkit starts meanwhile.
    void preloadList();
    // Replaces the store with the template.
    void createNewPlist();
    enum class StoreState {
        Readable,
        Missing,
        // It is there but cannot be opened or read: its permissions, an
        // input error, something that is no regular file.
        CannotOpen,
        // Read, but it holds no list of notes.
        Damaged,
    };
    StoreState storeState();
    // The whole list, or none when the store cannot be read.
    std::optional<NoteList> getPlistObject();
    // The same without a copy: it stays as it is while held, whatever
    // changes the store afterwards.
    std::shared_ptr<const NoteList> snapshot();
    std::size_t countInPlist();
    // Which write of the store is on disk now: another once anybody changed it.
    std::optional<core::FileIdentity> fileIdentity();
    // The record at the index, or none when there is no such record.
    std::optional<NoteRecord> loadObject(std::size_t index);
    // Where the note with that audio file is now, and its record.
    std::optional<std::size_t> indexOfNoteWithPath(const std::string& path);
    std::optional<NoteRecord> loadObjectWithPath(const std::string& path);

    // Done once the note reached the disk; else why not (the lock held by
    // another program, a full or read-only disk, a store that cannot be read).
    core::Outcome saveObject(std::int64_t minutes, std::int64_t seconds, const std::string& path,
                             std::uint64_t numPackets);
    // A recording that no note names, made a note of its own: "Recovered
    // note N" with the orange icon, its length from its packets.
    core::Outcome saveRecoveredObject(const std::string& path, std::uint64_t numPackets, std::int64_t sampleRate,
                                      core::Date date);
    static constexpr const char* kRecoveredIcon = "OrangeIcon";
    // Changes to the note with that audio file wherever it is now. A
    // rename when icon is "NO"; otherwise an icon change that ignores name.
    // No date removes the alert. The overdue-alert marker is set, or
    // removed with remove; the badge is the caller's. No error when the
    // change was written; NotFound when the note has gone, NotWritten when
    // the store could not be changed.
    core::Outcome removeObjectWithPath(const std::string& path);
    core::Outcome editObjectWithPath(const std::string& path, const std::string& newName, const std::string& icon);
    core::Outcome editInfoWithPath(const std::string& path, const std::string& newInfo);
    core::Outcome editDateAlertWithPath(const std::string& path, std::optional<core::Date> newDate);
    core::Outcome editBadgeWithPath(const std::string& path, bool remove);

    // Where the audio file a note's "Path" names is: a plain name directly
    // in Documents that is none of the store's own files. A hostile or
    // broken note names nothing, so nothing else is ever played, sent or
    // removed as its audio.
    static std::optional<std::string> audioFilePath(const std::string& notePath);

    // Removes every note with its audio file, and the recordings no note
    // names yet, then starts a fresh store; anything else in Documents
    // (a store kept aside, the person's own files) stays.
    void deleteAll();
    // Audio files in Documents that no note names (left by a process that
    // ended before it could store its note), by name.
    std::vector<std::string> orphanAudioFiles();
    // Removes the copies of data.plist that writes cut short by a crash
    // left beside it (only those a minute old: a younger one may be
    // another process's write under way); their names.
    std::vector<std::string> removeUnfinishedWrites();
    void setLockWait(double seconds) { m_lockWait = seconds; }

private:
    // Finds the record a change is for in the list as it is now.
    using Locate = std::function<std::optional<std::size_t>(const NoteList&)>;

    static std::string storePath();
    static std::string lockPath();
    // The store's list as it is on disk now (the cached one while the file
    // is unchanged); none when it cannot be read.
    const NoteList* currentList(StoreState* state = nullptr);
    // The same, for a change made in place and then written with
    // writeCachedList(); no snapshot handed out sees the change.
    NoteList* listToChange();
    static std::int64_t nextNoteID(const NoteList& notes);
    static Locate withPath(const std::string& path);
    // Runs the change under the store's lock; NotWritten when the lock was not had.
    core::Outcome locked(const std::function<void()>& change);
    // Writes the changed list; when that fails the change is forgotten.
    core::Outcome writeCachedList();
    // Runs the change under the lock on the record found there now.
    using LocatedChange = std::function<core::Outcome(NoteList&, std::size_t index)>;
    core::Outcome changeLocated(const Locate& locate, const LocatedChange& change);
    core::Outcome editRecord(const Locate& locate, const std::function<void(NoteRecord&)>& change);
    core::Outcome removeRecord(const Locate& locate);
    struct NewNote {
        const char* titleKey;
        std::string icon;
        std::string path;
        std::int64_t minutes;
        std::int64_t seconds;
        std::uint64_t numPackets;
        std::int64_t sampleRate;
        core::Date date;
    };
    core::Outcome insertNewNote(const NewNote& note);
    void removeAudioFileUnlessNamedElsewhere(const NoteList& notes, const std::string& name);
    static void removeAudioFile(const std::string& file);
    void replaceWithTemplate();
    // None when the store cannot be read and so cannot take the note.
    NoteList* listForNewNote();
    // A new list from the template, the damaged one kept aside; false, and
    // nothing written, while the store cannot be read at all.
    bool startAfresh();
    void keepUnreadableStoreAside();

    AppContext& m_context;
    double m_lockWait = kLockWaitSeconds;
};
