// The start-up benchmark's floor: an empty Qt window of the application's
// size (320 × 480), started and timed the same way as the application.

#include "platform/ui/FirstFrameProbe.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QWidget window;
    window.setFixedSize(320, 480);
    ui::FirstFrameProbe::watchIfAsked(window);
    window.show();
    return application.exec();
}
