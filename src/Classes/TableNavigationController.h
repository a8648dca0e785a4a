#pragma once

#include "platform/ui/NavigationController.h"

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

private:
    RootViewController* m_rootViewController = nullptr;
    TableViewController* m_tableViewController = nullptr;
};
