#pragma once

#include "Classes/NoteRecord.h"

#include "platform/ui/TableViewController.h"

// The editor of one note, pushed on the browser from a row's detail button.
class DetailController : public ui::TableViewController {
public:
    DetailController();

    void setIndex(std::size_t index) { m_index = index; }
    std::size_t index() const { return m_index; }
    void setObjectDictionary(NoteRecord note);
    const NoteRecord& objectDictionary() const { return m_objectDictionary; }

    int numberOfRowsInSection(ui::TableView&, int) override { return 0; }
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView&, ui::IndexPath) override { return nullptr; }

private:
    std::size_t m_index = 0;
    NoteRecord m_objectDictionary;
};
