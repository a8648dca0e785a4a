#pragma once

#include <QWidget>

#include <functional>

namespace ui {

class View;

// The Qt widget behind a plain view: lets the view draw itself.
class ViewWidget : public QWidget {
public:
    explicit ViewWidget(View& view);
    View& view() const { return m_view; }

    std::function<void()> on_close;
    // A key no focused control took; true when it was used.
    std::function<bool(QKeyEvent&)> on_keyPress;

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    View& m_view;
};

} // namespace ui
