#pragma once

#include "runtime/MainLoop.hpp"

#include <ostream>
#include <string>
#include <vector>

/// The time one frame took, GPU work included.
struct FrameTime
{
    long frame = 0;
    SceneId scene = 0;
    double milliseconds = 0.0;
};

/// One scene's frame times summarised.
struct SceneTimes
{
    SceneId scene = 0;
    long frames = 0;
    double median = 0.0;
    double p95 = 0.0; ///< 95th percentile, nearest rank
    double worst = 0.0;
};

/// The value below which share (0..1] of values lie, by nearest rank; 0 for no values.
double percentile(std::vector<double> values, double share);

/// One summary per scene, in the order the scenes first ran.
std::vector<SceneTimes> summariseScenes(const std::vector<FrameTime>& times);

/// Writes the per-scene table; each median is also given as a multiple of plainPassMs, the
/// time of one plain full-screen pass.
void printSceneTable(std::ostream& out, const std::vector<SceneTimes>& scenes, double plainPassMs);

/// Writes, per scene in the order the scenes first ran, how many steps ran without drawing
/// and how many of them ran per second (from their summed times).
void printStepRates(std::ostream& out, const std::vector<FrameTime>& steps);

/// Writes times as CSV ("frame,scene,ms") to path through path + ".part", which is moved
/// into place once complete. Returns false, with a message, when it cannot; nothing is
/// left under either name then.
bool writeFrameCsv(const std::string& path, const std::vector<FrameTime>& times);

/// Tells whether a file can be written at path, by creating and removing path + ".part";
/// writes a message when not. Used before a long run, so a bad path fails at once.
bool checkWritable(const std::string& path, const char* what);
