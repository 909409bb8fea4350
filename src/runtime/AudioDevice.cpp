#include "runtime/AudioDevice.hpp"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

const char* const noAudioMessage = "No audio device: playing without sound.";

namespace
{
// The child's answers; anything else (a crash, a failed start) counts as "could not tell".
constexpr int deviceOpened = 0;
constexpr int noDevice = 1;
constexpr int cannotTell = 2;

[[noreturn]] void tryDeviceAndExit()
{
    // ALSA and OpenAL write a page of complaints when there is no card; none of it is ours.
    const int devNull = open("/dev/null", O_WRONLY);
    if (devNull >= 0)
    {
        dup2(devNull, STDOUT_FILENO);
        dup2(devNull, STDERR_FILENO);
    }
    // OpenAL is already mapped (SFML's audio links it); there are no headers to include for it.
    void* library = dlopen("libopenal.so.1", RTLD_NOW);
    using OpenDevice = void* (*)(const char*);
    auto* openDevice = library ? reinterpret_cast<OpenDevice>(dlsym(library, "alcOpenDevice")) : nullptr;
    if (!openDevice)
        _exit(cannotTell);
    _exit(openDevice(nullptr) ? deviceOpened : noDevice);
}
} // namespace

bool audioDeviceOpens()
{
    std::fflush(nullptr); // the child must not write out this process's buffered output again
    const pid_t child = fork();
    if (child == 0)
        tryDeviceAndExit();
    if (child < 0)
        return true;
    int status = 0;
    pid_t waited;
    do
        waited = waitpid(child, &status, 0);
    while (waited < 0 && errno == EINTR);
    if (waited < 0)
        return true;
    return !(WIFEXITED(status) && WEXITSTATUS(status) == noDevice);
}

void useSilentAudio()
{
    // Read by OpenAL when it first starts, which is after this in the process.
    setenv("ALSOFT_DRIVERS", "null", 1);
    setenv("ALSOFT_LOGLEVEL", "0", 1);
}

void checkAudioDevice(const char* message)
{
    if (audioDeviceOpens())
        return;
    useSilentAudio();
    std::fprintf(stderr, "%s\n", message);
    std::fflush(stderr);
}
