#pragma once

/// What the demo writes, as one line, when no audio device can be opened.
extern const char* const noAudioMessage;

/// Tells whether OpenAL can open its default playback device. The try runs in a child process,
/// so that this process's audio library is still untouched afterwards and whatever the try
/// writes goes nowhere. When the audio library cannot be found or the try cannot be made, the
/// answer is true: the demo's own audio then behaves as it always did.
bool audioDeviceOpens();

/// Points this process's OpenAL at its silent null device with its log off, so that no sound
/// card is opened and the audio library writes nothing. Must be called before the first sound
/// object of the program is built (the resources' registries hold them).
void useSilentAudio();

/// Checks for an audio device, before the first sound object of the program is built. When no
/// device opens, writes message as one line on standard error and calls useSilentAudio: the
/// demo then plays on without sound and without a line from the audio library. With a device,
/// nothing changes.
void checkAudioDevice(const char* message);
