#pragma once

#include <QWidget>

#include <functional>

namespace ui {

class View;

// The Qt widget behind a plain view: lets the view draw itself.
class ViewWidget : public QWidget {
public:
    explicit ViewWidget(View& view);

    std::function<void()> on_close;

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    View& m_view;
};

} // namespace ui
