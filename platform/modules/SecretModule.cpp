// libsecret, for passwords kept in the desktop's keyring.

#include "platform/core/Libsecret.h"

VOICENOTES_MODULE_DEFINITION(core::LibsecretTable, VOICENOTES_SECRET_FUNCTIONS)
