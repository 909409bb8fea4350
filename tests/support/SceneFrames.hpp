#pragma once

#include "DemoRun.hpp"
#include "capture/DemoLength.hpp"
#include "runtime/BeatTables.hpp"
#include "scenes/SceneTable.hpp"

#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/Shader.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Window/Context.hpp>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <map>

namespace testsupport
{
/// The frame (1 = a scene's first) on which each entry of table fires, polled once a frame with
/// dt as the scenes do it (0: not by maxFrames), so expected frames follow from the tables.
inline std::vector<int> firingFrames(const BeatTable& table, float dt, int maxFrames = 5000)
{
    BeatTrack track(table);
    std::vector<int> frames(track.beats.size(), 0);
    for (int frame = 1; frame <= maxFrames; ++frame)
        if (const int entry = track.poll(dt); entry >= 0)
            frames[static_cast<std::size_t>(entry)] = frame;
    return frames;
}

/// The frame on which entry of scene's beat table fires at a steady dt.
inline int beatFrame(SceneId scene, int entry, float dt = stepSeconds)
{
    return firingFrames(scheduleFor(scene).beats, dt).at(static_cast<std::size_t>(entry));
}

/// The frame scene hands over on at dt: its end entry's, or the demo length's for the timed two.
inline int handOverFrame(SceneId scene, float dt = stepSeconds)
{
    if (const SceneSchedule* schedule = findSchedule(scene))
        return beatFrame(scene, schedule->endEntry, dt);
    return static_cast<int>(demoFrameCount(dt, scene) - demoFrameCount(dt, scene + 1));
}

/// Mean brightness (0..255) of the whole image: (r + g + b) / 3, averaged.
inline double meanBrightness(const sf::Image& image)
{
    const sf::Uint8* pixels = image.getPixelsPtr();
    const std::size_t count = std::size_t(image.getSize().x) * image.getSize().y;
    double sum = 0;
    for (std::size_t i = 0; i < count; ++i)
        sum += (pixels[4 * i] + pixels[4 * i + 1] + pixels[4 * i + 2]) / 3.0;
    return count ? sum / count : 0.0;
}

/// A 1920 x 1080 target and a quad that covers it, to draw one pass the old way and the new and
/// compare the pictures.
struct ScreenQuad
{
    sf::RenderTexture target;
    sf::Texture screen;
    sf::Sprite quad;

    /// Makes the target and the quad's texture; false when either cannot be made.
    bool create()
    {
        if (!target.create(1920, 1080) || !screen.create(1920, 1080))
            return false;
        quad.setTexture(screen, true);
        return true;
    }

    /// What draw leaves on the target, cleared to background first.
    sf::Image drawn(const std::function<void()>& draw, sf::Color background = sf::Color::Black)
    {
        target.clear(background);
        draw();
        target.display();
        return target.getTexture().copyToImage();
    }
};

/// Mean absolute difference per colour channel (0..255) between two images of one size.
inline double meanDifference(const sf::Image& a, const sf::Image& b)
{
    const sf::Uint8* x = a.getPixelsPtr();
    const sf::Uint8* y = b.getPixelsPtr();
    const std::size_t count = std::size_t(a.getSize().x) * a.getSize().y;
    if (b.getSize() != a.getSize() || count == 0)
        return 255.0;
    double sum = 0;
    for (std::size_t i = 0; i < 4 * count; ++i)
        if (i % 4 != 3)
            sum += std::abs(int(x[i]) - int(y[i]));
    return sum / (3.0 * count);
}

/// The uniform name of shader as the GL program holds it (an int one converted; NaN: none), read
/// back through GL in the active context, so a test sees what a scene sent, not what it meant to.
inline float uniformFloat(const sf::Shader& shader, const char* name)
{
    const auto find =
        reinterpret_cast<int (*)(unsigned, const char*)>(sf::Context::getFunction("glGetUniformLocation"));
    const auto get =
        reinterpret_cast<void (*)(unsigned, int, float*)>(sf::Context::getFunction("glGetUniformfv"));
    float value = std::numeric_limits<float>::quiet_NaN();
    if (const int where = find ? find(shader.getNativeHandle(), name) : -1; where >= 0 && get)
        get(shader.getNativeHandle(), where, &value);
    return value;
}

/// The value run's scenes have given the uniform name of shader in the demo's state, which the next
/// drawn frame sends (NaN: none given).
inline float stateUniform(DemoRun& run, const sf::Shader& shader, const char* name)
{
    const UniformValue* value = run.state().uniforms.find(shader, name);
    if (const float* number = value ? std::get_if<float>(value) : nullptr)
        return *number;
    if (const int* number = value ? std::get_if<int>(value) : nullptr)
        return static_cast<float>(*number);
    return std::numeric_limits<float>::quiet_NaN();
}

/// What a row's check gets: the run just after the row's frame (its context active, for uniforms),
/// that frame (from 1 in its scene), the scene's grabbed frames and, drawn, the frame itself.
struct Seen
{
    DemoRun& run;
    int frame;
    const std::map<int, sf::Image>& shots;
    const sf::Image& shot() const { return run.lastFrame(); }
};

/// What must hold right after frame, which grab draws (no check: it is only kept); everyFrame:
/// each frame before the hand-over; a negative frame counts back from the hand-over frame, -1.
constexpr int everyFrame = 0;
struct Row
{
    int frame;
    std::function<void(const Seen&)> check;
    bool grab = false;
};

/// The rows of each scene that has some.
using SceneRows = std::map<SceneId, std::vector<Row>>;

/// Runs the demo at dt from its current scene until scene until. Each scene hands over on
/// handOverFrame to the next in the chain, on a frame that shows nothing of it (all of it where
/// its schedule draws that frame), and meets its rows on the way.
inline void walkScenes(DemoRun& run, float dt, SceneRows scenes, SceneId until = endOfDemo)
{
    for (SceneId scene = run.state().currentScene; scene != until; scene = run.state().currentScene)
    {
        SCOPED_TRACE(testing::Message() << "scene " << scene);
        const std::vector<Row>& rows = scenes[scene];
        const int end = handOverFrame(scene, dt);
        ASSERT_GT(end, 0) << "the scene never hands over";
        const auto due = [end](const Row& row, int frame)
        { return row.frame == frame || row.frame == frame - end - 1; };
        std::map<int, sf::Image> shots;
        for (const Row& row : rows)
            EXPECT_LE(row.frame, end) << "a row the walk never reaches";
        for (int frame = 1; frame <= end; ++frame)
        {
            bool grab = frame == end;
            for (const Row& row : rows)
                grab = grab || (row.grab && due(row, frame));
            const FrameResult result = run.frame(dt, grab);
            if (grab)
                shots[frame] = run.lastFrame();
            ASSERT_EQ(result.next != scene, frame == end) << "frame " << frame;
            run.window.setActive(true);
            for (const Row& row : rows)
                if (row.check && (due(row, frame) || (row.frame == everyFrame && frame < end)))
                {
                    SCOPED_TRACE(testing::Message() << "frame " << frame);
                    row.check({run, frame, shots});
                }
        }
        const SceneSchedule* schedule = findSchedule(scene);
        ASSERT_EQ(run.state().currentScene, nextScene(scene));
        if (schedule && schedule->endFrameDrawn)
            EXPECT_GT(meanBrightness(shots[end]), 100.0) << "the hand-over frame is drawn in full";
        else
            EXPECT_LT(meanBrightness(shots[end]), 1.0) << "the hand-over frame draws nothing";
    }
}
} // namespace testsupport
