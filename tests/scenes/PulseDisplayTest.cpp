// The pulse in both its configurations at 1/60 s, its "iTime" read back from a real shader program.
#include "SceneFrames.hpp"
#include "runtime/PassTiming.hpp"
#include "runtime/Resources.hpp"
#include "scenes/Pulse.hpp"

#include <SFML/Graphics/RenderTexture.hpp>
#include <cmath>

using namespace testsupport;

TEST(Pulse, RisesHoldsFallsAndRestartsForItsConfiguredTimes)
{
    const float sixtieth = 1.f / 60.f, untouched = 0.4242f; // a level no pulse sends
    const Resources resources;
    sf::RenderTexture target;
    ASSERT_TRUE(target.create(8, 8) && target.setActive(true)) << "uniforms are read in its context";
    sf::Shader shader;
    ASSERT_TRUE(shader.loadFromMemory(
        "uniform float iTime; void main() { gl_FragColor = vec4(1.0, iTime, 0.0, 1.0); }",
        sf::Shader::Fragment));
    sf::Texture texture; // what it holds does not matter: the shader paints every pixel
    texture.create(8, 8);
    sf::Sprite quad(texture);
    for (const PulseRates rates : {greetPulseRates, layerPulseRates})
    {
        SCOPED_TRACE(rates.risePerSecond);
        Pulse pulse{rates, &quad, &shader};
        const auto draws = [&]
        {
            target.clear(sf::Color::Transparent);
            pulse.draw(resources, target);
            target.display();
            return target.getTexture().copyToImage().getPixel(4, 4).a != 0;
        };
        // Updates while the pulse stays in stage (and above floor): an update sends nothing, the
        // draw after it sends the level.
        const auto framesIn = [&](int stage, float floor = -1.f)
        {
            int frames = 0;
            for (; pulse.active && pulse.stage == stage && pulse.level > floor && frames < 1000; ++frames)
            {
                shader.setUniform("iTime", untouched);
                pulse.update(sixtieth);
                EXPECT_FLOAT_EQ(uniformFloat(shader, "iTime"), untouched);
                draws();
                EXPECT_FLOAT_EQ(uniformFloat(shader, "iTime"), pulse.level);
            }
            return frames;
        };
        EXPECT_FALSE(draws()) << "a pulse that never started";
        pulse.start();
        EXPECT_FALSE(draws()) << "at level 0 every tile is out of sight: the pass is left out";
        drawingShortcuts = false;
        EXPECT_TRUE(draws()) << "drawn in full without the shortcuts";
        drawingShortcuts = true;
        EXPECT_NEAR(framesIn(0), std::lround(60.f / rates.risePerSecond), 1);
        EXPECT_EQ(pulse.level, 1.f);
        const int hold = framesIn(1);
        EXPECT_NEAR(hold, std::lround(60.f * rates.holdSeconds), 1);
        EXPECT_GT(pulse.holdTime, rates.holdSeconds) << "the hold ends only once its time has passed";

        // Started again while falling, it begins anew with a full hold.
        for (int frame = 0; frame < 10; ++frame)
            pulse.update(sixtieth);
        ASSERT_EQ(pulse.stage, 2);
        pulse.start();
        EXPECT_TRUE(pulse.level == 0.f && pulse.stage == 0 && pulse.holdTime == 0.f);
        framesIn(0);
        EXPECT_EQ(framesIn(1), hold);

        // A second's fall; its last update ends the pulse, which draws and sends nothing after.
        EXPECT_NEAR(framesIn(2, sixtieth) + 1, 60, 1);
        ASSERT_TRUE(pulse.active && draws()) << "still falling";
        shader.setUniform("iTime", untouched);
        pulse.update(sixtieth);
        EXPECT_TRUE(!pulse.active && pulse.level == 0.f);
        EXPECT_FALSE(draws());
        EXPECT_FLOAT_EQ(uniformFloat(shader, "iTime"), untouched) << "an ended pulse sends nothing";
    }
}
