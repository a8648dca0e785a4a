// PortAudio, for the system's sound devices.

#include "platform/audio/Libportaudio.h"

VOICENOTES_MODULE_DEFINITION(audio::LibportaudioTable, VOICENOTES_PORTAUDIO_FUNCTIONS)
