#pragma once

#include "runtime/MainLoop.hpp"

#include <vector>

/// The frame rate the soundtrack is composed for: the demo's cap of 60 frames per second.
constexpr int scheduleFramesPerSecond = 60;

/// One beat entry firing, as the picture shows it.
struct ScheduledBeat
{
    int frame = 0;      ///< frame on which it fires, counted from scene 2's first frame (0)
    double time = 0.0;  ///< frame / frames per second: seconds from the soundtrack's start
    SceneId scene = -1; ///< the scene whose track fired
    int index = -1;     ///< the entry's index in that track's list
    bool cue = false;   ///< fired by the scene's second, slower track rather than its beats
};

/// Where one scene lies in the frame sequence.
struct ScheduledScene
{
    SceneId scene = -1;
    int startFrame = 0; ///< its first frame
    int endFrame = 0;   ///< the frame on which it hands over; the next scene starts one later
};

/// The beat-driven part of the demo laid out frame by frame.
struct DemoSchedule
{
    std::vector<ScheduledBeat> beats;   ///< every firing, in frame order (list order within a frame)
    std::vector<ScheduledScene> scenes; ///< scenes 2 to 12, in chain order
    int endFrame = 0;                   ///< the frame that dispatches 666 and stops the loop
    double fadeStart = -1.0;            ///< seconds at which the closing fade starts; -1 if none
    double fadeSeconds = 0.0;           ///< length of the closing fade
    bool complete = false;              ///< every scene reached its end entry
};

/// Plays the beat-driven scenes of chain (the demo's demoScenes()), in its order, from the first
/// one's first frame at a fixed frame rate, polling the same
/// beat tables through BeatTrack with dt = 1 / framesPerSecond as a float, as the scenes do,
/// and records every firing and hand-over. A scene whose end entry has not fired after
/// maxFramesPerScene frames writes "BeatSchedule: Scene <id> never ends." and the result is
/// left incomplete at that point.
DemoSchedule computeDemoSchedule(const SceneTable& chain, int framesPerSecond = scheduleFramesPerSecond,
                                 int maxFramesPerScene = 36000);

/// Seconds from the soundtrack's start at which frame begins: frame / framesPerSecond.
double frameStartTime(int frame, int framesPerSecond = scheduleFramesPerSecond);
