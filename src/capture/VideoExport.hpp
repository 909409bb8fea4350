#pragma once

#include <SFML/Graphics/RenderWindow.hpp>
#include <string>
#include <sys/types.h>
#include <vector>

/// Whether the disk that path (a file, which need not exist) would be written to has less than
/// bytes free for an unprivileged writer. False when that cannot be told.
bool diskFullAt(const std::string& path, unsigned long long bytes);

/// How the video is encoded.
struct VideoSettings
{
    std::string path;              ///< the MP4 file to write
    double framesPerSecond = 60.0; ///< the frame rate stored in the file
    int crf = 18;                  ///< x264 constant rate factor: 0 lossless, 51 worst
    std::string preset = "medium"; ///< x264 speed preset (ultrafast ... veryslow)
};

/// Writes the demo's frames and mixed sound as an H.264/AAC MP4 through Debian's ffmpeg
/// program. Frames are read back from the window into one reused buffer and piped raw to an
/// ffmpeg that encodes the picture; finish() then muxes it with the sound track. Everything
/// is written beside the target under names ending in ".part" and moved into place only
/// when complete, so a failed or interrupted export leaves no file under the target's name;
/// the parts are removed on failure and on destruction.
class VideoExport
{
public:
    VideoExport() = default;
    /// Removes whatever parts an unfinished export left, as abandon() does.
    ~VideoExport();
    VideoExport(const VideoExport&) = delete;
    VideoExport& operator=(const VideoExport&) = delete;

    /// Checks that ffmpeg runs and that the target's folder takes files, before anything
    /// is rendered. Returns false, with a message, when either fails.
    bool prepare(const VideoSettings& settings);

    /// Starts the picture encoder for frames of size. Returns false, with a message, on failure.
    bool start(sf::Vector2u size);

    /// Reads the finished frame back from window (the active target, before display) and
    /// sends it to the encoder. Returns false, with a message, when the encoder is gone (saying
    /// so when the disk it writes to is full); without one when an interrupt (catchInterrupts)
    /// cut the write short.
    bool addFrame(sf::RenderWindow& window);

    /// The WAV file finish() expects the sound track in (one of the parts).
    const std::string& soundPath() const { return soundPart; }

    /// Ends the picture, muxes it with the WAV at soundPath() and moves the result to the
    /// target. Returns false, with a message, when any step fails; the parts are removed.
    bool finish();

    /// Removes every part written so far and stops the encoder.
    void abandon();

    double renderWaitSeconds = 0.0; ///< total spent waiting for frames to finish rendering
    double readbackSeconds = 0.0;   ///< total spent copying finished frames back
    double pipeSeconds = 0.0;       ///< total spent handing frames to the encoder
    long framesSent = 0;

private:
    bool closeEncoder();
    void reportEncoderGone();

    VideoSettings settings;
    std::string picturePart;
    std::string soundPart;
    std::string finalPart;
    sf::Vector2u frameSize;
    std::vector<unsigned char> pixels; // one frame, reused for every readback
    pid_t encoder = -1;
    int pipeFd = -1;
};
