#include "Classes/StorePreload.h"

#include <system_error>
#include <utility>

StorePreload::StorePreload(std::string path)
{
    try {
        m_reader = std::thread([this, path = std::move(path)] {
            if (auto read = StoreCache::read(path))
                m_found = std::move(*read);
        });
    } catch (const std::system_error&) {
        // No thread to spare: the first read reads the file itself.
    }
}

StorePreload::~StorePreload()
{
    if (m_reader.joinable())
        m_reader.join();
}

std::optional<StoreCache> StorePreload::take()
{
    if (m_reader.joinable())
        m_reader.join();
    return std::exchange(m_found, std::nullopt);
}
