#include "Classes/AppContext.h"

#include "platform/audio/AudioDevice.h"
#include "platform/core/UserDefaults.h"
#include "platform/net/FtpWriteStream.h"

AppContext::AppContext()
    : AppContext(nullptr)
{
}

AppContext::AppContext(std::unique_ptr<audio::AudioDevice> device)
    : m_ownsDevice(device != nullptr)
{
    core::UserDefaults::resetStandardUserDefaults();
    if (m_ownsDevice)
        audio::AudioDevice::setShared(std::move(device));
}

AppContext::~AppContext()
{
    // Closed while the run loop and the sounds it plays still exist.
    if (m_ownsDevice)
        audio::AudioDevice::setShared(nullptr);
    core::UserDefaults::resetStandardUserDefaults();
}

AppContext& AppContext::current()
{
    if (auto* context = newest())
        return *context;
    // Never destroyed: made for a process's whole life, and dropping it at
    // exit would race the other statics' destruction.
    static auto* processWide = new AppContext;
    return *processWide;
}
