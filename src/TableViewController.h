#pragma once

#include "Classes/PlistController.h"

#include "platform/ui/ViewController.h"

class TableNavigationController;

// The notes list, the browser's root screen.
class TableViewController : public ui::ViewController {
public:
    TableViewController();

    void addButtons();
    void newAction();
    void checkAlerts();

    TableNavigationController* navigationViewController() const { return m_navigationViewController; }
    void setNavigationViewController(TableNavigationController* controller) { m_navigationViewController = controller; }

private:
    PlistController m_plistControl;
    TableNavigationController* m_navigationViewController = nullptr;
};
