#pragma once

#include "platform/ui/NavigationController.h"

#include <memory>

class AudioController;
class RootViewController;
class TableViewController;

// The notes browser: a navigation controller whose root screen is the
// notes list.
class TableNavigationController : public ui::NavigationController {
public:
    using ui::NavigationController::NavigationController;

    RootViewController* rootViewController() const { return m_rootViewController; }
    void setRootViewController(RootViewController* controller) { m_rootViewController = controller; }
    TableViewController* tableViewController() const { return m_tableViewController; }
    void setTableViewController(TableViewController* controller) { m_tableViewController = controller; }

    // The engine of the current or last playback.
    const std::shared_ptr<AudioController>& audioController() const { return m_audioController; }
    void setAudioController(std::shared_ptr<AudioController> controller) { m_audioController = std::move(controller); }

private:
    RootViewController* m_rootViewController = nullptr;
    std::shared_ptr<AudioController> m_audioController;
    TableViewController* m_tableViewController = nullptr;
};
