#include "platform/core/Paths.h"

#include "platform/core/FileManager.h"
#include "platform/core/Log.h"

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

std::string Paths::homeDirectory()
{
    if (g_home)
        return *g_home;
    const char* home = std::getenv("HOME");
    return home && home[0] ? home : "/tmp";
}

std::string Paths::xdgDirectory(const char* variable, const char* fallbackUnderHome)
{
    const char* value = std::getenv(variable);
    // The XDG rules ignore relative paths.
    if (!g_home && value && value[0] == '/')
        return value;
    return homeDirectory() + "/" + fallbackUnderHome;
}

std::string Paths::sshDirectory() { return homeDirectory() + "/.ssh"; }

std::string Paths::dataHome() { return xdgDirectory("XDG_DATA_HOME", ".local/share"); }

std::string Paths::configHome() { return xdgDirectory("XDG_CONFIG_HOME", ".config"); }

// Notes are private: the folders are the owner's alone, also those made
// by an earlier version open to everybody.
std::string Paths::documentsDirectory()
{
    std::string dir = dataHome() + "/voicenotes/Documents";
    makePrivate(dataHome() + "/voicenotes");
    makePrivate(dir);
    return dir;
}

std::string Paths::configDirectory()
{
    std::string dir = configHome() + "/voicenotes";
    makePrivate(dir);
    return dir;
}

void Paths::makePrivate(const std::string& dir)
{
    if (!FileManager::createPrivateDirectoryAtPath(dir))
        Log::system("Cannot make " + dir + " a folder that only you can open");
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
