#pragma once

#include "runtime/BeatTrack.hpp"
#include "runtime/MainLoop.hpp"

#include <vector>

/// Everything the beat-driven scenes (2 to 12) agree on about their timing: their beat
/// tables, which entry hands over to which scene, and whether that last frame is drawn.
/// The scenes fill their tracks from here and the soundtrack composer runs the same data,
/// so picture and music cannot drift apart.
struct SceneSchedule
{
    SceneId scene = -1;         ///< the scene this schedule belongs to
    SceneId next = -1;          ///< what the scene returns when its end entry fires
    const char* name = "";      ///< what the scene shows, for messages and tools
    BeatTable beats;            ///< the track whose entries flash, pop or hit on the beat
    int endEntry = -1;          ///< index in beats whose firing ends the scene; -1: never ends
    bool endFrameDrawn = false; ///< the end frame is drawn in full (true) or returns before drawing
    BeatTable cues;             ///< a second, slower track (image pulses), empty for most scenes
    int fadeEntry = -1;         ///< index in beats that starts the closing fade; -1: none
    float fadeSeconds = 0.0f;   ///< length of that closing fade
};

/// The beat-driven scenes in the order they play: 2, 3, 4, 5, 6, 65, 7, 8, 9, 10, 11, 12.
/// Each one's next is the following one's scene; the last returns 666.
const std::vector<SceneSchedule>& beatSceneChain();

/// The schedule of scene, or null when the scene has no beat schedule; writes nothing.
const SceneSchedule* findSchedule(SceneId scene);

/// The schedule of scene. A scene without one writes
/// "BeatTables: Scene <id> has no beat schedule." and gets an empty schedule that never
/// ends (its next is the scene itself), so a caller keeps running instead of crashing.
const SceneSchedule& scheduleFor(SceneId scene);
