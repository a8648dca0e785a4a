#pragma once

#include <memory>
#include <optional>
#include <string>

class QSettings;

namespace core {

// The per-user key-value store. An absent integer reads 0, an absent
// boolean false, an absent object none. Kept with Qt's settings in the
// configuration folder, readable by its owner only.
class UserDefaults {
public:
    static UserDefaults& standardUserDefaults();
    // Drops the shared object so the next use reads the (new) home's file.
    static void resetStandardUserDefaults();

    explicit UserDefaults(const std::string& filePath);
    ~UserDefaults();

    long long integerForKey(const std::string& key) const;
    bool boolForKey(const std::string& key) const;
    std::optional<std::string> objectForKey(const std::string& key) const;

    void setInteger(long long value, const std::string& key);
    void setBool(bool value, const std::string& key);
    void setObject(const std::string& value, const std::string& key);
    void removeObjectForKey(const std::string& key);

    // Writes pending changes to disk; false when that failed.
    bool synchronize();

    const std::string& filePath() const { return m_filePath; }

private:
    std::string m_filePath;
    std::unique_ptr<QSettings> m_settings;
};

} // namespace core
