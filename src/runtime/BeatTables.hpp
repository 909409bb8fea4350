#pragma once

#include "runtime/BeatTrack.hpp"
#include "runtime/MainLoop.hpp"

#include <vector>

/// Everything the beat-driven scenes (2 to 12) agree on about their timing: their beat
/// tables, which entry hands over to the next scene, and whether that last frame is drawn.
/// The scenes fill their tracks from here and the soundtrack composer runs the same data,
/// so picture and music cannot drift apart.
struct SceneSchedule
{
    SceneId scene = -1;         ///< the scene this schedule belongs to
    BeatTable beats;            ///< the track whose entries flash, pop or hit on the beat
    int endEntry = -1;          ///< index in beats whose firing ends the scene; -1: never ends
    bool endFrameDrawn = false; ///< the end frame is drawn in full (true) or returns before drawing
    BeatTable cues;             ///< a second, slower track (image pulses), empty for most scenes
    int fadeEntry = -1;         ///< index in beats that starts the closing fade; -1: none
    float fadeSeconds = 0.0f;   ///< length of that closing fade
};

/// The schedules of the beat-driven scenes, one per scene. The order they play in is the scene
/// chain's (demoScenes() in scenes/SceneTable.hpp), not this list's.
const std::vector<SceneSchedule>& beatSchedules();

/// The schedule of scene, or null when the scene has no beat schedule; writes nothing.
const SceneSchedule* findSchedule(SceneId scene);

/// The schedule of scene. A scene without one writes
/// "BeatTables: Scene <id> has no beat schedule." and gets an empty schedule that never
/// ends, so a caller keeps running instead of crashing.
const SceneSchedule& scheduleFor(SceneId scene);
