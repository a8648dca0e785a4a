#pragma once

#include "platform/ui/ViewController.h"

class RootViewController;

// The settings screen, flipped to from the browser.
class PreferencesViewController : public ui::ViewController {
public:
    RootViewController* rootViewController() const { return m_rootViewController; }
    void setRootViewController(RootViewController* controller) { m_rootViewController = controller; }

    void viewDidLoad() override;

private:
    RootViewController* m_rootViewController = nullptr;
};
