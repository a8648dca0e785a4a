// The start-up benchmark's floor: a Qt Widgets program that shows one label
// in a window of the application's size (320 × 480) and quits after its
// first paint, started and timed the same way as the application.

#include "platform/ui/FirstFrameProbe.h"

#include <QApplication>
#include <QLabel>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QLabel window("Voice Notes");
    window.setFixedSize(320, 480);
    ui::FirstFrameProbe::watchIfAsked(window);
    window.show();
    return application.exec();
}
