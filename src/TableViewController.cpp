#include "TableViewController.h"

#include "Classes/RootViewController.h"
#include "Classes/TableNavigationController.h"

#include "platform/core/Bundle.h"
#include "platform/core/Log.h"
#include "platform/ui/Application.h"
#include "platform/ui/BarButtonItem.h"

TableViewController::TableViewController()
{
    setTitle(core::localizedString("App Name"));
    addButtons();
}

void TableViewController::addButtons()
{
    navigationItem().setRightBarButtonItem(std::make_shared<ui::BarButtonItem>(
        core::localizedString("NewButton Title"), ui::BarButtonItemStyle::Bordered,
        [this](ui::BarButtonItem&) { newAction(); }));
}

void TableViewController::newAction()
{
    ui::Application::sharedApplication().setProximitySensingEnabled(true);
    m_navigationViewController->rootViewController()->startRecording();
}

void TableViewController::checkAlerts()
{
    core::Log::system("Alert check ran; " + std::to_string(m_plistControl.countInPlist())
                      + " notes, whose alerts the notes list does not check yet");
}
