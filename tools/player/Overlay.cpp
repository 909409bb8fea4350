#include "Overlay.hpp"

#include "assets/Manifest.hpp"

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Graphics/VertexArray.hpp>
#include <SFML/Graphics/View.hpp>
#include <algorithm>
#include <cstdio>

namespace
{
constexpr std::size_t graphFrames = 180;
constexpr float graphWidth = 540.f;
constexpr float graphHeight = 90.f;
constexpr double graphTopMs = 50.0; // the graph's height in milliseconds
constexpr double budgetMs = 1000.0 / 60.0;

const char* const keysLine = "Space pause  . , frame  Left/Right 1 s  Down/Up 10 s  P/N scene  R start  "
                             "[ ] loop in/out  L loop scene  1/2/4 speed  O overlay  Esc quit";

std::string format(const char* pattern, double a, double b = 0.0)
{
    char text[64];
    std::snprintf(text, sizeof text, pattern, a, b);
    return text;
}
} // namespace

Overlay::Overlay()
{
    QuietSfmlErrors quiet; // a font that is not installed is no news
    for (const char* file :
         {"/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf", "assets/sticky_sugary.ttf"})
        if ((hasFont = font.loadFromFile(file)))
            break;
}

void Overlay::addFrameTime(double milliseconds)
{
    frameTimes.push_back(milliseconds);
    while (frameTimes.size() > graphFrames)
        frameTimes.pop_front();
}

void Overlay::draw(sf::RenderTarget& target, const OverlayState& state) const
{
    const sf::View ownView = target.getView();
    target.setView(target.getDefaultView());

    std::string status = format("%.3f s", state.step / 60.0) + format(" of %.1f s", state.lastStep / 60.0) +
                         "  step " + std::to_string(state.step);
    if (state.ended)
        status += "  END";
    else if (state.paused)
        status += "  PAUSED";
    if (state.speed != 1.f)
        status += format("  speed %.2f", state.speed);
    if (!state.loop.empty())
        status += "  " + state.loop;

    const std::string lines[] = {
        status,
        "scene " + std::to_string(state.scene) + " " + state.sceneName +
            format("  %.3f s", state.sceneSeconds),
        state.beat,
        frameTimes.empty() ? std::string("frame time: shown from the next frame drawn with the overlay")
                           : format("frame %.1f ms", frameTimes.back()) +
                                 format("  worst of the last 3 s %.1f ms",
                                        *std::max_element(frameTimes.begin(), frameTimes.end())),
        state.message,
    };

    const float left = 16.f;
    const float lineHeight = 30.f;
    const float graphTop = 16.f + lineHeight * 5.f + 8.f;
    sf::RectangleShape box({graphWidth + 560.f, graphTop + graphHeight + 16.f});
    box.setFillColor(sf::Color(0, 0, 0, 170));
    target.draw(box);

    if (hasFont)
    {
        float y = 14.f;
        for (const std::string& line : lines)
        {
            sf::Text text(line, font, 22);
            text.setPosition(left, y);
            text.setFillColor(sf::Color::White);
            target.draw(text);
            y += lineHeight;
        }
        sf::RectangleShape keysBox({1920.f, 40.f});
        keysBox.setPosition(0.f, 1040.f);
        keysBox.setFillColor(sf::Color(0, 0, 0, 170));
        target.draw(keysBox);
        sf::Text keys(keysLine, font, 20);
        keys.setPosition(left, 1048.f);
        keys.setFillColor(sf::Color(220, 220, 220));
        target.draw(keys);
    }

    // One bar a frame, newest at the right; green within 60 fps, red beyond, a line at 16.7 ms.
    sf::VertexArray bars(sf::Lines);
    const float barWidth = graphWidth / graphFrames;
    const float firstX = left + graphWidth - barWidth * static_cast<float>(frameTimes.size());
    const float bottom = graphTop + graphHeight;
    for (std::size_t i = 0; i < frameTimes.size(); ++i)
    {
        const double ms = frameTimes[i];
        const float height = static_cast<float>(std::min(ms, graphTopMs) / graphTopMs) * graphHeight;
        const sf::Color colour = ms <= budgetMs ? sf::Color(90, 230, 90) : sf::Color(240, 70, 60);
        const float x = firstX + barWidth * static_cast<float>(i);
        bars.append(sf::Vertex({x, bottom}, colour));
        bars.append(sf::Vertex({x, bottom - height}, colour));
    }
    const float budgetY = bottom - static_cast<float>(budgetMs / graphTopMs) * graphHeight;
    bars.append(sf::Vertex({left, budgetY}, sf::Color::Yellow));
    bars.append(sf::Vertex({left + graphWidth, budgetY}, sf::Color::Yellow));
    target.draw(bars);

    target.setView(ownView);
}
