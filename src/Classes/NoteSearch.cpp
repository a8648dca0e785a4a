#include "Classes/NoteSearch.h"

#include "Classes/NoteRecord.h"

void NoteSearch::prepare(const std::shared_ptr<const PlistController::NoteList>& notes)
{
    if (!notes || notes == m_keyed)
        return;
    m_keyed = notes;
    m_keys.clear();
    m_keys.reserve(notes->size());
    for (const auto& entry : *notes) {
        const NoteRecord* note = entry.dictionary();
        // A line break between them: no word runs from the name into the text.
        m_keys.push_back(note ? core::SearchText::folded(NoteField::string(*note, NoteKey::Title) + "\n"
                                                         + NoteField::string(*note, NoteKey::Info))
                              : std::string());
    }
}

std::vector<std::size_t> NoteSearch::matches(const std::shared_ptr<const PlistController::NoteList>& notes)
{
    std::vector<std::size_t> found;
    if (!notes)
        return found;
    if (!active()) {
        for (std::size_t i = 0; i < notes->size(); ++i)
            found.push_back(i);
        return found;
    }
    prepare(notes);
    for (std::size_t i = 0; i < m_keys.size(); ++i) {
        if (m_search.matchesFolded(m_keys[i]))
            found.push_back(i);
    }
    return found;
}
