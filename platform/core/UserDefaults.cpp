#include "platform/core/UserDefaults.h"

#include "platform/core/FileLock.h"
#include "platform/core/FileManager.h"
#include "platform/core/Log.h"
#include "platform/core/Paths.h"

#include <QSettings>

#include <charconv>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace core {

namespace {

// Another process's write of the settings takes a moment; one that holds
// the lock far longer is stuck.
constexpr double kLockSeconds = 10;

QString qKey(const std::string& key) { return QString::fromStdString(key); }

// Why the file at the path cannot be used; empty when it can (or is absent).
// A link is never followed: what it points to is not ours to read or write.
std::string unusableBecause(const std::string& path)
{
    struct stat info = {};
    if (::lstat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode))
        return {};
    return S_ISLNK(info.st_mode) ? "is a symbolic link" : "is not a regular file";
}

// Makes what was written to the path private and durable, if the path still
// names a regular file.
bool flushPrivately(const std::string& path)
{
    int fd = FileManager::openRegularFile(path, O_RDONLY);
    if (fd < 0)
        return false;
    bool ok = ::fchmod(fd, 0600) == 0 && ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

// So that the rename itself outlives a crash.
void flushDirectory(const std::string& path)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

std::string folderOf(const std::string& path) { return path.substr(0, path.rfind('/') + 1); }

std::optional<long long> number(const std::string& text)
{
    long long value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

std::string UserDefaults::standardPath() { return Paths::configDirectory() + "/voicenotes.conf"; }

UserDefaults::UserDefaults(const std::string& filePath)
    : m_filePath(filePath)
    , m_values(readFile().value_or(Values()))
{
}

UserDefaults::~UserDefaults()
{
    if (!m_changes.empty())
        synchronize();
}

long long UserDefaults::integerForKey(const std::string& key) const
{
    auto value = objectForKey(key);
    if (value == "true")
        return 1;
    return value ? number(*value).value_or(0) : 0;
}

bool UserDefaults::boolForKey(const std::string& key) const
{
    auto value = objectForKey(key);
    if (!value)
        return false;
    auto asNumber = number(*value);
    return asNumber ? *asNumber != 0 : *value == "true";
}

std::optional<std::string> UserDefaults::objectForKey(const std::string& key) const
{
    auto found = m_values.find(key);
    if (found == m_values.end())
        return std::nullopt;
    return found->second;
}

void UserDefaults::setInteger(long long value, const std::string& key) { change(key, std::to_string(value)); }

void UserDefaults::setBool(bool value, const std::string& key) { change(key, value ? "true" : "false"); }

void UserDefaults::setObject(const std::string& value, const std::string& key) { change(key, value); }

void UserDefaults::removeObjectForKey(const std::string& key) { change(key, std::nullopt); }

void UserDefaults::change(const std::string& key, std::optional<std::string> value)
{
    if (value)
        m_values[key] = *value;
    else
        m_values.erase(key);
    m_changes[key] = std::move(value);
}

std::optional<UserDefaults::Values> UserDefaults::readFile() const
{
    if (std::string reason = unusableBecause(m_filePath); !reason.empty()) {
        Log::system("The settings file " + m_filePath + " " + reason
                    + ": it is left as it is, and no setting is "
                      "read from it or stored in it");
        return std::nullopt;
    }
    QSettings reader(QString::fromStdString(m_filePath), QSettings::IniFormat);
    Values values;
    for (const QString& key : reader.allKeys())
        values[key.toStdString()] = reader.value(key).toString().toStdString();
    return values;
}

// Qt writes the text into a private file of ours beside the settings, which
// then replaces whatever stands at the path, a link included, in one rename.
bool UserDefaults::writeFile(const Values& values) const
{
    std::string temporary = m_filePath + ".XXXXXX";
    int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return false;
    ::close(fd);
    QSettings::Status status = QSettings::AccessError;
    {
        QSettings writer(QString::fromStdString(temporary), QSettings::IniFormat);
        for (const auto& [key, value] : values)
            writer.setValue(qKey(key), QString::fromStdString(value));
        writer.sync();
        status = writer.status();
    }
    if (status != QSettings::NoError || !flushPrivately(temporary)
        || ::rename(temporary.c_str(), m_filePath.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    flushDirectory(folderOf(m_filePath));
    return true;
}

bool UserDefaults::synchronize()
{
    if (!FileManager::createPrivateDirectoryAtPath(folderOf(m_filePath))) {
        Log::system("Cannot store the settings: cannot make the folder " + folderOf(m_filePath));
        return false;
    }
    FileLock lock(m_filePath + ".lock", kLockSeconds);
    if (!lock.isLocked()) {
        Log::system("Cannot store the settings: " + lock.failure());
        return false;
    }
    auto stored = readFile();
    if (!stored)
        return m_changes.empty();
    for (const auto& [key, value] : m_changes) {
        if (value)
            (*stored)[key] = *value;
        else
            stored->erase(key);
    }
    m_values = std::move(*stored);
    if (m_changes.empty())
        return true;
    if (!writeFile(m_values))
        return false;
    m_changes.clear();
    return true;
}

} // namespace core
