// Scenes 3 to 6 through the real start-up and frame loop: the hand-over chain from the card
// to the greetings, with and without assets, and the card's shape and laser flare.
#include "DemoRun.hpp"
#include "SceneFrames.hpp"
#include "fx/ElasticSprite.hpp"
#include "runtime/BeatTables.hpp"
#include "scenes/PopSprite.hpp"
#include "scenes/SceneTable.hpp"

#include <algorithm>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>
#include <vector>

using namespace testsupport;

namespace
{
constexpr float sixtieth = 1.f / 60.f;

// A check run on the frame (counted from 1 in its scene) that it names, after that frame;
// it returns how many frames it ran itself.
struct FrameCheck
{
    SceneId scene;
    int frame;
    bool grab;
    std::function<int(DemoRun&)> check;
};

// Runs the scenes from 3 on until 65 is reached, checking each hand-over frame against the
// scene's beat table and whether the hand-over frame shows the scene (only scene 6 draws it).
void expectChainToGreetings(DemoRun& run, float dt, const std::vector<FrameCheck>& checks = {})
{
    for (SceneId scene : {3, 4, 5, 6})
    {
        SCOPED_TRACE(scene);
        ASSERT_EQ(currentScene, scene);
        const int expected = handOverFrame(scene, dt);
        ASSERT_GT(expected, 0);
        int frames = 0;
        FrameResult result;
        do
        {
            ++frames;
            bool grab = frames == expected;
            for (const FrameCheck& c : checks)
                grab = grab || (c.scene == scene && c.frame == frames && c.grab);
            result = run.frame(dt, grab);
            for (const FrameCheck& c : checks)
                if (c.scene == scene && c.frame == frames)
                {
                    SCOPED_TRACE(frames);
                    frames += c.check(run);
                }
        } while (result.next == scene && frames < expected + 5);
        EXPECT_EQ(frames, expected);
        EXPECT_EQ(result.next, scheduleFor(scene).next);
        if (frames != expected)
            continue;
        const double brightness = meanBrightness(run.lastFrame());
        if (scheduleFor(scene).endFrameDrawn)
            EXPECT_GT(brightness, 100.0) << "the last frame of the scene is drawn in full";
        else
            EXPECT_LT(brightness, 3.0) << "the scene drew on the frame it handed over";
    }
    EXPECT_EQ(currentScene, 65);
}

// The frame (from 1) on which a fresh track of scene's schedule fires entry at 1/60 s.
int frameOfEntry(SceneId scene, int entry)
{
    return firingFrames(scheduleFor(scene).beats, sixtieth).at(static_cast<std::size_t>(entry));
}

double colourDistance(sf::Color a, sf::Color b)
{
    return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
}

// What the circles and cute scenes must show on the way, checked on the chain's own frames.
std::vector<FrameCheck> circlesAndCuteChecks()
{
    std::vector<FrameCheck> checks;
    const int firstPulse = frameOfEntry(5, 0);
    const int logoIn = frameOfEntry(5, 28);
    // The circles layer is transparent before the first pulse and again once the pulse before
    // entry 28 has faded: the star particles stand hidden and the logo waits in its layer.
    const auto dark = [](DemoRun& run) -> int
    {
        EXPECT_LT(meanBrightness(run.lastFrame()), 3.0);
        return 0;
    };
    checks.push_back({5, 1, true, dark});
    checks.push_back({5, firstPulse, true,
                      [](DemoRun& run) -> int
                      {
                          EXPECT_GT(meanBrightness(run.lastFrame()), 60.0);
                          return 0;
                      }});
    checks.push_back({5, logoIn - 1, true, dark});
    // Fifteen frames after entry 28 its pulse has faded too, and the logo fills the middle.
    checks.push_back({5, logoIn + 15, true,
                      [](DemoRun& run) -> int
                      {
                          const sf::Color middle = meanColour(run.lastFrame(), 960, 540, 201);
                          EXPECT_GT(middle.r + middle.g + middle.b, 3 * 40);
                          return 0;
                      }});

    // Scene 6: picture 1 is there from the first frame, picture k from entry k - 1 on.
    checks.push_back({6, 1, false,
                      [](DemoRun&) -> int
                      {
                          EXPECT_TRUE(popSprites[0].visible);
                          for (int k = 1; k < 12; ++k)
                              EXPECT_FALSE(popSprites[k].visible) << "picture " << k + 1;
                          return 0;
                      }});
    const int lastPicture = frameOfEntry(6, 11);
    checks.push_back({6, lastPicture - 1, false,
                      [](DemoRun&) -> int
                      {
                          EXPECT_FALSE(popSprites[11].visible);
                          return 0;
                      }});
    // Half a second after the last one popped up, all twelve are drawn: hiding them for one
    // frame, with the background's clock held back so that it draws the same, changes the
    // picture at every one's place.
    checks.push_back(
        {6, lastPicture + 30, true,
         [](DemoRun& run) -> int
         {
             const sf::Image shown = run.lastFrame();
             std::vector<sf::Vector2u> places;
             for (PopSprite& picture : popSprites)
             {
                 EXPECT_TRUE(picture.visible);
                 EXPECT_GT(picture.alpha, 0.99f);
                 places.push_back({static_cast<unsigned>(std::min(std::max(picture.x, 0.f), 1919.f)),
                                   static_cast<unsigned>(std::min(std::max(picture.y, 0.f), 1079.f))});
                 picture.visible = false;
             }
             cuteTime -= 4.f * sixtieth;
             run.frame(sixtieth, true);
             for (size_t k = 0; k < places.size(); ++k)
             {
                 // pictures 7 and 8 share a place; the smaller one is checked with it
                 EXPECT_GT(colourDistance(meanColour(shown, places[k].x, places[k].y, 21),
                                          meanColour(run.lastFrame(), places[k].x, places[k].y, 21)),
                           30.0)
                     << "picture " << k + 1;
                 popSprites[k].visible = true;
             }
             return 1;
         }});
    return checks;
}

// The mean brightness of the square of side 61 around (x, y).
double brightnessAt(const sf::Image& image, unsigned x, unsigned y)
{
    return brightness(meanColour(image, x, y, 61));
}
} // namespace

TEST(PresentationCardScene, ChainHandsOverOnTheBeatFramesFromCardToGreetings)
{
    DemoRun run(3);
    ASSERT_TRUE(run.started());
    expectChainToGreetings(run, sixtieth, circlesAndCuteChecks());
}

TEST(PresentationCardScene, MissingAssetsLeaveTheHandOversAloneAndAreReportedOnce)
{
    DemoTreeCopy copy({{"textures.json", {"presentado"}}, {"sprites.json", {"zin", "plimmo3"}}});
    DemoRun run(3, copy.path());
    ASSERT_TRUE(run.started());
    expectChainToGreetings(run, sixtieth);

    expectReportedOnce(run.errors(), {"TextureManager: Texture with key presentado does not exist.\n",
                                      "SpriteManager: Sprite with key zin does not exist.\n",
                                      "SpriteManager: Sprite with key plimmo3 does not exist.\n"});
}

struct CornerCase
{
    float sceneTime;
    sf::Vector2f corners[4]; // before the 0.75 scale
    float rotation;
};

std::ostream& operator<<(std::ostream& stream, const CornerCase& c)
{
    return stream << "sceneTime " << c.sceneTime;
}

class CardShape : public ::testing::TestWithParam<CornerCase>
{
};

TEST_P(CardShape, CornersSwingAndCardRocks)
{
    const CornerCase c = GetParam();
    ElasticSprite card;
    shapePresentationCard(card, c.sceneTime);
    for (int corner = 0; corner < 4; ++corner)
    {
        EXPECT_NEAR(card.getCornerOffset(corner).x, c.corners[corner].x, 1e-3) << "corner " << corner;
        EXPECT_NEAR(card.getCornerOffset(corner).y, c.corners[corner].y, 1e-3) << "corner " << corner;
    }
    EXPECT_NEAR(card.getRotation(), c.rotation, 1e-3);
    EXPECT_EQ(card.getScale(), sf::Vector2f(0.75f, 0.75f));
    EXPECT_EQ(card.getTextureRect(), sf::FloatRect(0.f, 0.f, 1920.f, 1080.f));
}

// At 0 the swing's sine is 0 and its cosine 1; a tenth of pi later (5t = pi/2) the other way
// round, while the rocking has reached 50 sin(pi/5) degrees.
const float quarterSwing = static_cast<float>(std::acos(-1.0) / 10.0);
INSTANTIATE_TEST_SUITE_P(
    PresentationCardScene, CardShape,
    ::testing::Values(CornerCase{0.f, {{-350.f, 0.f}, {0.f, 100.f}, {350.f, 200.f}, {700.f, -100.f}}, 0.f},
                      CornerCase{quarterSwing,
                                 {{0.f, -100.f}, {-350.f, 200.f}, {700.f, 100.f}, {350.f, 0.f}},
                                 static_cast<float>(50.0 * std::sin(std::acos(-1.0) / 5.0))}));

TEST(PresentationCardScene, LaserFlaresOnTheBeatAndTheCardShowsTilted)
{
    DemoRun run(3);
    ASSERT_TRUE(run.started());
    // Beat 0 fires on the first frame; ten frames later its flare has died down (the next
    // beat is 21 frames in). The card, seen through, barely moves meanwhile.
    run.frame(sixtieth, true);
    const double beatBrightness = meanBrightness(run.lastFrame());
    for (int i = 0; i < 9; ++i)
        run.frame(sixtieth);
    run.frame(sixtieth, true);
    EXPECT_GT(beatBrightness, meanBrightness(run.lastFrame()) + 8.0);

    // Half a second in, the card leans by about 42 degrees: along that diagonal the picture
    // shows, while the corners of the other diagonal, which an upright card would cover,
    // show the dark laser sky.
    for (int i = 0; i < 19; ++i)
        run.frame(sixtieth);
    run.frame(sixtieth, true);
    const sf::Image& frame = run.lastFrame();
    const double onCard = brightnessAt(frame, 1332, 875) + brightnessAt(frame, 588, 205);
    const double offCard = brightnessAt(frame, 612, 926) + brightnessAt(frame, 1308, 154);
    EXPECT_GT(onCard, offCard + 60.0) << onCard << " vs " << offCard;
}
