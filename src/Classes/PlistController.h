#pragma once

#include "Classes/NoteRecord.h"

#include "platform/core/Date.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// The note store: data.plist in the Documents directory, newest note
// first. Every operation reads the file as it is now (its parsed list is
// reused while the file is unchanged, whoever changed it) and every change
// writes the whole list back atomically, so any number of PlistController
// objects, and other processes, see the same notes.
class PlistController {
public:
    using NoteList = core::PropertyList::Array;

    static constexpr std::int64_t kMaxNoteID = 50;

    // Creates the store from the template when there is none.
    void checkPlistFile();
    // Replaces the store with the template.
    void createNewPlist();
    // The whole list, or none when the store cannot be read.
    std::optional<NoteList> getPlistObject();
    std::size_t countInPlist();
    // The record at the index, or none when there is no such record.
    std::optional<NoteRecord> loadObject(std::size_t index);

    // Whether the note reached the disk (a full or read-only disk stops it).
    bool saveObject(std::int64_t minutes, std::int64_t seconds, const std::string& path, std::uint64_t numPackets);
    void removeObjectAtIndex(std::size_t index);
    // A rename when icon is "NO"; otherwise an icon change that ignores name.
    void editObjectAtIndex(std::size_t index, const std::string& newName, const std::string& icon);
    void editInfoAtIndex(std::size_t index, const std::string& newInfo);
    // No date removes the alert.
    void editDateAlertAtIndex(std::size_t index, std::optional<core::Date> newDate);
    // Sets the overdue-alert marker, or removes it; the badge is the caller's.
    void editBadgeatObjectatIndex(std::size_t index, bool remove);
    // Wipes every note and recording and starts a fresh store.
    void deleteAll();
    // Audio files in Documents that no note names (left by a process that
    // ended before it could store its note), by name.
    std::vector<std::string> orphanAudioFiles();
    // Removes the copies of data.plist that writes cut short by a crash
    // left beside it (only those a minute old: a younger one may be
    // another process's write under way); their names.
    std::vector<std::string> removeUnfinishedWrites();

private:
    static std::string storePath();
    // The store's list as it is on disk now (the cached one while the file
    // is unchanged); none when it cannot be read. A change is made to it
    // in place and then written with writeCachedList().
    static NoteList* currentList();
    static std::int64_t nextNoteID(const NoteList& notes);
    // Writes the changed list; when that fails the change is forgotten.
    // Whether it reached the disk.
    bool writeCachedList();
    void editRecord(std::size_t index, const std::function<void(NoteRecord&)>& change);
    NoteList& listForNewNote();
    void keepUnreadableStoreAside();
};
