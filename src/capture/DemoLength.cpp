#include "capture/DemoLength.hpp"

#include "runtime/BeatTables.hpp"
#include "runtime/BeatTrack.hpp"
#include "scenes/SceneTable.hpp"

namespace
{
/// Frames until a clock advanced by frameSeconds has passed seconds strictly, the passing
/// frame included: the test both timed scenes make.
long framesPast(float seconds, float frameSeconds)
{
    float clock = 0.f;
    long frames = 0;
    do
    {
        clock += frameSeconds;
        ++frames;
    } while (!(clock > seconds) && frames < 100000000L);
    return frames;
}

// A beat scene that never reaches its end entry is cut off here, like the schedule does.
const long maxFramesPerScene = 36000;
} // namespace

long demoFrameCount(float frameSeconds, SceneId startScene)
{
    if (!(frameSeconds > 0.f))
        return 0;
    long frames = 0;
    bool counting = false;
    for (const SceneEntry& entry : demoScenes())
    {
        counting = counting || entry.id == startScene;
        if (!counting)
            continue;
        // The two timed scenes: the opening cards' timeline, each wait restarting its clock,
        // and the bouncing logos' length.
        if (entry.id == 0)
        {
            for (float wait : openingCardWaits)
                frames += framesPast(wait, frameSeconds);
            continue;
        }
        if (entry.id == 1)
        {
            frames += framesPast(bouncingLogosSeconds, frameSeconds);
            continue;
        }
        const SceneSchedule* scene = findSchedule(entry.id);
        if (!scene)
            continue;
        BeatTrack beats(scene->beats);
        long sceneFrames = 0;
        while (sceneFrames < maxFramesPerScene)
        {
            ++sceneFrames;
            const int fired = beats.poll(frameSeconds);
            if (scene->endEntry >= 0 && fired == scene->endEntry)
                break;
        }
        frames += sceneFrames;
    }
    // The frame after the last scene's dispatches the end: it still runs and is shown.
    return counting ? frames + 1 : 0;
}

long outputFrameStep(long frame, int framesPerSecond)
{
    return 1 + (frame - 1) * stepsPerSecond / framesPerSecond;
}

double stepDemoTime(long step)
{
    return static_cast<double>(step) / stepsPerSecond;
}

bool reachesTime(double demoTime, double seconds)
{
    return demoTime >= seconds - 1e-9;
}
