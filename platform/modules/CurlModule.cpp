// libcurl, for uploads.

#include "platform/net/Libcurl.h"

VOICENOTES_MODULE_DEFINITION(net::LibcurlTable, VOICENOTES_CURL_FUNCTIONS)
