#pragma once

#include "Classes/PlistController.h"

#include "platform/core/SearchText.h"

#include <memory>
#include <string>
#include <vector>

// Which notes a search finds, by name and by the note's text, whatever
// their case and accents. The searched form of a list's notes is made on
// its first search and kept while the list is the same, so a keystroke
// only compares.
class NoteSearch {
public:
    void setText(const std::string& typed) { m_search = core::SearchText(typed); }
    // Something is searched for: the list shows the matches only.
    bool active() const { return !m_search.empty(); }
    // The positions in the list of the notes that match, in the list's order.
    std::vector<std::size_t> matches(const std::shared_ptr<const PlistController::NoteList>& notes);
    // Makes the searched form of the list's notes ahead of the first keystroke.
    void prepare(const std::shared_ptr<const PlistController::NoteList>& notes);
    // Where the words are in a note's name, to be marked.
    std::vector<core::TextRange> rangesIn(const std::string& name) const { return m_search.rangesIn(name); }

private:
    core::SearchText m_search;
    std::shared_ptr<const PlistController::NoteList> m_keyed;
    std::vector<std::string> m_keys;
};
