#pragma once

#include "platform/core/Module.h"
#include "platform/core/ModuleFunctions.h"

#include <curl/curl.h>

// clang-format off
#define VOICENOTES_CURL_FUNCTIONS(F) \
    F(curl_easy_cleanup) \
    F(curl_easy_getinfo) \
    F(curl_easy_init) \
    F(curl_easy_pause) \
    F(curl_easy_setopt) \
    F(curl_easy_strerror) \
    F(curl_free) \
    F(curl_global_cleanup) \
    F(curl_global_init) \
    F(curl_multi_add_handle) \
    F(curl_multi_assign) \
    F(curl_multi_cleanup) \
    F(curl_multi_info_read) \
    F(curl_multi_init) \
    F(curl_multi_remove_handle) \
    F(curl_multi_setopt) \
    F(curl_multi_socket_action) \
    F(curl_multi_strerror) \
    F(curl_slist_append) \
    F(curl_slist_free_all) \
    F(curl_url) \
    F(curl_url_cleanup) \
    F(curl_url_dup) \
    F(curl_url_get) \
    F(curl_url_set)

// clang-format on

namespace net {

// libcurl's functions, from the module that links it (see core::Module):
// opened with Libcurl::load() where it is first needed, then reached through
// libcurl().
VOICENOTES_MODULE_TABLE(Libcurl, libcurl, "curl", VOICENOTES_CURL_FUNCTIONS)

} // namespace net
