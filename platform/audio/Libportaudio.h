#pragma once

#include "platform/core/Module.h"
#include "platform/core/ModuleFunctions.h"

#include <alsa/asoundlib.h>
#include <jack/jack.h>
#include <portaudio.h>

// clang-format off
#define VOICENOTES_PORTAUDIO_FUNCTIONS(F) \
    F(Pa_CloseStream) \
    F(Pa_GetDefaultInputDevice) \
    F(Pa_GetDefaultOutputDevice) \
    F(Pa_GetErrorText) \
    F(Pa_Initialize) \
    F(Pa_IsStreamStopped) \
    F(Pa_OpenDefaultStream) \
    F(Pa_SetStreamFinishedCallback) \
    F(Pa_StartStream) \
    F(Pa_StopStream) \
    F(Pa_Terminate) \
    F(jack_set_error_function) \
    F(jack_set_info_function) \
    F(snd_lib_error_set_handler)

// clang-format on

namespace audio {

// PortAudio's functions, and those of ALSA and JACK that quiet their messages,
// from the module that links it (see core::Module): opened with
// Libportaudio::load() where it is first needed, then reached through
// libportaudio().
VOICENOTES_MODULE_TABLE(Libportaudio, libportaudio, "portaudio", VOICENOTES_PORTAUDIO_FUNCTIONS)

} // namespace audio
