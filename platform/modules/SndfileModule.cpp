// libsndfile, for reading and writing sound files.

#include "platform/audio/Libsndfile.h"

VOICENOTES_MODULE_DEFINITION(audio::LibsndfileTable, VOICENOTES_SNDFILE_FUNCTIONS)
