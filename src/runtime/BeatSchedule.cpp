#include "runtime/BeatSchedule.hpp"

#include "runtime/BeatTables.hpp"
#include "runtime/BeatTrack.hpp"

#include <iostream>

double frameStartTime(int frame, int framesPerSecond)
{
    return static_cast<double>(frame) / static_cast<double>(framesPerSecond);
}

DemoSchedule computeDemoSchedule(const SceneTable& chain, int framesPerSecond, int maxFramesPerScene)
{
    const float frameSeconds = 1.0f / static_cast<float>(framesPerSecond);
    DemoSchedule result;
    int frame = 0;
    for (const SceneEntry& entry : chain)
    {
        const SceneSchedule* found = findSchedule(entry.id);
        if (!found)
            continue;
        const SceneSchedule& scene = *found;
        BeatTrack beats(scene.beats);
        BeatTrack cues(scene.cues);
        ScheduledScene placed{scene.scene, frame, frame};
        bool ended = false;
        for (int sceneFrame = 0; sceneFrame < maxFramesPerScene && !ended; ++sceneFrame, ++frame)
        {
            // Both tracks are polled every frame the scene runs, its last one included.
            const int beat = beats.poll(frameSeconds);
            const int cue = cues.poll(frameSeconds);
            const double time = frameStartTime(frame, framesPerSecond);
            if (beat >= 0)
            {
                result.beats.push_back({frame, time, scene.scene, beat, false});
                if (beat == scene.fadeEntry)
                {
                    result.fadeStart = time;
                    result.fadeSeconds = scene.fadeSeconds;
                }
                if (beat == scene.endEntry)
                {
                    placed.endFrame = frame;
                    ended = true;
                }
            }
            if (cue >= 0)
                result.beats.push_back({frame, time, scene.scene, cue, true});
        }
        if (!ended)
        {
            std::cerr << "BeatSchedule: Scene " << scene.scene << " never ends." << std::endl;
            placed.endFrame = frame - 1;
            result.scenes.push_back(placed);
            result.endFrame = frame;
            return result;
        }
        result.scenes.push_back(placed);
    }
    result.endFrame = frame;
    result.complete = true;
    return result;
}
