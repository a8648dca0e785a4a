#pragma once

#include <QWidget>

namespace ui {

class TableView;

// The widget behind a table: paints the background, the grouped sections
// and their titles, and scrolls with the wheel.
class TableViewWidget : public QWidget {
public:
    explicit TableViewWidget(TableView& table);

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void paintTitle(QPainter& painter, double top, double height, const std::string& text, bool header);

    TableView& m_table;
};

} // namespace ui
