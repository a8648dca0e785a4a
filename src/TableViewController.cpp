#include "TableViewController.h"

#include "platform/core/Bundle.h"
#include "platform/core/Log.h"

TableViewController::TableViewController() { setTitle(core::localizedString("App Name")); }

void TableViewController::checkAlerts()
{
    core::Log::system("Alert check ran; " + std::to_string(m_plistControl.countInPlist())
                      + " notes, whose alerts the notes list does not check yet");
}
