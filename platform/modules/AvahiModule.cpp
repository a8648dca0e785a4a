// Avahi, for announcing and finding services.

#include "platform/net/Libavahi.h"

VOICENOTES_MODULE_DEFINITION(net::LibavahiTable, VOICENOTES_AVAHI_FUNCTIONS)
