#pragma once

#include "runtime/MainLoop.hpp"

/// How many frames the demo runs at a fixed step of frameSeconds, from the first frame of
/// startScene to the frame that dispatches the end (which the loop still runs), as the
/// scenes' own clocks lay it out: the opening cards' waits, the bouncing logos' sixteen
/// seconds and the beat tables of scenes 2 to 12, stepped in float like the scenes.
/// Returns 0 when startScene is not in the chain.
long demoFrameCount(float frameSeconds, SceneId startScene = 0);
