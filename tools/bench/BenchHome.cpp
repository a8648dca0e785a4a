#include "BenchHome.h"

#include "Classes/AppContext.h"

#include "platform/audio/VirtualAudioDevice.h"
#include "platform/core/FileManager.h"
#include "platform/core/Log.h"
#include "platform/core/Module.h"
#include "platform/core/Paths.h"
#include "platform/core/RunLoop.h"
#include "platform/core/UserDefaults.h"
#include "platform/core/VirtualRunLoopEngine.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>

// The virtual clock starts at the real time, so that the note store's files
// look as old to it as they are.
BenchHome::BenchHome(int sampleRate)
    : m_loop(std::make_unique<core::VirtualRunLoopEngine>(double(std::time(nullptr))))
{
    std::string pattern = "/tmp/voicenotes-bench-XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return;
    }
    m_path = pattern;
    core::Paths::setHome(m_path);
    // Benchmarks do not live beside the modules.
    core::Module::setDirectory(VOICENOTES_MODULE_DIR);
    core::FileManager::createDirectoryAtPath(core::Paths::documentsDirectory());
    m_context = std::make_unique<AppContext>(m_loop, std::make_unique<audio::VirtualAudioDevice>());
    m_context->defaults().setInteger(sampleRate, "SampleRate");
    core::Log::setSink([](core::Log::Channel, std::string_view) {});
}

BenchHome::~BenchHome()
{
    core::Log::setSink(nullptr);
    // While the home and the toolkit are still there.
    m_context.reset();
    if (isValid())
        core::FileManager::removeItemAtPath(m_path);
}
