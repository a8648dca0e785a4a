#pragma once

#include <atomic>
#include <string>

namespace core {

// The application's own modules: small shared libraries, one for each
// system library that the first window does not need (libcurl, Avahi,
// OpenSSL, PortAudio, libsndfile, libsecret), each holding a table of that
// library's functions. A module is opened when its library is first used,
// so start-up does not load and relocate those libraries and the dozens
// they depend on.
class Module {
public:
    // The table of module `name` ("libvoicenotes-NAME.so"), opening it on
    // first use; nullptr and the reason in error when it cannot be opened.
    // Safe from any thread.
    static const void* table(const char* name, std::string& error);
    // Where modules are looked for before the places beside the binary
    // (the build tree's, for programs that do not live beside it).
    static void setDirectory(std::string directory);
    static void logUnavailable(const char* name, const std::string& error);
    // A table used before it was loaded: a fault of the program, not of the
    // installation; says which and ends the process.
    [[noreturn]] static void usedBeforeLoading(const char* name);
};

// The typed table of one module. The Table type names its module
// (Table::kModule) and lists the functions (see ModuleFunctions.h).
template <typename Table>
class ModuleTable {
public:
    // Opens the module when needed; nullptr and the reason when it cannot.
    static const Table* load(std::string& error)
    {
        if (const Table* table = s_table.load(std::memory_order_acquire))
            return table;
        const auto* table = static_cast<const Table*>(Module::table(Table::kModule, error));
        s_table.store(table, std::memory_order_release);
        return table;
    }

    // Opens the module when needed; when it cannot be, says why in the log.
    static bool available()
    {
        std::string error;
        if (load(error))
            return true;
        Module::logUnavailable(Table::kModule, error);
        return false;
    }

    // The table of a module that a load() has opened before.
    static const Table& loaded()
    {
        const Table* table = s_table.load(std::memory_order_acquire);
        if (!table)
            Module::usedBeforeLoading(Table::kModule);
        return *table;
    }

private:
    static inline std::atomic<const Table*> s_table{nullptr};
};

} // namespace core
