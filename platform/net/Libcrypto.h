#pragma once

#include "platform/core/Module.h"
#include "platform/core/ModuleFunctions.h"

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/sha.h>
#include <openssl/x509.h>

// clang-format off
#define VOICENOTES_CRYPTO_FUNCTIONS(F) \
    F(BIO_free) \
    F(BIO_new_mem_buf) \
    F(EVP_EncodeBlock) \
    F(PEM_read_bio_X509) \
    F(SHA256) \
    F(X509_free) \
    F(X509_get_X509_PUBKEY) \
    F(i2d_X509_PUBKEY)

// clang-format on

namespace net {

// The OpenSSL functions that read a certificate's key, from the module that
// links it (see core::Module): opened with Libcrypto::load() where it is first
// needed, then reached through libcrypto().
VOICENOTES_MODULE_TABLE(Libcrypto, libcrypto, "crypto", VOICENOTES_CRYPTO_FUNCTIONS)

} // namespace net
