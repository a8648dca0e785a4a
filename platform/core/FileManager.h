#pragma once

#include "platform/core/FileIdentity.h"

#include <optional>
#include <string>
#include <vector>

namespace core {

// File operations on paths. Each returns whether it succeeded; none throws.
class FileManager {
public:
    static bool fileExistsAtPath(const std::string& path);
    // Removes a file, or a directory with everything in it; a symbolic
    // link is removed itself, never what it points to.
    static bool removeItemAtPath(const std::string& path);
    static bool copyItemAtPath(const std::string& from, const std::string& to);
    static bool moveItemAtPath(const std::string& from, const std::string& to);
    // Creates the directory and any missing parents.
    static bool createDirectoryAtPath(const std::string& path);
    // Makes the directory, readable by its owner only, when it is missing;
    // whether it is there now.
    static bool createPrivateDirectoryIfMissing(const std::string& path);

    // With `identity`, also the identity of the file the contents came from.
    static std::optional<std::string> contentsAtPath(const std::string& path,
                                                     std::optional<FileIdentity>* identity = nullptr);
    // Whether the file holds exactly `expected`, read in pieces without a
    // copy; with `identity`, also the identity of the file compared.
    static bool contentsEqual(const std::string& path, const std::string& expected,
                              std::optional<FileIdentity>* identity = nullptr);
    // Writes a temporary file beside the target, flushes it and renames it
    // over the target, so a reader sees the old file or the new one whole.
    // With `written`, the identity of the file written, when the path still
    // names it afterwards.
    static bool writeAtomically(const std::string& path, const std::string& contents,
                                std::optional<FileIdentity>* written = nullptr);
    // Removes the temporary copies that writeAtomically left beside path
    // when a process ended mid-write, if older than ageSeconds (a younger
    // one may be another process's write under way); their names.
    static std::vector<std::string> removeUnfinishedWrites(const std::string& path, double ageSeconds);
};

} // namespace core
