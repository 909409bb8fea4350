// The rise-hold-fall pulse in both of its configurations, driven frame by frame at 1/60 s
// against a real shader program, whose "iTime" is read back from GL after each update.
#include "UniformProbe.hpp"
#include "scenes/Pulse.hpp"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <cmath>
#include <gtest/gtest.h>
#include <string>

using namespace testsupport;

namespace
{
constexpr float sixtieth = 1.f / 60.f;
constexpr float untouched = 0.4242f; // a value no pulse ever sends

struct Configuration
{
    const char* name;
    PulseRates rates;
};

std::ostream& operator<<(std::ostream& stream, const Configuration& configuration)
{
    return stream << configuration.name;
}

// A pulse on a real shader and quad, with a small target to draw into.
class PulseTest : public testing::TestWithParam<Configuration>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(target.create(8, 8));
        ASSERT_TRUE(shader.loadFromMemory("uniform float iTime;"
                                          "void main() { gl_FragColor = vec4(1.0, iTime, 0.0, 1.0); }",
                                          sf::Shader::Fragment));
        sf::Image white;
        white.create(8, 8, sf::Color::White);
        ASSERT_TRUE(texture.loadFromImage(white));
        quad.setTexture(texture);
        pulse.rates = GetParam().rates;
        pulse.sprite = &quad;
        pulse.shader = &shader;
        ASSERT_TRUE(target.setActive(true)) << "the uniform probe reads through the current context";
    }

    // Runs updates while the pulse stays in stage, checking each sent level; returns how
    // many updates it took to leave the stage (the leaving one included).
    int framesIn(int stage)
    {
        int frames = 0;
        while (pulse.active && pulse.stage == stage && frames < 1000)
        {
            pulse.update(sixtieth);
            ++frames;
            EXPECT_FLOAT_EQ(uniformFloat(shader, "iTime"), pulse.level);
        }
        return frames;
    }

    // Whether the pulse leaves a mark when drawn into a cleared target.
    bool draws()
    {
        target.clear(sf::Color::Transparent);
        pulse.draw(target);
        target.display();
        return target.getTexture().copyToImage().getPixel(4, 4).a != 0;
    }

    sf::RenderTexture target;
    sf::Shader shader;
    sf::Texture texture;
    sf::Sprite quad;
    Pulse pulse;
};

const Configuration configurations[] = {{"greeting", greetPulseRates}, {"pictureLayer", layerPulseRates}};

int nominalFrames(float seconds)
{
    return static_cast<int>(std::lround(seconds * 60.f));
}
} // namespace

TEST_P(PulseTest, RisesHoldsAndFallsForItsConfiguredTimes)
{
    const PulseRates rates = GetParam().rates;
    EXPECT_FALSE(draws()) << "a pulse that never started";
    pulse.start();
    EXPECT_TRUE(draws());

    EXPECT_NEAR(framesIn(0), nominalFrames(1.f / rates.risePerSecond), 1);
    EXPECT_EQ(pulse.level, 1.f);
    EXPECT_NEAR(framesIn(1), nominalFrames(rates.holdSeconds), 1);
    EXPECT_GT(pulse.holdTime, rates.holdSeconds) << "the hold ends only once its time has passed";
    EXPECT_NEAR(framesIn(2), nominalFrames(1.f), 1);
    EXPECT_FALSE(pulse.active);
    EXPECT_EQ(pulse.level, 0.f);
}

TEST_P(PulseTest, SendsZeroOnTheFrameItEndsAndNothingAfter)
{
    pulse.start();
    framesIn(0);
    framesIn(1);
    while (pulse.level > sixtieth)
        pulse.update(sixtieth);
    ASSERT_TRUE(pulse.active);
    ASSERT_TRUE(draws()) << "still falling";

    shader.setUniform("iTime", untouched);
    pulse.update(sixtieth);
    ASSERT_FALSE(pulse.active) << "this update ends the fall";
    EXPECT_EQ(uniformFloat(shader, "iTime"), 0.f);
    EXPECT_FALSE(draws());

    shader.setUniform("iTime", untouched);
    for (int frame = 0; frame < 5; ++frame)
        pulse.update(sixtieth);
    EXPECT_FLOAT_EQ(uniformFloat(shader, "iTime"), untouched) << "an ended pulse sends nothing";
    EXPECT_FALSE(draws());
}

TEST_P(PulseTest, RestartingARunningPulseBeginsAgainWithAFullHold)
{
    pulse.start();
    framesIn(0);
    const int firstHold = framesIn(1);
    for (int frame = 0; frame < 10; ++frame)
        pulse.update(sixtieth);
    ASSERT_EQ(pulse.stage, 2) << "restart while falling";

    pulse.start();
    EXPECT_EQ(pulse.level, 0.f);
    EXPECT_EQ(pulse.stage, 0);
    EXPECT_EQ(pulse.holdTime, 0.f);
    framesIn(0);
    EXPECT_EQ(framesIn(1), firstHold);
}

INSTANTIATE_TEST_SUITE_P(BothConfigurations, PulseTest, testing::ValuesIn(configurations),
                         [](const testing::TestParamInfo<Configuration>& info) { return info.param.name; });
