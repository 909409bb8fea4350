#pragma once

#include "runtime/BeatSchedule.hpp"
#include "runtime/BeatTables.hpp"
#include "runtime/BeatTrack.hpp"

#include <vector>

namespace testsupport
{
/// The frame (1 = a scene's first) on which each entry of table fires when the track is
/// polled once per frame with dt, as the scenes poll it; 0 for an entry that has not fired
/// by maxFrames. Worked out with the real BeatTrack, so a scene's expected beat and
/// hand-over frames follow from its table instead of being written into the test.
inline std::vector<int> firingFrames(const BeatTable& table, float dt, int maxFrames = 5000)
{
    BeatTrack track(table);
    std::vector<int> frames(track.beats.size(), 0);
    for (int frame = 1; frame <= maxFrames; ++frame)
    {
        const int entry = track.poll(dt);
        if (entry >= 0)
            frames[static_cast<std::size_t>(entry)] = frame;
    }
    return frames;
}

/// The frame on which scene hands over at a steady dt: the one its end entry fires on.
inline int handOverFrame(SceneId scene, float dt)
{
    const SceneSchedule& schedule = scheduleFor(scene);
    return firingFrames(schedule.beats, dt).at(static_cast<std::size_t>(schedule.endEntry));
}

/// How many frames scene lasts, its first and hand-over frames included, as the demo's beat
/// schedule lays it out at framesPerSecond; -1 for a scene the schedule does not hold.
inline int scheduledFrames(SceneId scene, int framesPerSecond = scheduleFramesPerSecond)
{
    for (const ScheduledScene& s : computeDemoSchedule(framesPerSecond).scenes)
        if (s.scene == scene)
            return s.endFrame - s.startFrame + 1;
    return -1;
}
} // namespace testsupport
