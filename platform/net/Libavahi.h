#pragma once

#include "platform/core/Module.h"
#include "platform/core/ModuleFunctions.h"

#include <avahi-client/client.h>
#include <avahi-client/lookup.h>
#include <avahi-client/publish.h>
#include <avahi-common/address.h>
#include <avahi-common/alternative.h>
#include <avahi-common/error.h>
#include <avahi-common/malloc.h>
#include <avahi-common/strlst.h>
#include <avahi-common/thread-watch.h>

// clang-format off
#define VOICENOTES_AVAHI_FUNCTIONS(F) \
    F(avahi_address_snprint) \
    F(avahi_alternative_service_name) \
    F(avahi_client_errno) \
    F(avahi_client_free) \
    F(avahi_client_get_host_name) \
    F(avahi_client_new) \
    F(avahi_entry_group_add_service) \
    F(avahi_entry_group_commit) \
    F(avahi_entry_group_free) \
    F(avahi_entry_group_get_client) \
    F(avahi_entry_group_new) \
    F(avahi_entry_group_reset) \
    F(avahi_free) \
    F(avahi_service_browser_free) \
    F(avahi_service_browser_get_client) \
    F(avahi_service_browser_new) \
    F(avahi_service_resolver_free) \
    F(avahi_service_resolver_new) \
    F(avahi_strerror) \
    F(avahi_string_list_get_next) \
    F(avahi_string_list_get_pair) \
    F(avahi_threaded_poll_free) \
    F(avahi_threaded_poll_get) \
    F(avahi_threaded_poll_lock) \
    F(avahi_threaded_poll_new) \
    F(avahi_threaded_poll_start) \
    F(avahi_threaded_poll_stop) \
    F(avahi_threaded_poll_unlock)

// clang-format on

namespace net {

// Avahi's client functions, from the module that links it (see core::Module):
// opened with Libavahi::load() where it is first needed, then reached through
// libavahi().
VOICENOTES_MODULE_TABLE(Libavahi, libavahi, "avahi", VOICENOTES_AVAHI_FUNCTIONS)

} // namespace net
