#include "platform/core/Paths.h"

#include "platform/core/FileManager.h"

#include <cstdlib>
#include <filesystem>

namespace core {

namespace {
std::optional<std::string> g_home;
}

// Absolute, so that a relative --home names the same folder wherever a path
// under it is used (a file URL is made of it for an upload).
void Paths::setHome(const std::string& dir)
{
    std::error_code error;
    auto absolute = std::filesystem::absolute(dir, error);
    g_home = error ? dir : absolute.lexically_normal().string();
}

std::string Paths::xdgDirectory(const char* variable, const char* fallbackUnderHome)
{
    if (g_home)
        return *g_home + "/" + fallbackUnderHome;
    const char* value = std::getenv(variable);
    // The XDG rules ignore relative paths.
    if (value && value[0] == '/')
        return value;
    const char* home = std::getenv("HOME");
    return std::string(home && home[0] ? home : "/tmp") + "/" + fallbackUnderHome;
}

std::string Paths::dataHome() { return xdgDirectory("XDG_DATA_HOME", ".local/share"); }

std::string Paths::configHome() { return xdgDirectory("XDG_CONFIG_HOME", ".config"); }

std::string Paths::documentsDirectory()
{
    std::string dir = dataHome() + "/voicenotes/Documents";
    if (!FileManager::fileExistsAtPath(dir))
        FileManager::createDirectoryAtPath(dir);
    return dir;
}

std::string Paths::configDirectory()
{
    std::string dir = configHome() + "/voicenotes";
    FileManager::createPrivateDirectoryIfMissing(dir);
    return dir;
}

std::optional<std::string> Paths::documentsFilePath(const std::string& name)
{
    std::string_view plain(name);
    if (!plain.empty() && plain.front() == '/')
        plain.remove_prefix(1);
    if (plain.empty() || plain == "." || plain == ".." || plain.find('/') != std::string_view::npos
        || plain.find('\0') != std::string_view::npos)
        return std::nullopt;
    return documentsDirectory() + "/" + std::string(plain);
}

} // namespace core
