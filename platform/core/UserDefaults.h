#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

namespace core {

// The per-user key-value store. An absent integer reads 0, an absent
// boolean false, an absent object none. Kept in Qt's settings format in the
// configuration folder, readable by its owner only.
class UserDefaults {
public:
    // The settings file of the home in use.
    static std::string standardPath();

    explicit UserDefaults(const std::string& filePath);
    ~UserDefaults();

    long long integerForKey(const std::string& key) const;
    bool boolForKey(const std::string& key) const;
    std::optional<std::string> objectForKey(const std::string& key) const;

    void setInteger(long long value, const std::string& key);
    void setBool(bool value, const std::string& key);
    void setObject(const std::string& value, const std::string& key);
    void removeObjectForKey(const std::string& key);

    // Reads what other processes stored and writes this one's changes over
    // it, replacing the file whole; false when that failed.
    bool synchronize();

    const std::string& filePath() const { return m_filePath; }

private:
    using Values = std::map<std::string, std::string>;
    void change(const std::string& key, std::optional<std::string> value);
    // The file as stored now; none when a link stands at its path.
    std::optional<Values> readFile() const;
    bool writeFile(const Values& values) const;

    std::string m_filePath;
    Values m_values;
    // The changes not yet stored: a value set, or none for a removed key.
    std::map<std::string, std::optional<std::string>> m_changes;
};

} // namespace core
