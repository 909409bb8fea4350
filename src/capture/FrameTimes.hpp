#pragma once

#include "runtime/MainLoop.hpp"
#include "runtime/PassTiming.hpp"

#include <SFML/System/Clock.hpp>
#include <ostream>
#include <string>
#include <utility>
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
/// time of one plain full-screen pass. Ends with the mean of every frame in times, in
/// milliseconds and in plain passes.
void printSceneTable(std::ostream& out, const std::vector<SceneTimes>& scenes, double plainPassMs,
                     const std::vector<FrameTime>& times = {});

/// The passes of one drawn frame: each pass name with its milliseconds in that frame (a
/// name drawn several times is summed), in the order the names first came.
struct FramePasses
{
    SceneId scene = 0;
    double frameMilliseconds = 0.0; ///< the whole frame, as in FrameTime
    std::vector<std::pair<std::string, double>> passes;
};

/// Times every pass of the frames drawn while it is the program's pass observer: it waits
/// for the GPU (glFinish) before a pass starts and again when it has been queued, so each
/// pass is charged with its own GPU work. Only the bench installs it.
class PassClock : public PassObserver
{
public:
    void passBegins() override;
    void passEnds(const char* name, const char* detail) override;
    /// Hands over the passes timed since the last call and starts afresh.
    std::vector<std::pair<std::string, double>> takePasses();

private:
    sf::Clock clock;
    std::vector<std::pair<std::string, double>> passes;
};

/// One pass of one scene summarised over the scene's drawn frames.
struct ScenePass
{
    SceneId scene = 0;
    std::string pass;
    long frames = 0;       ///< frames that drew this pass
    long sceneFrames = 0;  ///< the scene's drawn frames
    double median = 0.0;   ///< median milliseconds over the frames that drew it
    double perFrame = 0.0; ///< milliseconds summed over all of them, per frame of the scene
};

/// Per scene (in the order the scenes first ran), every pass in the order it first came, and
/// last "other": the rest of each frame (scene logic, window clear and display, waits).
std::vector<ScenePass> summarisePasses(const std::vector<FramePasses>& frames);

/// Writes the per-pass table: a "scene <id>" line, then one line per pass: its name, the median
/// milliseconds, that median in plain passes, the frames that drew it of the scene's frames,
/// and the mean milliseconds per frame of the scene.
void printPassTable(std::ostream& out, const std::vector<ScenePass>& passes, double plainPassMs);

/// The file the per-pass breakdown of the bench CSV path goes to: "times.csv" gives
/// "times.passes.csv"; a path without ".csv" gets ".passes.csv" added.
std::string passCsvPath(const std::string& benchPath);

/// Writes passes as CSV ("scene,pass,frames,scene_frames,median_ms,per_frame_ms") like
/// writeFrameCsv: through path + ".part", false with a message when it cannot.
bool writePassCsv(const std::string& path, const std::vector<ScenePass>& passes);

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
