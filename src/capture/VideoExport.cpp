#include "capture/VideoExport.hpp"

#include "capture/Interrupt.hpp"

#include <SFML/OpenGL.hpp>
#include <SFML/System/Clock.hpp>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
const char* const prefix = "flumbadoo-capture: ";

/// Runs ffmpeg with arguments; with stdinFd, the child reads that pipe. Returns its pid or -1.
pid_t spawnFfmpeg(const std::vector<std::string>& arguments, int stdinFd, int closeInChild, bool quietOutput)
{
    std::vector<char*> argv;
    std::string program = "ffmpeg";
    argv.push_back(program.data());
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child != 0)
        return child;
    // A group of its own: a Ctrl-C at the terminal stops the capture tool, which then stops the
    // encoder itself and removes what it wrote, instead of the encoder dying under it.
    setpgid(0, 0);
    if (stdinFd >= 0)
        dup2(stdinFd, STDIN_FILENO);
    if (closeInChild >= 0)
        close(closeInChild);
    if (quietOutput)
    {
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
    }
    execvp("ffmpeg", argv.data());
    _exit(127);
}

bool waitSucceeded(pid_t child)
{
    int status = 0;
    while (waitpid(child, &status, 0) < 0)
        if (errno != EINTR)
            return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string rateText(double framesPerSecond)
{
    std::ostringstream text;
    text.precision(12);
    text << framesPerSecond;
    return text.str();
}

void removeQuietly(const std::string& path)
{
    std::error_code ignored;
    if (!path.empty())
        std::filesystem::remove(path, ignored);
}
} // namespace

bool diskFullAt(const std::string& path, unsigned long long bytes)
{
    struct statvfs disk;
    std::error_code error;
    const std::string folder = std::filesystem::absolute(path, error).parent_path().string();
    return !error && statvfs(folder.c_str(), &disk) == 0 &&
           static_cast<unsigned long long>(disk.f_bavail) * disk.f_frsize < bytes;
}

VideoExport::~VideoExport()
{
    abandon();
}

bool VideoExport::prepare(const VideoSettings& wanted)
{
    settings = wanted;
    // A write to an encoder that has died must come back as an error, not end the program.
    std::signal(SIGPIPE, SIG_IGN);

    const pid_t probe = spawnFfmpeg({"-hide_banner", "-version"}, -1, -1, true);
    if (probe < 0 || !waitSucceeded(probe))
    {
        std::cerr << prefix << "--video needs the ffmpeg program, which did not run; install it with "
                  << "scripts/install-deps.sh" << std::endl;
        return false;
    }

    if (std::filesystem::is_directory(settings.path))
    {
        std::cerr << prefix << "cannot write the video " << settings.path << ": it is a folder" << std::endl;
        return false;
    }
    finalPart = settings.path + ".part";
    picturePart = settings.path + ".picture.part";
    soundPart = settings.path + ".sound.part.wav";
    // Claiming the final part now turns a bad path into an error before minutes of rendering.
    std::ofstream claim(finalPart, std::ios::binary);
    if (!claim)
    {
        std::cerr << prefix << "cannot write the video " << settings.path << ": " << std::strerror(errno)
                  << std::endl;
        finalPart.clear();
        return false;
    }
    return true;
}

bool VideoExport::start(sf::Vector2u size)
{
    frameSize = size;
    pixels.assign(static_cast<std::size_t>(size.x) * size.y * 4, 0);
    int fds[2];
    if (pipe(fds) != 0)
    {
        std::cerr << prefix << "cannot open a pipe to ffmpeg: " << std::strerror(errno) << std::endl;
        return false;
    }
    // OpenGL reads rows bottom-up; ffmpeg turns the picture the right way up while encoding,
    // which spares a copy of every frame here.
    const std::vector<std::string> arguments = {"-hide_banner",
                                                "-loglevel",
                                                "error",
                                                "-nostdin",
                                                "-y",
                                                "-f",
                                                "rawvideo",
                                                "-pix_fmt",
                                                "rgba",
                                                "-video_size",
                                                std::to_string(size.x) + "x" + std::to_string(size.y),
                                                "-framerate",
                                                rateText(settings.framesPerSecond),
                                                "-i",
                                                "pipe:0",
                                                "-vf",
                                                "vflip",
                                                "-c:v",
                                                "libx264",
                                                "-preset",
                                                settings.preset,
                                                "-crf",
                                                std::to_string(settings.crf),
                                                "-pix_fmt",
                                                "yuv420p",
                                                "-f",
                                                "mp4",
                                                picturePart};
    encoder = spawnFfmpeg(arguments, fds[0], fds[1], false);
    close(fds[0]);
    if (encoder < 0)
    {
        close(fds[1]);
        std::cerr << prefix << "cannot start ffmpeg: " << std::strerror(errno) << std::endl;
        return false;
    }
    pipeFd = fds[1];
    return true;
}

bool VideoExport::addFrame(sf::RenderWindow& window)
{
    if (pipeFd < 0)
        return false;
    sf::Clock clock;
    window.setActive(true);
    // The frame's own GPU work is waited for first, so that readbackSeconds holds the copy alone.
    glFinish();
    renderWaitSeconds += clock.restart().asSeconds();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, static_cast<GLsizei>(frameSize.x), static_cast<GLsizei>(frameSize.y), GL_RGBA,
                 GL_UNSIGNED_BYTE, pixels.data());
    readbackSeconds += clock.restart().asSeconds();

    std::size_t written = 0;
    while (written < pixels.size())
    {
        const ssize_t count = write(pipeFd, pixels.data() + written, pixels.size() - written);
        if (count < 0 && errno == EINTR)
        {
            if (interruptSignal() != 0)
                return false; // the caller says why
            continue;
        }
        if (count <= 0)
        {
            reportEncoderGone();
            return false;
        }
        written += static_cast<std::size_t>(count);
    }
    pipeSeconds += clock.restart().asSeconds();
    ++framesSent;
    return true;
}

void VideoExport::reportEncoderGone()
{
    // The encoder closed its end: usually because it could not write its output. A full disk
    // is by far the likeliest reason and the one a person can act on, so it is named as such.
    close(pipeFd);
    pipeFd = -1;
    int status = 0;
    const bool reaped = encoder >= 0 && waitpid(encoder, &status, 0) == encoder;
    encoder = -1;
    if (diskFullAt(settings.path, pixels.size()))
    {
        std::cerr << prefix << "the disk holding " << settings.path << " is full; nothing was written"
                  << std::endl;
        return;
    }
    std::cerr << prefix << "ffmpeg stopped encoding " << settings.path;
    if (reaped && WIFEXITED(status))
        std::cerr << " (it exited with status " << WEXITSTATUS(status) << ")";
    else if (reaped && WIFSIGNALED(status))
        std::cerr << " (it was ended by signal " << WTERMSIG(status) << ")";
    std::cerr << "; nothing was written" << std::endl;
}

bool VideoExport::closeEncoder()
{
    if (pipeFd >= 0)
    {
        close(pipeFd);
        pipeFd = -1;
    }
    if (encoder < 0)
        return false;
    const bool encoded = waitSucceeded(encoder);
    encoder = -1;
    return encoded;
}

bool VideoExport::finish()
{
    if (!closeEncoder())
    {
        std::cerr << prefix << "ffmpeg failed to encode the picture of " << settings.path << std::endl;
        abandon();
        return false;
    }
    const std::vector<std::string> arguments = {
        "-hide_banner", "-loglevel", "error", "-nostdin",  "-y",         "-i",   picturePart, "-i",
        soundPart,      "-map",      "0:v",   "-map",      "1:a",        "-c:v", "copy",      "-c:a",
        "aac",          "-b:a",      "192k",  "-movflags", "+faststart", "-f",   "mp4",       finalPart};
    const pid_t muxer = spawnFfmpeg(arguments, -1, -1, false);
    if (muxer < 0 || !waitSucceeded(muxer))
    {
        std::cerr << prefix << "ffmpeg failed to add the sound to " << settings.path << std::endl;
        abandon();
        return false;
    }
    std::error_code error;
    std::filesystem::rename(finalPart, settings.path, error);
    if (error)
    {
        std::cerr << prefix << "cannot move the finished video to " << settings.path << ": "
                  << error.message() << std::endl;
        abandon();
        return false;
    }
    finalPart.clear();
    abandon();
    return true;
}

void VideoExport::abandon()
{
    if (pipeFd >= 0 || encoder >= 0)
    {
        if (encoder >= 0)
            kill(encoder, SIGTERM);
        closeEncoder();
    }
    removeQuietly(picturePart);
    removeQuietly(soundPart);
    removeQuietly(finalPart);
    picturePart.clear();
    soundPart.clear();
    finalPart.clear();
}
