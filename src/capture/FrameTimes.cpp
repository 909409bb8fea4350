#include "capture/FrameTimes.hpp"

#include <SFML/OpenGL.hpp>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iomanip>
#include <iostream>
#include <map>

double percentile(std::vector<double> values, double share)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<std::size_t>(std::ceil(share * static_cast<double>(values.size())));
    return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

std::vector<SceneTimes> summariseScenes(const std::vector<FrameTime>& times)
{
    std::vector<SceneId> order;
    std::map<SceneId, std::vector<double>> byScene;
    for (const FrameTime& time : times)
    {
        if (byScene.count(time.scene) == 0)
            order.push_back(time.scene);
        byScene[time.scene].push_back(time.milliseconds);
    }
    std::vector<SceneTimes> result;
    for (SceneId scene : order)
    {
        const std::vector<double>& values = byScene[scene];
        result.push_back({scene, static_cast<long>(values.size()), percentile(values, 0.5),
                          percentile(values, 0.95), *std::max_element(values.begin(), values.end())});
    }
    return result;
}

void printSceneTable(std::ostream& out, const std::vector<SceneTimes>& scenes, double plainPassMs,
                     const std::vector<FrameTime>& times)
{
    out << "scene  frames  median ms  p95 ms  worst ms  median/plain pass\n";
    for (const SceneTimes& scene : scenes)
    {
        out << std::setw(5) << scene.scene << std::setw(8) << scene.frames << std::fixed
            << std::setprecision(2) << std::setw(11) << scene.median << std::setw(8) << scene.p95
            << std::setw(10) << scene.worst;
        if (plainPassMs > 0.0)
            out << std::setw(19) << std::setprecision(1) << scene.median / plainPassMs;
        out << "\n";
    }
    out << "plain full-screen pass: " << std::setprecision(2) << plainPassMs << " ms" << std::endl;
    if (times.empty())
        return;
    double sum = 0.0;
    for (const FrameTime& time : times)
        sum += time.milliseconds;
    const double mean = sum / static_cast<double>(times.size());
    out << "whole demo: mean frame " << mean << " ms";
    if (plainPassMs > 0.0)
        out << ", " << std::setprecision(1) << mean / plainPassMs << " plain passes";
    out << std::endl;
}

void PassClock::passBegins()
{
    glFinish();
    clock.restart();
}

void PassClock::passEnds(const char* name, const char* detail)
{
    glFinish();
    const double ms = clock.getElapsedTime().asMicroseconds() / 1000.0;
    const std::string key = detail ? std::string(name) + " " + detail : std::string(name);
    const auto found =
        std::find_if(passes.begin(), passes.end(), [&](const auto& pass) { return pass.first == key; });
    if (found == passes.end())
        passes.emplace_back(key, ms);
    else
        found->second += ms;
}

std::vector<std::pair<std::string, double>> PassClock::takePasses()
{
    return std::exchange(passes, {});
}

std::vector<ScenePass> summarisePasses(const std::vector<FramePasses>& frames)
{
    struct Scene
    {
        long frames = 0;
        std::vector<std::string> order;
        std::map<std::string, std::vector<double>> times;
    };
    std::vector<SceneId> order;
    std::map<SceneId, Scene> scenes;
    for (const FramePasses& frame : frames)
    {
        if (scenes.count(frame.scene) == 0)
            order.push_back(frame.scene);
        Scene& scene = scenes[frame.scene];
        scene.frames += 1;
        double passed = 0.0;
        for (const auto& [pass, ms] : frame.passes)
        {
            if (scene.times.count(pass) == 0)
                scene.order.push_back(pass);
            scene.times[pass].push_back(ms);
            passed += ms;
        }
        scene.times["other"].push_back(std::max(0.0, frame.frameMilliseconds - passed));
    }
    std::vector<ScenePass> result;
    for (SceneId id : order)
    {
        Scene& scene = scenes[id];
        scene.order.push_back("other");
        for (const std::string& pass : scene.order)
        {
            const std::vector<double>& values = scene.times[pass];
            double sum = 0.0;
            for (double value : values)
                sum += value;
            result.push_back({id, pass, static_cast<long>(values.size()), scene.frames,
                              percentile(values, 0.5), sum / static_cast<double>(scene.frames)});
        }
    }
    return result;
}

void printPassTable(std::ostream& out, const std::vector<ScenePass>& passes, double plainPassMs)
{
    // Pass names hold spaces, and each row starts with its name, so no row reads as a scene row.
    out << "passes: median ms over the frames that drew it, that in plain passes, frames, ms per frame\n";
    for (std::size_t i = 0; i < passes.size(); ++i)
    {
        const ScenePass& pass = passes[i];
        if (i == 0 || passes[i - 1].scene != pass.scene)
            out << "scene " << pass.scene << "\n";
        out << "  " << std::left << std::setw(24) << pass.pass << std::right << std::fixed
            << std::setprecision(2) << std::setw(9) << pass.median << std::setprecision(1) << std::setw(7)
            << (plainPassMs > 0.0 ? pass.median / plainPassMs : 0.0) << std::setw(6) << pass.frames << "/"
            << std::left << std::setw(5) << pass.sceneFrames << std::right << std::setprecision(2)
            << std::setw(8) << pass.perFrame << "\n";
    }
    out << std::flush;
}

std::string passCsvPath(const std::string& benchPath)
{
    const std::string suffix = ".csv";
    if (benchPath.size() > suffix.size() &&
        benchPath.compare(benchPath.size() - suffix.size(), suffix.size(), suffix) == 0)
        return benchPath.substr(0, benchPath.size() - suffix.size()) + ".passes.csv";
    return benchPath + ".passes.csv";
}

void printStepRates(std::ostream& out, const std::vector<FrameTime>& steps)
{
    std::vector<SceneId> order;
    std::map<SceneId, std::pair<long, double>> byScene; // steps, milliseconds
    for (const FrameTime& step : steps)
    {
        if (byScene.count(step.scene) == 0)
            order.push_back(step.scene);
        byScene[step.scene].first += 1;
        byScene[step.scene].second += step.milliseconds;
    }
    out << "scene  steps without drawing  steps/s\n";
    long allSteps = 0;
    double allMs = 0.0;
    const auto row = [&out](const std::string& name, long count, double ms)
    {
        out << std::setw(5) << name << std::setw(22) << count << std::fixed << std::setprecision(0)
            << std::setw(9) << (ms > 0.0 ? 1000.0 * static_cast<double>(count) / ms : 0.0) << "\n";
    };
    for (SceneId scene : order)
    {
        const auto [count, ms] = byScene[scene];
        row(std::to_string(scene), count, ms);
        allSteps += count;
        allMs += ms;
    }
    row("all", allSteps, allMs);
    out << std::fixed << std::setprecision(3) << "steps without drawing took " << allMs / 1000.0 << " s\n"
        << std::flush;
}

bool checkWritable(const std::string& path, const char* what)
{
    if (std::filesystem::is_directory(path))
    {
        std::cerr << "flumbadoo-capture: cannot write the " << what << " " << path << ": it is a folder"
                  << std::endl;
        return false;
    }
    const std::string part = path + ".part";
    std::ofstream probe(part, std::ios::binary);
    if (!probe)
    {
        std::cerr << "flumbadoo-capture: cannot write the " << what << " " << path << ": "
                  << std::strerror(errno) << std::endl;
        return false;
    }
    probe.close();
    std::remove(part.c_str());
    return true;
}

namespace
{
/// Writes a CSV file through path + ".part", moved into place once complete; what says what
/// the file holds in the message when it cannot be written.
bool writeCsv(const std::string& path, const char* what, const std::function<void(std::ostream&)>& rows)
{
    const std::string part = path + ".part";
    {
        std::ofstream out(part);
        out << std::fixed << std::setprecision(3);
        rows(out);
        out.flush();
        if (out)
        {
            out.close();
            if (std::rename(part.c_str(), path.c_str()) == 0)
                return true;
        }
    }
    std::cerr << "flumbadoo-capture: cannot write the " << what << " " << path << ": " << std::strerror(errno)
              << std::endl;
    std::remove(part.c_str());
    return false;
}
} // namespace

bool writeFrameCsv(const std::string& path, const std::vector<FrameTime>& times)
{
    return writeCsv(path, "frame times",
                    [&](std::ostream& out)
                    {
                        out << "frame,scene,ms\n";
                        for (const FrameTime& time : times)
                            out << time.frame << "," << time.scene << "," << time.milliseconds << "\n";
                    });
}

bool writePassCsv(const std::string& path, const std::vector<ScenePass>& passes)
{
    return writeCsv(path, "pass times",
                    [&](std::ostream& out)
                    {
                        out << "scene,pass,frames,scene_frames,median_ms,per_frame_ms\n";
                        for (const ScenePass& pass : passes)
                            out << pass.scene << "," << pass.pass << "," << pass.frames << ","
                                << pass.sceneFrames << "," << pass.median << "," << pass.perFrame << "\n";
                    });
}
