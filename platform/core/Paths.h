#pragma once

#include <optional>
#include <string>

namespace core {

// Where the application keeps its files, after the XDG rules and the
// command line's home override.
class Paths {
public:
    // Data and configuration under DIR/.local/share and DIR/.config.
    static void setHome(const std::string& dir);
    static std::string dataHome();
    static std::string configHome();

    // The notes' audio files and data.plist; created (owner only) when missing.
    static std::string documentsDirectory();
    // The user defaults' folder; created (owner only) when missing.
    static std::string configDirectory();
    // The person's SSH files (known hosts, keys), as ssh finds them: under
    // the home, or the command line's home override.
    static std::string sshDirectory();

    // The full path of a file that a record names relative to Documents:
    // one leading "/" is allowed, the rest must be a single plain name.
    // Anything that could reach outside Documents gives no path.
    static std::optional<std::string> documentsFilePath(const std::string& name);

private:
    static void makePrivate(const std::string& dir);
    static std::string homeDirectory();
    static std::string xdgDirectory(const char* variable, const char* fallbackUnderHome);
};

} // namespace core
