#pragma once

#include "Classes/AppDelegate.h"

#include "StrayWindowWatch.h"
#include "TestContext.h"

#include "support/AudioFixture.h"

#include "platform/ui/Application.h"

#include <memory>
#include <string>
#include <vector>

namespace ui {
class AlertView;
}
class RootViewController;
class TableNavigationController;
class TableViewController;

// The whole application in the test's process, on the virtual clock and
// the virtual sound device, recording at 8000 Hz.
class AppFixture : public AudioFixture {
protected:
    AppFixture();
    ~AppFixture() override;
    // No view ever came loose as a window of its own.
    void TearDown() override;

    // Launches, then lets the clock run on by `settle` seconds.
    void launch(double settle = 0);

    RootViewController& root();
    TableNavigationController& browser();
    TableViewController& list();
    static std::vector<std::shared_ptr<ui::AlertView>> alerts();
    // Saved under $VOICENOTES_SCREENSHOTS when it is set.
    void screenshot(const std::string& name);

    ui::Application application{testContext().runLoop(), &testContext().defaults()};
    std::unique_ptr<AppDelegate> delegate;

private:
    void waitUntilActive();

    StrayWindowWatch m_strayWindows;
};
