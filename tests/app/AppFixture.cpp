#include "AppFixture.h"
#include "TestContext.h"

#include "Classes/AppContext.h"
#include "Classes/RootViewController.h"
#include "Classes/TableNavigationController.h"

#include "platform/core/UserDefaults.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Window.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QPixmap>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdlib>

AppFixture::AppFixture()
{
    testContext().useAudioDevice(*device);
    testContext().defaults().setInteger(8000, "SampleRate");
}

AppFixture::~AppFixture()
{
    ui::ModalPanel::closeAll();
    // Before the fixture's device goes.
    testContext().sounds().stopAll();
}

void AppFixture::TearDown()
{
    for (const auto& stray : m_strayWindows.strays())
        ADD_FAILURE() << "a view was shown as a window of its own: " << stray;
}

void AppFixture::launch(double settle)
{
    delegate = std::make_unique<AppDelegate>(testContext());
    application.setDelegate(delegate.get());
    application.finishLaunching();
    if (QGuiApplication::platformName() == "xcb")
        waitUntilActive();
    clock.advance(settle);
}

// On an X server the shown window takes the keyboard focus, as on a
// desktop, and focus then moves between controls as a user sees it. The
// offscreen runs leave it inactive: there each control is tested apart
// from the focus. The X server's answers come through the toolkit's queue.
void AppFixture::waitUntilActive()
{
    QWidget* window = delegate->window()->widget();
    QDeadlineTimer limit(20000);
    while (!window->isActiveWindow() && !limit.hasExpired())
        QGuiApplication::processEvents(QEventLoop::AllEvents, 50);
    ASSERT_TRUE(window->isActiveWindow()) << "the window was not activated within 20 s";
}

RootViewController& AppFixture::root() { return *delegate->rootViewController(); }

TableNavigationController& AppFixture::browser() { return *root().myNavigationController(); }

TableViewController& AppFixture::list() { return *browser().tableViewController(); }

std::vector<std::shared_ptr<ui::AlertView>> AppFixture::alerts()
{
    std::vector<std::shared_ptr<ui::AlertView>> found;
    for (auto& panel : ui::ModalPanel::visiblePanels()) {
        if (auto alert = std::dynamic_pointer_cast<ui::AlertView>(panel))
            found.push_back(alert);
    }
    return found;
}

void AppFixture::screenshot(const std::string& name)
{
    if (const char* dir = std::getenv("VOICENOTES_SCREENSHOTS"))
        delegate->window()->widget()->grab().save(QString::fromUtf8(dir) + "/" + QString::fromStdString(name) + ".png");
}
