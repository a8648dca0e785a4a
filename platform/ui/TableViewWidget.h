#pragma once

#include <QWidget>

class QScrollBar;

namespace ui {

class TableView;

// The widget behind a table: paints the background and the grouped
// sections, scrolls with the wheel and with a scroll bar at its edge (also
// the way assistive technologies reach the rows out of sight), and moves
// the keyboard's row with the arrows.
class TableViewWidget : public QWidget {
public:
    explicit TableViewWidget(TableView& table);

    // The scroll bar follows the table's offset and height; shown only
    // when there is something to scroll to.
    void updateScrollBar();

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    TableView& m_table;
    QScrollBar* m_scrollBar;
};

} // namespace ui
