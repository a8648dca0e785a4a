#include "platform/core/Bundle.h"

#include "platform/core/FileManager.h"
#include "platform/core/Log.h"

#include <climits>
#include <unistd.h>

namespace core {

Bundle& Bundle::mainBundle()
{
    static Bundle bundle;
    return bundle;
}

Bundle::Bundle()
    : m_directory(defaultResourceDirectory())
{
}

std::string Bundle::executableDirectory()
{
    char buffer[PATH_MAX];
    ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0)
        return ".";
    std::string binary(buffer, std::size_t(length));
    return binary.substr(0, binary.rfind('/'));
}

std::string Bundle::defaultResourceDirectory()
{
    std::string dir = executableDirectory();
    // The build tree keeps resources beside the binary; an installation
    // keeps them under share/.
    for (const std::string& candidate : {dir + "/resources", dir + "/../share/voicenotes/resources"}) {
        if (FileManager::fileExistsAtPath(candidate))
            return candidate;
    }
    return dir + "/resources";
}

void Bundle::setResourceDirectory(std::string directory)
{
    m_directory = std::move(directory);
    m_table.reset();
}

std::optional<std::string> Bundle::pathForResource(const std::string& name, const std::string& type) const
{
    std::string path = m_directory + "/" + name + (type.empty() ? "" : "." + type);
    if (name.empty() || name.find('/') != std::string::npos || !FileManager::fileExistsAtPath(path))
        return std::nullopt;
    return path;
}

const StringTable& Bundle::table()
{
    if (m_table)
        return *m_table;
    auto path = pathForResource("Localizable", "strings");
    auto text = path ? FileManager::contentsAtPath(*path) : std::nullopt;
    auto table = text ? StringTable::parse(*text) : Error{Error::Kind::NotFound, "missing"};
    if (!table)
        Log::system("String table Localizable.strings is " + table.error().words + "; showing keys as they are");
    m_table = table ? std::move(*table) : StringTable();
    return *m_table;
}

std::string Bundle::localizedString(const std::string& key) { return table().lookup(key); }

std::string localizedString(const std::string& key, const std::string& argument)
{
    std::string text = localizedString(key);
    if (auto slot = text.find("%@"); slot != std::string::npos)
        text.replace(slot, 2, argument);
    return text;
}

} // namespace core
