#pragma once

#include "platform/ui/TableView.h"
#include "platform/ui/ViewController.h"

namespace ui {

// A screen that is one table, and its table's data source and delegate.
class TableViewController : public ViewController, public TableViewDataSource, public TableViewDelegate {
public:
    explicit TableViewController(TableViewStyle style);

    void loadView() override;
    void setEditing(bool editing, bool animated) override;

    TableView& tableView();
    TableViewStyle tableStyle() const { return m_style; }

protected:
    // Settings of a new table (row height...) before it first loads its rows.
    virtual void configureTableView(TableView&) { }

private:
    TableViewStyle m_style;
};

} // namespace ui
