#pragma once

#include "Classes/BrowserOwner.h"

#include "platform/ui/BarButtonItem.h"

#include <memory>
#include <string>

class DetailController;

// What the notes list asks of the browser it sits in, which it knows only
// through this.
class ListOwner : public BrowserOwner {
public:
    // The toolbar's button shows the item.
    virtual void showToolbarItem(ui::BarButtonSystemItem item) = 0;
    // The audio file of the note whose details are open; empty when none.
    virtual std::string openNotePath() const = 0;
    virtual void reloadLabel(bool create) = 0;
    // The details of a note, over the list.
    virtual void showDetails(const std::shared_ptr<DetailController>& detail) = 0;
    // A note was deleted by another process: the person is told.
    virtual void noteDeletedElsewhere() = 0;
    // The search over the list closes; every note shows again.
    virtual void endSearch() = 0;
};
