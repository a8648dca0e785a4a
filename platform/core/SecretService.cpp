#include "platform/core/SecretService.h"

#include "platform/core/Libsecret.h"
#include "platform/core/Log.h"

namespace core {

namespace {

constexpr const char* kServiceName = "org.freedesktop.secrets";
// A session bus that does not answer in this time has no service for us.
constexpr int kBusTimeoutMs = 5000;
constexpr const char* kServerAttribute = "server";
constexpr const char* kUserAttribute = "user";

// NOLINTNEXTLINE(cppcoreguidelines-interfaces-global-init): a constant table libsecret reads.
const SecretSchema kSchema = {"org.voicenotes.Password",
                              SECRET_SCHEMA_NONE,
                              {{kServerAttribute, SECRET_SCHEMA_ATTRIBUTE_STRING},
                               {kUserAttribute, SECRET_SCHEMA_ATTRIBUTE_STRING},
                               {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING}},
                              0,
                              nullptr,
                              nullptr,
                              nullptr,
                              nullptr,
                              nullptr,
                              nullptr,
                              nullptr};

// Says what went wrong in the log, and frees it; false for the caller to return.
bool logFailure(const std::string& what, GError* error)
{
    Log::system(what + ": " + (error ? error->message : "no reason given"));
    if (error)
        libsecret().g_error_free(error);
    return false;
}

bool serviceIsRunning()
{
    if (!Libsecret::available())
        return false;
    const LibsecretTable& lib = libsecret();
    GError* error = nullptr;
    GDBusConnection* bus = lib.g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
    if (!bus)
        return logFailure("No keyring: no session bus", error);
    // The application outlives a session bus that goes away.
    lib.g_dbus_connection_set_exit_on_close(bus, FALSE);
    // Asks whether it runs; a call to the service itself would start one.
    GVariant* reply = lib.g_dbus_connection_call_sync(
        bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
        lib.g_variant_new("(s)", kServiceName), reinterpret_cast<const GVariantType*>("(b)"), G_DBUS_CALL_FLAGS_NONE,
        kBusTimeoutMs, nullptr, &error);
    lib.g_object_unref(bus);
    if (!reply)
        return logFailure("No keyring: the session bus did not answer", error);
    gboolean running = FALSE;
    lib.g_variant_get(reply, "(b)", &running);
    lib.g_variant_unref(reply);
    return running != FALSE;
}

} // namespace

bool SecretService::isAvailable()
{
    if (!m_available)
        m_available = serviceIsRunning();
    return *m_available;
}

std::optional<std::string> SecretService::password(const std::string& server, const std::string& user)
{
    if (!isAvailable())
        return std::nullopt;
    GError* error = nullptr;
    gchar* found = libsecret().secret_password_lookup_sync(&kSchema, nullptr, &error, kServerAttribute, server.c_str(),
                                                           kUserAttribute, user.c_str(), nullptr);
    if (error) {
        logFailure("Cannot read the password from the keyring", error);
        return std::nullopt;
    }
    if (!found)
        return std::nullopt;
    std::string password(found);
    libsecret().secret_password_free(found);
    return password;
}

bool SecretService::storePassword(const std::string& server, const std::string& user, const std::string& password)
{
    if (!isAvailable())
        return false;
    GError* error = nullptr;
    std::string label = "Voice Notes: " + user + " at " + server;
    if (!libsecret().secret_password_store_sync(&kSchema, SECRET_COLLECTION_DEFAULT, label.c_str(), password.c_str(),
                                                nullptr, &error, kServerAttribute, server.c_str(), kUserAttribute,
                                                user.c_str(), nullptr))
        return logFailure("Cannot keep the password in the keyring", error);
    return true;
}

} // namespace core
