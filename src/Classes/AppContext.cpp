#include "Classes/AppContext.h"

#include "platform/audio/AudioDevice.h"
#include "platform/core/UserDefaults.h"
#include "platform/net/FtpWriteStream.h"

namespace {

AppContext* newest = nullptr;

} // namespace

AppContext::AppContext()
    : AppContext(nullptr)
{
}

AppContext::AppContext(std::unique_ptr<audio::AudioDevice> device)
    : m_previous(newest)
    , m_ownsDevice(device != nullptr)
{
    newest = this;
    core::UserDefaults::resetStandardUserDefaults();
    if (m_ownsDevice)
        audio::AudioDevice::setShared(std::move(device));
}

AppContext::~AppContext()
{
    // The upload ends before the device and the settings it may still use.
    m_upload = UploadState{};
    // Closed while the run loop and the sounds it plays still exist.
    if (m_ownsDevice)
        audio::AudioDevice::setShared(nullptr);
    core::UserDefaults::resetStandardUserDefaults();
    newest = m_previous;
}

AppContext& AppContext::current()
{
    if (!newest) {
        // Never destroyed: made for a process's whole life, and dropping
        // it at exit would race the other statics' destruction.
        static auto* processWide = new AppContext;
        return *processWide;
    }
    return *newest;
}
