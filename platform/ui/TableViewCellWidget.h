#pragma once

#include <QWidget>

namespace ui {

class TableViewCell;

// The widget behind a cell: turns clicks and horizontal drags into taps
// and swipes.
class TableViewCellWidget : public QWidget {
public:
    explicit TableViewCellWidget(TableViewCell& cell);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // The separator under the row.
    void paintEvent(QPaintEvent* event) override;

private:
    static constexpr int kSwipeDistance = 40;

    TableViewCell& m_cell;
    QPoint m_pressPosition;
    bool m_swiped = false;
};

} // namespace ui
