#pragma once

#include "runtime/MainLoop.hpp"

/// How many frames the demo runs at a fixed step of frameSeconds, from the first frame of
/// startScene to the frame that dispatches the end (which the loop still runs), as the
/// scenes' own clocks lay it out: the opening cards' waits, the bouncing logos' sixteen
/// seconds and the beat tables of scenes 2 to 12, stepped in float like the scenes.
/// Returns 0 when startScene is not in the chain.
long demoFrameCount(float frameSeconds, SceneId startScene = 0);

/// The 60 Hz step (counted from 1, which shows at 0 s) that output frame (counted from 1)
/// shows at framesPerSecond output frames a second: the last step at or before
/// (frame - 1) / framesPerSecond seconds.
long outputFrameStep(long frame, int framesPerSecond);

/// The demo time after step: the seconds the scenes' clocks have run, step / 60.
double stepDemoTime(long step);

/// Whether demoTime has reached seconds, a time a person typed: it counts as reached within
/// a nanosecond, so that 1.1 is reached on step 66 although 66 / 60 rounds the other way.
bool reachesTime(double demoTime, double seconds);
