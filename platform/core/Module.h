#pragma once

#include "platform/core/Error.h"

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
    // first use; the reason when it cannot be opened. Safe from any thread.
    static Expected<const void*> table(const char* name);
    // Where modules are looked for before the places beside the binary
    // (the build tree's, for programs that do not live beside it).
    static void setDirectory(std::string directory);
    static void logUnavailable(const char* name, const Error& error);
    // A table used before it was loaded: a fault of the program, not of the
    // installation; says which and ends the process.
    [[noreturn]] static void usedBeforeLoading(const char* name);
};

// The typed table of one module. The Table type names its module
// (Table::kModule) and lists the functions (see ModuleFunctions.h).
template <typename Table>
class ModuleTable {
public:
    // Opens the module when needed; the reason when it cannot.
    static Expected<const Table*> load()
    {
        if (const Table* table = s_table.load(std::memory_order_acquire))
            return table;
        auto table = Module::table(Table::kModule);
        if (!table)
            return table.error();
        const auto* typed = static_cast<const Table*>(*table);
        s_table.store(typed, std::memory_order_release);
        return typed;
    }

    // Opens the module when needed; when it cannot be, says why in the log.
    static bool available()
    {
        auto table = load();
        if (!table)
            Module::logUnavailable(Table::kModule, table.error());
        return bool(table);
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
