#include "capture/Progress.hpp"

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <sstream>

std::string clockText(double seconds)
{
    const long whole = std::lround(std::max(0.0, seconds));
    std::ostringstream text;
    if (whole >= 3600)
        text << whole / 3600 << ":" << std::setw(2) << std::setfill('0') << (whole / 60) % 60;
    else
        text << whole / 60;
    text << ":" << std::setw(2) << std::setfill('0') << whole % 60;
    return text.str();
}

ProgressLine::ProgressLine(std::ostream& stream, long totalFrames, bool onTerminal, bool quiet)
    : out(stream), total(totalFrames), live(onTerminal && !quiet), silent(quiet)
{
}

void ProgressLine::update(long frame, SceneId scene)
{
    if (!live)
        return;
    const float now = elapsed.getElapsedTime().asSeconds();
    if (lastShown >= 0.f && now - lastShown < 0.25f && frame != total)
        return;
    lastShown = now;
    const double rate = now > 0.f ? frame / static_cast<double>(now) : 0.0;
    std::ostringstream line;
    line << "frame " << frame;
    if (total > 0)
        line << "/" << total << " (" << frame * 100 / total << "%)";
    line << "  scene " << scene << "  " << std::fixed << std::setprecision(1) << rate << " fps  elapsed "
         << clockText(now);
    if (total > 0 && rate > 0.0)
        line << "  left " << clockText(static_cast<double>(std::max(0L, total - frame)) / rate);
    std::string text = line.str();
    // Pads over the rest of a longer earlier line instead of clearing the terminal line.
    const std::size_t width = text.size();
    if (width < lastWidth)
        text.append(lastWidth - width, ' ');
    lastWidth = width;
    out << "\r" << text << std::flush;
}

void ProgressLine::finish(long frames)
{
    if (silent)
        return;
    const float seconds = elapsed.getElapsedTime().asSeconds();
    if (live && lastWidth > 0)
        out << "\r" << std::string(lastWidth, ' ') << "\r";
    out << "flumbadoo-capture: " << frames << " frames in " << clockText(seconds) << " (" << std::fixed
        << std::setprecision(1) << (seconds > 0.f ? frames / seconds : 0.f) << " fps)" << std::endl;
}
