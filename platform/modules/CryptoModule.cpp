// OpenSSL, for the fingerprints of certificates.

#include "platform/net/Libcrypto.h"

VOICENOTES_MODULE_DEFINITION(net::LibcryptoTable, VOICENOTES_CRYPTO_FUNCTIONS)
