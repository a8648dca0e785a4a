#pragma once

#include "Classes/PlistController.h"

#include <cstddef>
#include <string>

// The audio file of the note at that row of the store now; empty when the
// store has no such row (a change to it then finds no note).
inline std::string notePathAt(PlistController store, std::size_t index)
{
    auto note = store.loadObject(index);
    return note ? NoteField::string(*note, NoteKey::Path) : std::string();
}
