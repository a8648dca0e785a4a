#include "DetailController.h"

DetailController::DetailController()
    : ui::TableViewController(ui::TableViewStyle::Grouped)
{
}

void DetailController::setObjectDictionary(NoteRecord note)
{
    m_objectDictionary = std::move(note);
    setTitle(NoteField::string(m_objectDictionary, NoteKey::Title));
}
