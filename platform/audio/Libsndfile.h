#pragma once

#include "platform/core/Module.h"
#include "platform/core/ModuleFunctions.h"

#include <sndfile.h>

// clang-format off
#define VOICENOTES_SNDFILE_FUNCTIONS(F) \
    F(sf_close) \
    F(sf_command) \
    F(sf_open) \
    F(sf_open_fd) \
    F(sf_read_raw) \
    F(sf_readf_short) \
    F(sf_seek) \
    F(sf_strerror) \
    F(sf_write_raw) \
    F(sf_write_short)

// clang-format on

namespace audio {

// libsndfile's functions, from the module that links it (see core::Module):
// opened with Libsndfile::load() where it is first needed, then reached
// through libsndfile().
VOICENOTES_MODULE_TABLE(Libsndfile, libsndfile, "sndfile", VOICENOTES_SNDFILE_FUNCTIONS)

} // namespace audio
