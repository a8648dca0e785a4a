#include "platform/ui/TableViewController.h"

namespace ui {

TableViewController::TableViewController(TableViewStyle style)
    : m_style(style)
{
}

void TableViewController::loadView()
{
    auto table = std::make_shared<TableView>(kContentFrame, m_style);
    table->setDataSource(this);
    table->setDelegate(this);
    setView(table);
    table->setEditing(isEditing(), false);
    configureTableView(*table);
    table->reloadData();
}

TableView& TableViewController::tableView() { return static_cast<TableView&>(*view()); }

void TableViewController::setEditing(bool editing, bool animated)
{
    ViewController::setEditing(editing, animated);
    if (isViewLoaded())
        tableView().setEditing(editing, animated);
}

} // namespace ui
