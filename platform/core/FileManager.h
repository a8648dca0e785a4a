#pragma once

#include "platform/core/FileIdentity.h"

#include <optional>
#include <string>
#include <vector>

namespace core {

// File operations on paths. Each returns whether it succeeded; none throws.
class FileManager {
public:
    // Opens a regular file only: never a directory, FIFO, socket or device,
    // and never through a symbolic link at the path, so nothing a stranger
    // puts in a folder can block the caller or stand in for the file. A
    // new file is made with `mode` (0600: notes are private) whatever the
    // umask. -1 on failure, with errno set (ENOTREG-like cases: EINVAL).
    static int openRegularFile(const std::string& path, int flags, mode_t mode = 0600);
    // Words for an errno from openRegularFile.
    static std::string openFailure(int error);
    static bool fileExistsAtPath(const std::string& path);
    // Removes a file, or a directory with everything in it; a symbolic
    // link is removed itself, never what it points to.
    static bool removeItemAtPath(const std::string& path);
    // Removes the file only if it is a regular file (not a link, folder, FIFO).
    static bool removeRegularFileAtPath(const std::string& path);
    static bool copyItemAtPath(const std::string& from, const std::string& to);
    static bool moveItemAtPath(const std::string& from, const std::string& to);
    // Creates the directory and any missing parents, each for its owner only.
    static bool createDirectoryAtPath(const std::string& path);
    // The same, and the directory made the owner's alone (0700) if it was
    // open to others; false when it is not a directory of this user's.
    static bool createPrivateDirectoryAtPath(const std::string& path);

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
