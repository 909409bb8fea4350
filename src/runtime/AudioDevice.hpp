#pragma once

/// What the demo writes, as one line, when no audio device can be opened.
extern const char* const noAudioMessage;

/// Tells whether OpenAL can open its default playback device. The try runs in a child process,
/// so that this process's audio library is still untouched afterwards and whatever the try
/// writes goes nowhere. When the audio library cannot be found or the try cannot be made, the
/// answer is true: the demo's own audio then behaves as it always did.
bool audioDeviceOpens();

/// Checks for an audio device when it is constructed, which must happen before the first sound
/// object of the program (the registries' music player is a static object, so an entry point
/// defines one guard with an early initialisation priority). When no device opens, writes
/// message as one line on standard error and points this process's OpenAL at its silent null
/// device with its log off: the demo then plays on without sound and without a line from the
/// audio library. With a device, nothing changes.
class AudioGuard
{
public:
    explicit AudioGuard(const char* message);
};
