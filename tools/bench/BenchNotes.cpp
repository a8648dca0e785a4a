#include "BenchNotes.h"

#include "Classes/NoteRecord.h"
#include "Classes/PlistController.h"

#include "platform/core/FileManager.h"
#include "platform/core/Paths.h"
#include "platform/core/PropertyListSerialization.h"

std::string BenchNotes::storePath() { return core::Paths::documentsDirectory() + "/data.plist"; }

bool BenchNotes::fill(AppContext& context, std::size_t count)
{
    PlistController store(context);
    core::FileManager::removeItemAtPath(storePath());
    store.saveObject(0, 5, audioName(0), 40000);
    auto saved = store.getPlistObject();
    if (!saved || saved->empty() || !saved->front().dictionary())
        return false;
    PlistController::NoteList notes;
    notes.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        NoteRecord record = *saved->front().dictionary();
        record[NoteKey::Title] = "Note " + std::to_string(count - i);
        record[NoteKey::Path] = audioName(i);
        record[NoteKey::NoteID] = std::int64_t((count - i - 1) % PlistController::kMaxNoteID + 1);
        notes.emplace_back(std::move(record));
    }
    auto xml = core::PropertyListSerialization::dataFromPropertyList(core::PropertyList(std::move(notes)));
    return xml && core::FileManager::writeAtomically(storePath(), *xml);
}
