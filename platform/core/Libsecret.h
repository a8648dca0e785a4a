#pragma once

#include "platform/core/Module.h"
#include "platform/core/ModuleFunctions.h"

#include <libsecret/secret.h>

// clang-format off
#define VOICENOTES_SECRET_FUNCTIONS(F) \
    F(g_bus_get_sync) \
    F(g_dbus_connection_call_sync) \
    F(g_dbus_connection_set_exit_on_close) \
    F(g_error_free) \
    F(g_object_unref) \
    F(g_variant_get) \
    F(g_variant_new) \
    F(g_variant_unref) \
    F(secret_password_free) \
    F(secret_password_lookup_sync) \
    F(secret_password_store_sync)

// clang-format on

namespace core {

// libsecret and the GLib D-Bus calls that find the Secret Service, from the
// module that links them (see core::Module): opened with Libsecret::load()
// where a password is first needed, then reached through libsecret().
VOICENOTES_MODULE_TABLE(Libsecret, libsecret, "secret", VOICENOTES_SECRET_FUNCTIONS)

} // namespace core
