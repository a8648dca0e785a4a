#include "platform/core/Module.h"

#include "platform/core/Bundle.h"
#include "platform/core/FileManager.h"
#include "platform/core/Log.h"
#include "platform/core/ModuleFunctions.h"

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <map>
#include <mutex>
#include <vector>

namespace core {

namespace {

std::mutex& modulesMutex()
{
    static std::mutex mutex;
    return mutex;
}

// The tables opened so far, by module name; modules stay open for the
// life of the process.
std::map<std::string, const void*>& openTables()
{
    static std::map<std::string, const void*> tables;
    return tables;
}

std::string& chosenDirectory()
{
    static std::string directory;
    return directory;
}

// The build tree keeps modules in modules/ beside the binary; an
// installation keeps them under the library directory.
std::vector<std::string> moduleDirectories()
{
    std::vector<std::string> directories;
    if (!chosenDirectory().empty())
        directories.push_back(chosenDirectory());
    std::string binary = Bundle::executableDirectory();
    directories.push_back(binary + "/modules");
    directories.push_back(binary + "/../" VOICENOTES_MODULE_SUBDIRECTORY);
    return directories;
}

Expected<const void*> openTable(const std::string& path)
{
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return Error{Error::Kind::Unavailable, ::dlerror()};
    using Entry = const void* (*)();
    auto entry = reinterpret_cast<Entry>(::dlsym(handle, VOICENOTES_MODULE_TABLE_SYMBOL));
    if (!entry) {
        ::dlclose(handle);
        return Error{Error::Kind::Unsupported, path + " is no module of this application"};
    }
    return entry();
}

} // namespace

Expected<const void*> Module::table(const char* name)
{
    std::lock_guard lock(modulesMutex());
    if (auto found = openTables().find(name); found != openTables().end())
        return found->second;
    std::string file = "libvoicenotes-";
    file.append(name).append(".so");
    for (const std::string& directory : moduleDirectories()) {
        std::string path = directory;
        path.append("/").append(file);
        if (!FileManager::fileExistsAtPath(path))
            continue;
        auto table = openTable(path);
        if (table)
            openTables().emplace(name, *table);
        return table;
    }
    return Error{Error::Kind::NotFound, "the module " + file + " is not installed"};
}

void Module::setDirectory(std::string directory)
{
    std::lock_guard lock(modulesMutex());
    chosenDirectory() = std::move(directory);
}

void Module::logUnavailable(const char* name, const Error& error)
{
    Log::system(std::string("Cannot open the ") + name + " module: " + error.words);
}

void Module::usedBeforeLoading(const char* name)
{
    std::fprintf(stderr, "voicenotes: the %s module was used before it was loaded\n", name);
    std::abort();
}

} // namespace core
