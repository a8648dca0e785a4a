#pragma once

#include "Classes/Note.h"
#include "Classes/PlistController.h"

#include "platform/core/ObserverList.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The notes as the store has them, and the one way the window changes
// them. Each change is the store's own field-wise change under its lock
// (a rename changes the name and nothing else); afterwards, and whenever
// another process may have written the store, the model reads it again
// and tells its observers which notes were added, removed or changed in
// which fields, and by whom: the source of the reading that found it (a
// change here also brings what another process wrote just before).
class NoteModel {
public:
    enum class Source { Here, Elsewhere, Alert };
    struct Change {
        enum class Kind { Added, Removed, Changed };
        Kind kind;
        std::string path;
        // Note::Field bits; all of them for an added or removed note.
        unsigned fields;
        Source source;
    };
    // Empty until the first refresh(). The context outlives the model.
    explicit NoteModel(AppContext& context);
    ~NoteModel();
    NoteModel(const NoteModel&) = delete;
    NoteModel& operator=(const NoteModel&) = delete;

    [[nodiscard]] core::Subscription observe(std::function<void(const Change&)> observer);

    // Newest first, as last read.
    const std::vector<Note>& notes() const { return m_notes; }
    // The same as the store's records; an empty list when the store could
    // not be read.
    std::shared_ptr<const PlistController::NoteList> records() const;
    std::optional<Note> note(const std::string& path) const;
    // The note as the store has it now, whatever was last read.
    std::optional<Note> storedNote(const std::string& path) const;

    // A new recording's note; done once it reached the disk, else why not.
    core::Outcome add(std::int64_t minutes, std::int64_t seconds, const std::string& path, std::uint64_t numPackets);

    core::Outcome rename(const std::string& path, const std::string& name);
    core::Outcome setIcon(const std::string& path, const std::string& icon);
    core::Outcome setText(const std::string& path, const std::string& text);
    // No date removes the alert.
    core::Outcome setAlert(const std::string& path, std::optional<core::Date> alert, Source source = Source::Here);
    core::Outcome setMarked(const std::string& path, bool marked, Source source = Source::Here);
    core::Outcome remove(const std::string& path);
    // Every note with its audio file.
    void removeAll();

    // Reads the store again and tells what differs from the last reading.
    void refresh(Source source);

private:
    PlistController store() const { return PlistController(m_context); }
    core::Outcome changed(core::Outcome result, Source source);
    std::vector<Change> differences(const std::vector<Note>& now, Source source) const;
    void tell(const std::vector<Change>& changes);

    AppContext& m_context;
    core::ObserverList<Change> m_observers;
    std::shared_ptr<const PlistController::NoteList> m_read;
    std::vector<Note> m_notes;
    // A change made by an observer while others are told is told after them.
    bool m_telling = false;
    std::optional<Source> m_pending;
};
