#include "Classes/AppContext.h"

#include "Classes/StorePreload.h"

#include "platform/audio/AudioDevices.h"
#include "platform/audio/VirtualAudioDevice.h"
#include "platform/core/Log.h"
#include "platform/core/UserDefaults.h"

AppContext::AppContext(core::RunLoop& loop)
    : AppContext(loop, nullptr)
{
}

AppContext::AppContext(core::RunLoop& loop, std::unique_ptr<audio::AudioDevice> device)
    : m_loop(loop)
    , m_ownDevice(std::move(device))
    , m_device(m_ownDevice.get())
    , m_sounds(loop)
    , m_network(loop)
{
}

AppContext::~AppContext() = default;

std::optional<StoreCache>& AppContext::storeCache()
{
    if (m_preload) {
        m_storeCache = m_preload->take();
        m_preload.reset();
    }
    return m_storeCache;
}

void AppContext::preloadStore(std::string path) { m_preload = std::make_unique<StorePreload>(std::move(path)); }

core::UserDefaults& AppContext::defaults()
{
    if (!m_defaults)
        m_defaults = std::make_unique<core::UserDefaults>(core::UserDefaults::standardPath());
    return *m_defaults;
}

audio::AudioDevice& AppContext::audioDevice()
{
    if (!m_device) {
        auto selected = audio::AudioDevices::select(std::nullopt);
        if (selected) {
            m_ownDevice = std::move(*selected);
        } else {
            core::Log::system("No audio device: " + selected.error().words + "; using the virtual device");
            m_ownDevice = std::make_unique<audio::VirtualAudioDevice>();
        }
        m_device = m_ownDevice.get();
    }
    return *m_device;
}

void AppContext::useAudioDevice(audio::AudioDevice& device)
{
    m_sounds.stopAll();
    m_device = &device;
}
