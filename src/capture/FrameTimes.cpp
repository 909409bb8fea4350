#include "capture/FrameTimes.hpp"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
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

void printSceneTable(std::ostream& out, const std::vector<SceneTimes>& scenes, double plainPassMs)
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
    for (SceneId scene : order)
    {
        const auto [count, ms] = byScene[scene];
        out << std::setw(5) << scene << std::setw(22) << count << std::fixed << std::setprecision(0)
            << std::setw(9) << (ms > 0.0 ? 1000.0 * static_cast<double>(count) / ms : 0.0) << "\n";
    }
    out << std::flush;
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

bool writeFrameCsv(const std::string& path, const std::vector<FrameTime>& times)
{
    const std::string part = path + ".part";
    {
        std::ofstream out(part);
        out << "frame,scene,ms\n" << std::fixed << std::setprecision(3);
        for (const FrameTime& time : times)
            out << time.frame << "," << time.scene << "," << time.milliseconds << "\n";
        out.flush();
        if (out)
        {
            out.close();
            if (std::rename(part.c_str(), path.c_str()) == 0)
                return true;
        }
    }
    std::cerr << "flumbadoo-capture: cannot write the frame times " << path << ": " << std::strerror(errno)
              << std::endl;
    std::remove(part.c_str());
    return false;
}
