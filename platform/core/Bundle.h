#pragma once

#include "platform/core/StringTable.h"

#include <optional>
#include <string>

namespace core {

// The application's resources: images, sounds, the template store, the
// string table and the screens' layouts, in one folder found beside the
// binary.
class Bundle {
public:
    // How the desktop names the application, and its icon's name in the
    // icon theme (also its desktop entry's and metainfo's id).
    static constexpr const char* kDisplayName = "Voice Notes";
    static constexpr const char* kIconName = "org.voicenotes.VoiceNotes";

    static Bundle& mainBundle();
    // The directory of the running binary ("." when it cannot be told).
    static std::string executableDirectory();

    // Points the main bundle at another resource folder (tests do).
    void setResourceDirectory(std::string directory);
    const std::string& resourceDirectory() const { return m_directory; }

    // The resource's full path, or none when the bundle has no such file.
    std::optional<std::string> pathForResource(const std::string& name, const std::string& type) const;

    // The displayed text for a key of Localizable.strings; the key itself
    // when the table lacks it.
    std::string localizedString(const std::string& key);

private:
    Bundle();
    static std::string defaultResourceDirectory();
    const StringTable& table();

    std::string m_directory;
    std::optional<StringTable> m_table;
};

// The displayed text for a key of the main bundle's string table.
inline std::string localizedString(const std::string& key) { return Bundle::mainBundle().localizedString(key); }
// The key's text with its "%@" replaced by the argument.
std::string localizedString(const std::string& key, const std::string& argument);

} // namespace core
