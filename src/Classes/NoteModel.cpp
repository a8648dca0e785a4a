#include "Classes/NoteModel.h"

#include <unordered_map>
#include <unordered_set>
#include <utility>

NoteModel::NoteModel(AppContext& context)
    : m_context(context)
{
}

NoteModel::~NoteModel() = default;

core::Subscription NoteModel::observe(std::function<void(const Change&)> observer)
{
    return m_observers.add(std::move(observer));
}

std::optional<Note> NoteModel::note(const std::string& path) const
{
    for (const auto& note : m_notes) {
        if (note.path == path)
            return note;
    }
    return std::nullopt;
}

std::shared_ptr<const PlistController::NoteList> NoteModel::records() const
{
    return m_read ? m_read : std::make_shared<const PlistController::NoteList>();
}

std::optional<Note> NoteModel::storedNote(const std::string& path) const
{
    auto record = store().loadObjectWithPath(path);
    return record ? std::optional(Note::fromRecord(*record)) : std::nullopt;
}

core::Outcome NoteModel::add(std::int64_t minutes, std::int64_t seconds, const std::string& path,
                             std::uint64_t numPackets)
{
    core::Outcome saved = store().saveObject(minutes, seconds, path, numPackets);
    refresh(Source::Here);
    return saved;
}

core::Outcome NoteModel::rename(const std::string& path, const std::string& name)
{
    return changed(store().editObjectWithPath(path, name, "NO"), Source::Here);
}

core::Outcome NoteModel::setIcon(const std::string& path, const std::string& icon)
{
    return changed(store().editObjectWithPath(path, "", icon), Source::Here);
}

core::Outcome NoteModel::setText(const std::string& path, const std::string& text)
{
    return changed(store().editInfoWithPath(path, text), Source::Here);
}

core::Outcome NoteModel::setAlert(const std::string& path, std::optional<core::Date> alert, Source source)
{
    return changed(store().editDateAlertWithPath(path, alert), source);
}

core::Outcome NoteModel::setMarked(const std::string& path, bool marked, Source source)
{
    return changed(store().editBadgeWithPath(path, !marked), source);
}

core::Outcome NoteModel::remove(const std::string& path)
{
    return changed(store().removeObjectWithPath(path), Source::Here);
}

void NoteModel::removeAll()
{
    store().deleteAll();
    refresh(Source::Here);
}

core::Outcome NoteModel::changed(core::Outcome result, Source source)
{
    refresh(source);
    return result;
}

void NoteModel::refresh(Source source)
{
    if (m_telling) {
        m_pending = source;
        return;
    }
    for (std::optional<Source> next = source; next; next = std::exchange(m_pending, std::nullopt)) {
        auto read = store().snapshot();
        if (read == m_read)
            continue;
        std::vector<Note> now;
        if (read) {
            now.reserve(read->size());
            for (const auto& value : *read) {
                if (const auto* record = value.dictionary())
                    now.push_back(Note::fromRecord(*record));
            }
        }
        auto changes = differences(now, *next);
        m_read = std::move(read);
        m_notes = std::move(now);
        tell(changes);
    }
}

std::vector<NoteModel::Change> NoteModel::differences(const std::vector<Note>& now, Source source) const
{
    constexpr unsigned kAllFields = ~0U;
    std::unordered_map<std::string, const Note*> before;
    for (const auto& note : m_notes)
        before.emplace(note.path, &note);
    // A path written twice (a hand-made store) is told once.
    std::unordered_set<std::string> told;
    std::vector<Change> changes;
    for (const auto& note : now) {
        if (!told.insert(note.path).second)
            continue;
        auto found = before.find(note.path);
        if (found == before.end())
            changes.push_back({Change::Kind::Added, note.path, kAllFields, source});
        else if (unsigned fields = note.fieldsDifferentFrom(*found->second))
            changes.push_back({Change::Kind::Changed, note.path, fields, source});
    }
    for (const auto& note : m_notes) {
        if (told.insert(note.path).second)
            changes.push_back({Change::Kind::Removed, note.path, kAllFields, source});
    }
    return changes;
}

void NoteModel::tell(const std::vector<Change>& changes)
{
    m_telling = true;
    for (const auto& change : changes)
        m_observers.tell(change);
    m_telling = false;
}
