#include "platform/core/UserDefaults.h"

#include "platform/core/Paths.h"

#include <QFile>
#include <QSettings>

#include <fcntl.h>
#include <unistd.h>

namespace core {

namespace {

std::unique_ptr<UserDefaults>& shared()
{
    static std::unique_ptr<UserDefaults> instance;
    return instance;
}

// Created owner-only before Qt first writes it, so the password it may
// hold is never readable by others, not even for a moment.
void createPrivateFile(const std::string& path)
{
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd >= 0)
        ::close(fd);
}

QString qKey(const std::string& key) { return QString::fromStdString(key); }

} // namespace

UserDefaults& UserDefaults::standardUserDefaults()
{
    if (!shared())
        shared() = std::make_unique<UserDefaults>(Paths::configDirectory() + "/voicenotes.conf");
    return *shared();
}

void UserDefaults::resetStandardUserDefaults() { shared().reset(); }

UserDefaults::UserDefaults(const std::string& filePath)
    : m_filePath(filePath)
{
    createPrivateFile(filePath);
    m_settings = std::make_unique<QSettings>(QString::fromStdString(filePath), QSettings::IniFormat);
}

UserDefaults::~UserDefaults() { synchronize(); }

long long UserDefaults::integerForKey(const std::string& key) const
{
    QVariant value = m_settings->value(qKey(key));
    if (value.toString() == QLatin1String("true"))
        return 1;
    bool ok = false;
    long long number = value.toLongLong(&ok);
    return ok ? number : 0;
}

bool UserDefaults::boolForKey(const std::string& key) const
{
    QVariant value = m_settings->value(qKey(key));
    bool ok = false;
    long long number = value.toLongLong(&ok);
    return ok ? number != 0 : value.toString() == QLatin1String("true");
}

std::optional<std::string> UserDefaults::objectForKey(const std::string& key) const
{
    QVariant value = m_settings->value(qKey(key));
    if (!value.isValid())
        return std::nullopt;
    return value.toString().toStdString();
}

void UserDefaults::setInteger(long long value, const std::string& key) { m_settings->setValue(qKey(key), value); }

void UserDefaults::setBool(bool value, const std::string& key) { m_settings->setValue(qKey(key), value); }

void UserDefaults::setObject(const std::string& value, const std::string& key)
{
    m_settings->setValue(qKey(key), QString::fromStdString(value));
}

void UserDefaults::removeObjectForKey(const std::string& key) { m_settings->remove(qKey(key)); }

bool UserDefaults::synchronize()
{
    m_settings->sync();
    // Qt replaces the file on write; make sure the new one is private too.
    bool isPrivate = QFile::setPermissions(QString::fromStdString(m_filePath), QFile::ReadOwner | QFile::WriteOwner);
    return m_settings->status() == QSettings::NoError && isPrivate;
}

} // namespace core
