#include "Classes/NoteModel.h"

#include <unordered_map>
#include <unordered_set>
#include <utility>

struct NoteModel::Subscription::Observers {
    std::map<int, Observer> byId;
    int next = 1;
};

NoteModel::Subscription::Subscription(std::weak_ptr<Observers> observers, int id)
    : m_observers(std::move(observers))
    , m_id(id)
{
}

NoteModel::Subscription::Subscription(Subscription&& other) noexcept
    : m_observers(std::move(other.m_observers))
    , m_id(other.m_id)
{
    other.m_observers.reset();
}

NoteModel::Subscription& NoteModel::Subscription::operator=(Subscription&& other) noexcept
{
    if (this != &other) {
        end();
        m_observers = std::move(other.m_observers);
        m_id = other.m_id;
        other.m_observers.reset();
    }
    return *this;
}

NoteModel::Subscription::~Subscription() { end(); }

void NoteModel::Subscription::end()
{
    if (auto observers = m_observers.lock())
        observers->byId.erase(m_id);
    m_observers.reset();
}

NoteModel::NoteModel()
    : m_observers(std::make_shared<Subscription::Observers>())
{
}

NoteModel::~NoteModel() = default;

NoteModel::Subscription NoteModel::observe(Observer observer)
{
    int id = m_observers->next++;
    m_observers->byId.emplace(id, std::move(observer));
    return Subscription(m_observers, id);
}

std::optional<Note> NoteModel::note(const std::string& path) const
{
    for (const auto& note : m_notes) {
        if (note.path == path)
            return note;
    }
    return std::nullopt;
}

PlistController::Result NoteModel::rename(const std::string& path, const std::string& name)
{
    return changed(PlistController().editObjectWithPath(path, name, "NO"), Source::Here);
}

PlistController::Result NoteModel::setIcon(const std::string& path, const std::string& icon)
{
    return changed(PlistController().editObjectWithPath(path, "", icon), Source::Here);
}

PlistController::Result NoteModel::setText(const std::string& path, const std::string& text)
{
    return changed(PlistController().editInfoWithPath(path, text), Source::Here);
}

PlistController::Result NoteModel::setAlert(const std::string& path, std::optional<core::Date> alert, Source source)
{
    return changed(PlistController().editDateAlertWithPath(path, alert), source);
}

PlistController::Result NoteModel::setMarked(const std::string& path, bool marked, Source source)
{
    return changed(PlistController().editBadgeWithPath(path, !marked), source);
}

PlistController::Result NoteModel::remove(const std::string& path)
{
    return changed(PlistController().removeObjectWithPath(path), Source::Here);
}

// A note found gone is news as well: another process removed it.
PlistController::Result NoteModel::changed(PlistController::Result result, Source source)
{
    refresh(result == PlistController::Result::NoSuchNote ? Source::Elsewhere : source);
    return result;
}

void NoteModel::refresh(Source source)
{
    if (m_telling) {
        m_pending = source;
        return;
    }
    for (std::optional<Source> next = source; next; next = std::exchange(m_pending, std::nullopt)) {
        auto read = PlistController().snapshot();
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
    if (changes.empty())
        return;
    m_telling = true;
    // An observer may end its own or another's subscription meanwhile.
    std::vector<int> ids;
    for (const auto& [id, observer] : m_observers->byId)
        ids.push_back(id);
    for (const auto& change : changes) {
        for (int id : ids) {
            auto found = m_observers->byId.find(id);
            if (found == m_observers->byId.end())
                continue;
            Observer observer = found->second;
            observer(change);
        }
    }
    m_telling = false;
}
