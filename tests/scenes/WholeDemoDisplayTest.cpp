// The whole demo through its real start-up and frame loop, each scene against its table of frames
// and what must hold on them.
#include "SceneFrames.hpp"
#include "fx/ElasticSprite.hpp"
#include "runtime/Resources.hpp"
#include "scenes/PopSprite.hpp"
#include "scenes/Pulse.hpp"
#include "scenes/SceneHelpers.hpp"
#include "scenes/SceneTable.hpp"
#include "scenes/ShaderBouncer.hpp"

#include <SFML/Graphics/RenderTexture.hpp>
#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>

using namespace testsupport;

namespace
{
// The frame that shows a scene's time seconds.
constexpr int at(double seconds)
{
    return static_cast<int>(seconds * stepsPerSecond + 0.5);
}

// Mean colour of the square of side size centred on (x, y), clipped to the image.
sf::Color meanColour(const sf::Image& image, unsigned x, unsigned y, unsigned size)
{
    long r = 0, g = 0, b = 0, count = 0;
    for (unsigned py = y - size / 2; py <= y + size / 2; ++py)
        for (unsigned px = x - size / 2; px <= x + size / 2; ++px)
            if (px < image.getSize().x && py < image.getSize().y)
            {
                const sf::Color c = image.getPixel(px, py);
                r += c.r, g += c.g, b += c.b, ++count;
            }
    return count ? sf::Color(sf::Uint8(r / count), sf::Uint8(g / count), sf::Uint8(b / count)) : sf::Color();
}

double brightnessAt(const sf::Image& image, unsigned x, unsigned y, unsigned size)
{
    const sf::Color c = meanColour(image, x, y, size);
    return (c.r + c.g + c.b) / 3.0;
}

// A row that draws frame and expects its brightness, or that of a square there, between low and high.
Row shows(int frame, double low, double high, unsigned size = 0, unsigned x = 0, unsigned y = 0)
{
    const auto check = [=](const Seen& s)
    {
        const double seen = size ? brightnessAt(s.shot(), x, y, size) : meanBrightness(s.shot());
        EXPECT_TRUE(seen > low && seen < high) << seen << " at (" << x << ", " << y << ") size " << size;
    };
    return {frame, check, true};
}

// Share of pixels (every second row and column) whose colour differs by more than tolerance.
double changedShare(const sf::Image& a, const sf::Image& b, int tolerance = 24)
{
    long changed = 0, all = 0;
    for (unsigned y = 0; y < a.getSize().y; y += 2)
        for (unsigned x = 0; x < a.getSize().x; x += 2, ++all)
        {
            const sf::Color p = a.getPixel(x, y), q = b.getPixel(x, y);
            changed += std::max({std::abs(p.r - q.r), std::abs(p.g - q.g), std::abs(p.b - q.b)}) > tolerance;
        }
    return all ? double(changed) / all : 1.0;
}

// Share of the pixels inside a word's on-screen bounds that are its dark outline, which the
// title's background never matches.
double outlineShare(const Seen& s, const char* word)
{
    const sf::Image& image = s.shot();
    const sf::FloatRect box = s.run.resources.spriteManager.get(word)->getGlobalBounds();
    long dark = 0, all = 0;
    for (int y = std::max(0, int(box.top)); y < std::min(1080, int(box.top + box.height)); ++y)
        for (int x = std::max(0, int(box.left)); x < std::min(1920, int(box.left + box.width)); ++x, ++all)
        {
            const sf::Color c = image.getPixel(unsigned(x), unsigned(y));
            dark += std::max({c.r, c.g, c.b}) < 80;
        }
    return all ? double(dark) / all : 0.0;
}

// Share of the points of the first greeting picture, opaque there and clear in every other one,
// that show its colour on screen through the rocking layer.
double firstGreetingShown(const Seen& s)
{
    const sf::Image& frame = s.shot();
    std::vector<sf::Image> pictures(6);
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(pictures[i].loadFromFile("assets/images/greets" + std::to_string(i + 1) + ".png"));
    int points = 0, shown = 0;
    for (unsigned y = 200; y < 1000; y += 6)
        for (unsigned x = 320; x < 1700; x += 6)
            if (pictures[0].getPixel(x, y).a == 255 &&
                std::all_of(pictures.begin() + 1, pictures.end(),
                            [&](auto& p) { return p.getPixel(x, y).a == 0; }))
            {
                const sf::Vector2f on =
                    s.run.resources.layer1Sprite.getTransform().transformPoint(float(x), float(y));
                const sf::Color c = pictures[0].getPixel(x, y),
                                seen = frame.getPixel(unsigned(on.x), unsigned(on.y));
                shown +=
                    std::max({std::abs(seen.r - c.r), std::abs(seen.g - c.g), std::abs(seen.b - c.b)}) < 40;
                ++points;
            }
    EXPECT_GT(points, 200);
    return double(shown) / points;
}

// The perlin background alone as the bubbles draw it, with its uniforms as they stand or tint.
sf::Image perlinAlone(Resources& resources, const float* tint = nullptr)
{
    sf::Shader& perlin = resources.perlinShader;
    for (int i = 0; tint && i < 3; ++i)
        perlin.setUniform(i == 0 ? "originalRed" : i == 1 ? "originalGreen" : "originalBlue", tint[i]);
    sf::RenderTexture target;
    target.create(1920, 1080);
    target.clear();
    target.draw(*resources.spriteManager.get("black"), sf::RenderStates(&perlin));
    target.display();
    return target.getTexture().copyToImage();
}

// Share of the pixels inside (or outside) the active bubbles that differ from the background.
double changedAroundBubbles(const Seen& s, const sf::Image& background, bool inside)
{
    const sf::Image& frame = s.shot();
    const std::vector<ShaderBouncer>& bubbles = s.run.state().shaderBouncers;
    long changed = 0, total = 0;
    for (unsigned y = 0; y < 1080; y += 4)
        for (unsigned x = 0; x < 1920; x += 4)
            if (inside == std::any_of(bubbles.begin(), bubbles.end(),
                                      [&](const ShaderBouncer& b) {
                                          return b.active &&
                                                 sf::FloatRect(b.x, b.y, b.width, b.height).contains(x, y);
                                      }))
            {
                const sf::Color p = frame.getPixel(x, y), q = background.getPixel(x, y);
                changed += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b) > 30, ++total;
            }
    return total ? double(changed) / total : 0.0;
}

// At the moire's hand-over each of its beats but the last has launched one bubble, in turn,
// wrapping at however many the bubbles scene left.
const Row launchedInTurn = {-1, [](const Seen& s)
                            {
                                const DemoState& state = s.run.state();
                                const int count = int(state.shaderBouncers.size()),
                                          beats = scheduleFor(11).endEntry;
                                EXPECT_EQ(state.nextBouncer, count ? beats % count : 0);
                                for (const ShaderBouncer& bubble : state.shaderBouncers)
                                    EXPECT_TRUE(bubble.heavy) << "every bubble had a turn";
                            }};

// The tables of a run with every asset at 60 frames a second, scene by scene.
SceneRows demoTables()
{
    SceneRows scenes;
    // The first card fades in from black at 1.5 s over a second; the logos' white stage fades in,
    // a logo flies over it from 4 s, and static breaks it up at 15 s.
    const auto halfIn = [](const Seen& s)
    { EXPECT_NEAR(meanBrightness(s.shots.at(at(2.0))) / meanBrightness(s.shot()), 0.5, 0.1); };
    // The second card fades out the same way over the second before the hand-over.
    const auto halfOut = [](const Seen& s)
    { EXPECT_NEAR(meanBrightness(s.shot()) / meanBrightness(s.shots.at(at(10.0))), 0.5, 0.1); };
    scenes[0] = {shows(at(1.4), -1, 1), {at(2.0), nullptr, true}, shows(at(4.0), 30, 256),
                 {at(4.0), halfIn},     shows(at(10.0), 15, 256), {at(11.0), halfOut, true}};
    const auto logo = [](const Seen& s) { return changedShare(s.shots.at(at(3.3)), s.shot()); };
    scenes[1] = {
        shows(at(3.3), 250, 256),
        {at(6.0), [=](const Seen& s) { EXPECT_TRUE(logo(s) > 0.005 && logo(s) < 0.3) << logo(s); }, true},
        {at(15.5), [=](const Seen& s) { EXPECT_GT(logo(s), 0.5); }, true}};
    const auto words = [](std::vector<const char*> keys)
    {
        return [=](const Seen& s)
        {
            for (const char* word : keys)
                EXPECT_GT(outlineShare(s, word), 0.01) << word;
        };
    };
    scenes[2] = {{1, words({"grumlo1"}), true},
                 {-2,
                  words({"grumlo1", "grumlo2", "grumlo3", "grumlo4", "vs", "the", "vortle1", "vortle2", "and",
                         "trobisk"}),
                  true}};

    // The laser flares on the first frame's beat and has died down ten frames on. Half a second in
    // the card leans about 42 degrees: the dark sky shows where an upright card would cover it, and
    // its face shows the peephole's backdrop, magenta there, not the picture's pale lilac.
    const auto leans = [](const Seen& s)
    {
        const auto at = [&](unsigned x, unsigned y) { return brightnessAt(s.shot(), x, y, 61); };
        EXPECT_GT(at(1332, 875) + at(588, 205), at(612, 926) + at(1308, 154) + 60);
        const sf::Color face = meanColour(s.shot(), 1332, 875, 61);
        EXPECT_GT(face.r, face.g + 40) << int(face.r) << " " << int(face.g);
    };
    const auto flareFaded = [](const Seen& s)
    { EXPECT_GT(meanBrightness(s.shots.at(1)), meanBrightness(s.shot()) + 8); };
    scenes[3] = {{1, nullptr, true}, {11, flareFaded, true}, {31, leans, true}};

    // The window flashes magenta (the fractal is see-through in the corner) and dies down in 15 frames.
    const std::vector<int> julia = firingFrames(scheduleFor(4).beats, stepSeconds);
    std::vector<int> sorted = julia;
    std::sort(sorted.begin(), sorted.end());
    const int flash =
        *std::adjacent_find(sorted.begin(), sorted.end(), [](int a, int b) { return b - a > 15; });
    const auto magenta = [flash](const Seen& s)
    {
        const sf::Color lit = meanColour(s.shots.at(flash), 60, 60, 41),
                        calm = meanColour(s.shot(), 60, 60, 41);
        EXPECT_TRUE(lit.r > calm.r + 60 && lit.b > calm.b + 60 && lit.g < calm.g + 20)
            << "magenta, dying down";
    };
    scenes[4] = {{flash, nullptr, true}, {flash + 15, magenta, true}};
    // The piece each entry pops. A pop grows from the frame after its entry: there it alone has just
    // started, earlier ones have grown on (none started over) and later ones have not begun.
    const char* const pieceOf[] = {"flum", "ba",  "doo", nullptr, nullptr, "zin",
                                   "gel",  "pop", "tik", nullptr, nullptr};
    for (int entry = 0; entry < 11; ++entry)
        scenes[4].push_back({julia[entry] + 1, [=](const Seen& s)
                             {
                                 for (int other = 0; other < 11; ++other)
                                 {
                                     const char* key = pieceOf[other];
                                     const float scale =
                                         key ? s.run.resources.spriteManager.get(key)->getScale().x : 0;
                                     EXPECT_TRUE(!key || (other == entry ? scale > 0 && scale < 0.3f
                                                          : julia[other] < julia[entry] ? scale >= 0.3f
                                                                                        : scale == 0))
                                         << key << " at " << scale << " after entry " << entry;
                                 }
                             }});

    // The circles are clear before the first pulse, half faded 8 frames after it and clear again once
    // the one before entry 28 has faded; then the logo fills the middle, and each entry from 28,
    // which brings it in, sets its tilt.
    scenes[5] = {shows(1, -1, 3),
                 shows(beatFrame(5, 0), 60, 256),
                 shows(beatFrame(5, 0) + 8, 60, 110),
                 shows(beatFrame(5, 0), 40, 256, 61, 1889, 540),
                 shows(beatFrame(5, 0), 40, 256, 61, 30, 540),
                 shows(beatFrame(5, 28) - 1, -1, 3),
                 shows(beatFrame(5, 28) + 15, 40, 256, 201, 960, 540)};
    for (const auto& [entry, tilt] :
         {std::pair{28, 0.f}, {29, -8.f}, {30, 4.f}, {31, -4.f}, {32, 8.f}, {33, 10.f}})
    {
        const auto tilted = [entry = entry, tilt = std::fmod(tilt + 360, 360)](const Seen& s)
        { EXPECT_FLOAT_EQ(s.run.resources.spriteManager.get("vortle")->getRotation(), tilt) << entry; };
        scenes[5].push_back({beatFrame(5, entry), tilted});
    }

    // Picture k + 1 pops up on entry k, not before. Half a second after the last, all twelve are
    // drawn: hidden for a frame, with the background's clock held back so that it draws the same,
    // they leave a change at every one's place (7 and 8 share one; the smaller is checked with it).
    for (int k = 0; k < 12; ++k)
        for (const int frame : {beatFrame(6, k) - 1, beatFrame(6, k)})
            if (frame > 0)
                scenes[6].push_back({frame, [k, up = frame == beatFrame(6, k)](const Seen& s)
                                     { EXPECT_EQ(s.run.state().popSprites[k].visible, up) << k; }});
    const auto hide = [](const Seen& s)
    {
        for (PopSprite& picture : s.run.state().popSprites)
        {
            EXPECT_TRUE(picture.visible && picture.alpha > 0.99f);
            picture.visible = false;
        }
        s.run.state().cuteTime -= 4.f * stepSeconds;
    };
    const auto wereDrawn = [](const Seen& s)
    {
        for (PopSprite& picture : s.run.state().popSprites)
        {
            const unsigned x = unsigned(std::clamp(picture.x, 0.f, 1919.f)),
                           y = unsigned(std::clamp(picture.y, 0.f, 1079.f));
            const sf::Color a = meanColour(s.shots.at(s.frame - 1), x, y, 21),
                            b = meanColour(s.shot(), x, y, 21);
            EXPECT_GT(std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b), 30);
            picture.visible = true;
        }
    };
    scenes[6].push_back({beatFrame(6, 11) + 30, hide, true});
    scenes[6].push_back({beatFrame(6, 11) + 31, wereDrawn, true});
    // The frame picture on top flips between its two pictures every quarter second: whichever is
    // due shows, its opaque pixels as they are in the picture.
    const auto framePictureShows = [](const Seen& s)
    {
        const char* key = s.run.state().frameToggle ? "frame2" : "frame1";
        const sf::Sprite* sprite = s.run.resources.spriteManager.get(key);
        ASSERT_TRUE(sprite && sprite->getTexture()) << key;
        const sf::Image picture = sprite->getTexture()->copyToImage();
        const sf::IntRect rect = sprite->getTextureRect();
        int opaque = 0, matching = 0;
        for (int y = 0; y < rect.height; y += 7)
            for (int x = 0; x < rect.width; x += 7)
            {
                const sf::Color want = picture.getPixel(unsigned(rect.left + x), unsigned(rect.top + y));
                const sf::Vector2f at = sprite->getTransform().transformPoint(x + 0.5f, y + 0.5f);
                if (want.a < 255 || at.x < 0 || at.y < 0 || at.x >= 1920 || at.y >= 1080)
                    continue;
                const sf::Color seen = s.shot().getPixel(unsigned(at.x), unsigned(at.y));
                ++opaque;
                matching +=
                    std::abs(want.r - seen.r) + std::abs(want.g - seen.g) + std::abs(want.b - seen.b) < 24;
            }
        EXPECT_GT(opaque, 20) << key;
        EXPECT_GT(matching, opaque * 8 / 10) << key << ": " << matching << " of " << opaque;
    };
    for (const int frame : {at(2.0), at(2.25), at(2.5)})
        scenes[6].push_back({frame, framePictureShows, true});

    // Greeting k starts on entry k, its shader getting the rise's first step. The first gathers
    // for 2 s, holds for 2 s and scatters in 1 s; the cute pictures have left half a second in.
    sf::Shader Resources::*const greetings[] = {&Resources::greets1Shader, &Resources::greets2Shader,
                                                &Resources::greets3Shader, &Resources::greets4Shader,
                                                &Resources::greets5Shader, &Resources::greets6Shader};
    for (int k = 0; k < 6; ++k)
        for (const int frame : {beatFrame(65, k) - 1, beatFrame(65, k)})
        {
            const float level = frame == beatFrame(65, k) ? stepSeconds * greetPulseRates.risePerSecond : 0.f;
            const auto sent = [shader = greetings[k], level](const Seen& s)
            { EXPECT_FLOAT_EQ(uniformFloat(s.run.resources.*shader, "iTime"), level); };
            scenes[65].push_back({frame, sent, true});
        }
    for (const auto& [frame, low, high] : {std::tuple{0, -1.0, 0.1}, {150, 0.8, 1.1}, {330, -1.0, 0.1}})
        scenes[65].push_back({beatFrame(65, 0) + frame,
                              [low = low, high = high](const Seen& s)
                              { EXPECT_TRUE(firstGreetingShown(s) > low && firstGreetingShown(s) < high); },
                              true});
    const auto picturesLeft = [](const Seen& s)
    {
        for (const PopSprite& picture : s.run.state().popSprites)
            EXPECT_FALSE(picture.visible);
    };
    scenes[65].push_back({at(0.5), picturesLeft});
    // The flowers the cute pictures set going drift on through the greetings.
    const auto flowerPlaces = [](const Seen& s)
    {
        std::vector<sf::Vector2f> places;
        if (const std::optional<ParticleSystem>& flowers = s.run.state().flowerParticles)
            for (const Particle& flower : flowers->particles)
                if (flower.alive)
                    places.emplace_back(flower.x, flower.y);
        return places;
    };
    const auto flowersBefore = std::make_shared<std::vector<sf::Vector2f>>();
    scenes[65].push_back({at(1.0), [=](const Seen& s) { *flowersBefore = flowerPlaces(s); }});
    scenes[65].push_back({at(1.0) + 1, [=](const Seen& s)
                          {
                              EXPECT_FALSE(flowersBefore->empty());
                              EXPECT_NE(flowerPlaces(s), *flowersBefore);
                          }});

    // On its image beat a picture's shader gets one update at twice the frame time, in turns 1, 2,
    // 3, 1, ...; the field flies on between two frames no flash darkens.
    const std::vector<int> cues = firingFrames(scheduleFor(8).cues, stepSeconds);
    sf::Shader Resources::*const pictures[] = {&Resources::wsl1Shader, &Resources::wsl2Shader,
                                               &Resources::wsl3Shader};
    const float level = 2 * stepSeconds * layerPulseRates.risePerSecond;
    for (std::size_t i = 0; i < cues.size() && cues[i] < handOverFrame(8); ++i)
        scenes[8].push_back({cues[i],
                             [shader = pictures[i % 3], level](const Seen& s)
                             { EXPECT_FLOAT_EQ(uniformFloat(s.run.resources.*shader, "iTime"), level); },
                             true});
    const std::vector<int> flashes = firingFrames(scheduleFor(8).beats, stepSeconds);
    const int still =
        15 + *std::adjacent_find(flashes.begin(), flashes.end(), [](int a, int b) { return b - a > 21; });
    const auto fieldMoves = [](const Seen& s)
    { EXPECT_GT(changedShare(s.shots.at(s.frame - 6), s.shot()), 0.2); };
    scenes[8].push_back({still, nullptr, true});
    scenes[8].push_back({still + 6, fieldMoves, true});

    // The beat jolts the tunnel and the finger, settled half a second on; the zoom breathes from 50.
    const std::vector<int> tunnelBeats = firingFrames(scheduleFor(9).beats, stepSeconds);
    const auto jolt = [=, lastBeat = -1000](const Seen& s) mutable
    {
        const Resources& resources = s.run.resources;
        const float zoom = stateUniform(s.run, resources.rainbowTunnelShader, "zoomFactorEx"),
                    finger = stateUniform(s.run, resources.fingerShader, "iTime");
        EXPECT_TRUE(zoom >= 0.f && zoom <= 100.f && (s.frame > 1 || std::abs(zoom - 50.f) < 1.f)) << zoom;
        lastBeat = std::count(tunnelBeats.begin(), tunnelBeats.end(), s.frame) ? s.frame : lastBeat;
        EXPECT_TRUE(s.frame != lastBeat ||
                    stateUniform(s.run, resources.rainbowTunnelShader, "effect") == 1.f);
        EXPECT_TRUE(s.frame == lastBeat        ? finger == 0.75f
                    : s.frame - lastBeat >= 30 ? finger == 1.f
                                               : finger > 0.75f)
            << finger;
    };
    const auto tunnelMoves = [](const Seen& s) { EXPECT_GT(changedShare(s.shots.at(40), s.shot()), 0.2); };
    scenes[9] = {{everyFrame, jolt}, {40, nullptr, true}, {46, tunnelMoves, true}};

    // Once baba and the finger have dropped out of the window, what is not background is bubble.
    // The tint steps red, green, blue, magenta, cyan, one step per beat, the last beat's too.
    const auto bubblesOnClouds = [](const Seen& s)
    {
        EXPECT_GT(changedAroundBubbles(s, perlinAlone(s.run.resources), true), 0.5) << "bubbles at (x, y)";
        EXPECT_LT(changedAroundBubbles(s, perlinAlone(s.run.resources), false), 0.02) << "clouds elsewhere";
    };
    const auto tintAndBubbles = [](const Seen& s)
    {
        Resources& resources = s.run.resources;
        const float tints[5][3] = {
            {.25f, 0, 0}, {0, .25f, 0}, {0, 0, .25f}, {.25f, 0, .25f}, {0, .25f, .25f}};
        const int last = scheduleFor(10).endEntry;
        const sf::Image left = perlinAlone(resources);
        EXPECT_LT(changedShare(left, perlinAlone(resources, tints[last % 5]), 3), 0.001);
        EXPECT_GT(changedShare(left, perlinAlone(resources, tints[(last - 1) % 5]), 3), 0.5);
        EXPECT_EQ(s.run.state().shaderBouncers.size(), 20u);
        for (const ShaderBouncer& bubble : s.run.state().shaderBouncers)
            EXPECT_TRUE(bubble.active);
        for (const char* key : {"baba", "finger"})
            EXPECT_FLOAT_EQ(resources.spriteManager.get(key)->getPosition().y, 1080.f)
                << key << " dropped out";
    };
    // The ten bubbles through the gradient peephole, the last to enter, wait at the two upper
    // corners in turn, left first.
    const auto cornersInTurn = [](const Seen& s)
    {
        const std::vector<ShaderBouncer>& bubbles = s.run.state().shaderBouncers;
        ASSERT_EQ(bubbles.size(), 20u);
        for (std::size_t i = 10; i < 20; ++i)
            EXPECT_EQ(bubbles[i].x > 960.f, i % 2 == 1) << "bubble " << i;
    };
    scenes[10] = {{1, cornersInTurn}, {151, bubblesOnClouds, true}, shows(-2, 60, 256), {-1, tintAndBubbles}};
    // Each beat's tint, by the channels it lifts: red, green, blue, magenta, cyan, and round again.
    const std::array<std::array<bool, 3>, 5> lifted = {{{true, false, false},
                                                        {false, true, false},
                                                        {false, false, true},
                                                        {true, false, true},
                                                        {false, true, true}}};
    for (int entry = 0; entry < scheduleFor(10).endEntry; ++entry)
        scenes[10].push_back({beatFrame(10, entry), [entry, lifted](const Seen& s)
                              {
                                  const sf::Shader& perlin = s.run.resources.perlinShader;
                                  const std::array<bool, 3> seen = {
                                      stateUniform(s.run, perlin, "originalRed") > 0.f,
                                      stateUniform(s.run, perlin, "originalGreen") > 0.f,
                                      stateUniform(s.run, perlin, "originalBlue") > 0.f};
                                  EXPECT_EQ(seen, lifted[entry % 5]) << "entry " << entry;
                              }});

    // The moire flares on its first beat, spent eight frames on and gone till the next; the finale
    // fades itself to black.
    const auto flare = [](const Seen& s)
    {
        const double flare = meanBrightness(s.shots.at(1)) - meanBrightness(s.shot());
        EXPECT_GT(flare, 15.0);
        EXPECT_LT(std::abs(meanBrightness(s.shots.at(9)) - meanBrightness(s.shot())), 0.25 * flare);
        const UniformValue* pulse = s.run.state().uniforms.find(s.run.resources.moireShader, "color2");
        const sf::Glsl::Vec3* colour = pulse ? std::get_if<sf::Glsl::Vec3>(pulse) : nullptr;
        EXPECT_TRUE(colour && colour->x == 0.f) << "the flare's colour is spent";
    };
    scenes[11] = {
        {1, nullptr, true}, {9, nullptr, true}, {18, flare, true}, shows(-2, 20, 256), launchedInTurn};
    const auto fadeOver = [](const Seen& s) { EXPECT_EQ(s.run.state().fadeMode, 0); };
    // The triangles swell on a beat and rest at their own size through the beatless stretch.
    const auto triSize = [](const Seen& s)
    { return stateUniform(s.run, s.run.resources.triShader, "triSize"); };
    scenes[12] = {shows(1, 20, 256),
                  shows(-2, -1, 2),
                  {-1, fadeOver},
                  {beatFrame(12, 0), [=](const Seen& s) { EXPECT_FLOAT_EQ(triSize(s), 0.2f); }},
                  {at(15.0), [=](const Seen& s) { EXPECT_EQ(triSize(s), 0.f); }},
                  {at(21.0), [=](const Seen& s) { EXPECT_EQ(triSize(s), 0.f); }}};
    return scenes;
}

// On a beat the flowers' veil hides all but the inset and the letters drawn after it. The inset
// shrinks away from entry 16; the star count jumps to 89 on a beat and sinks by one a frame to 50.
SceneRows flowersTable()
{
    const std::vector<int> beats = firingFrames(scheduleFor(7).beats, stepSeconds);
    const int shrink = beats[16],
              gone = *std::find_if(beats.begin(), beats.end(), [&](int f) { return f > shrink + 60; });
    const auto starsAndInset = [=, stars = -1](const Seen& s) mutable
    {
        const Resources& resources = s.run.resources;
        const int sent = int(stateUniform(s.run, resources.blobShader, "numStars"));
        EXPECT_EQ(sent, std::count(beats.begin(), beats.end(), s.frame) ? 89 : std::max(50, stars - 1));
        stars = sent;
        const float inset = resources.layer3Sprite.getScale().x;
        EXPECT_TRUE(s.frame < shrink ? inset == 0.2f : inset < 0.2f);
    };
    // The left edge and count of the bright (letter) pixels above the inset.
    const auto letters = [](const sf::Image& frame)
    {
        int left = 1920, bright = 0;
        for (unsigned y = 100; y < 820; y += 2)
            for (unsigned x = 0; x < 1920; x += 2)
                if (brightnessAt(frame, x, y, 1) > 60.0)
                    left = std::min(left, int(x)), ++bright;
        return std::pair{left, bright};
    };
    const auto lettersMove = [=](const Seen& s)
    {
        const auto [leftThen, brightThen] = letters(s.shots.at(beats[5]));
        const auto [leftNow, brightNow] = letters(s.shot());
        EXPECT_GT(std::min(brightThen, brightNow), 2000) << "letters on screen";
        const float speed = s.run.resources.startedEndedText.speed;
        EXPECT_NEAR(leftThen - leftNow, -speed * (beats[6] - beats[5]) * stepSeconds, 30);
    };
    const auto shrunk = [](const Seen& s)
    { EXPECT_EQ(s.run.resources.layer3Sprite.getScale().x, 0.f) << "exactly"; };
    return {{7,
             {{everyFrame, starsAndInset},
              shows(beats[0], -1, 5, 9, 300, 950),
              shows(beats[0], 40, 256, 9, 1680, 935),
              shows(beats[0], -1, 5, 9, 1680, 800),
              shows(beats[0] + 15, 40, 256, 9, 300, 950),
              shows(gone, -1, 5, 9, 1680, 935),
              {beats[5], nullptr, true},
              {beats[6], lettersMove, true},
              {-1, shrunk}}}};
}
} // namespace

TEST(WholeDemo, PlaysEverySceneToItsTable)
{
    DemoRun run(0);
    ASSERT_TRUE(run.started());
    walkScenes(run, stepSeconds, demoTables());
    EXPECT_EQ(run.errors().find("does not exist"), std::string::npos) << run.errors();
}

// Started on its own, so that no flower particles from the scenes before cross its picture.
TEST(FlowersBeatScene, FlashesCountsStarsShrinksItsInsetAndMovesItsLetters)
{
    DemoRun run(7);
    ASSERT_TRUE(run.started());
    walkScenes(run, stepSeconds, flowersTable(), 8);
}

// Quarter-second frames keep this run short and land exactly on the timed scenes' waits, which
// each pass only strictly. The hand-overs still come on the frames the tables give for that frame
// time, the moire takes the bubbles that are left in turn, and the finale's fade beat, given a
// long frame, draws its overlay on that frame already advanced by the frame's time.
TEST(WholeDemo, KeepsItsFramesWithPicturesMissing)
{
    TempDir copy;
    std::filesystem::copy(FLUMBADOO_SOURCE_DIR "/assets", copy.path() / "assets",
                          std::filesystem::copy_options::recursive);
    std::filesystem::copy_file(FLUMBADOO_SOURCE_DIR "/config.json", copy.path() / "config.json");
    for (const auto& [file, keys] : std::map<std::string, std::vector<std::string>>{
             {"textures.json", {"presentado", "greets3", "morv", "finger"}},
             {"sprites.json", {"zin", "plimmo3", "finger", "baba", "bubble9"}}})
    {
        nlohmann::json document = nlohmann::json::parse(std::ifstream(copy.path() / "assets" / file));
        for (auto& [topKey, entries] : document.items())
            for (const std::string& key : keys)
                entries.erase(key);
        std::ofstream(copy.path() / "assets" / file) << document.dump(4);
    }
    DemoRun run(0, copy.path());
    ASSERT_TRUE(run.started());
    const float dt = 0.25f;
    // The sky without its picture still shows the field's own colours on a frame after a flash.
    const std::vector<int> flashes = firingFrames(scheduleFor(8).beats, dt);
    const int sky =
        1 + *std::adjacent_find(flashes.begin(), flashes.end(), [](int a, int b) { return b - a > 1; });
    const auto tenLeft = [](const Seen& s) { EXPECT_EQ(s.run.state().shaderBouncers.size(), 10u); };
    walkScenes(run, dt,
               {{8, {shows(sky, 30, 256, 31, 960, 200)}}, {10, {{-1, tenLeft}}}, {11, {launchedInTurn}}}, 12);
    // Each scene that looks a missing asset up reports it once: both the tunnel and the bubbles
    // look up baba and the finger.
    const std::string errors = run.errors();
    for (const auto& [key, scenes] : std::map<std::string, int>{{"Texture with key presentado", 1},
                                                                {"Texture with key greets3", 1},
                                                                {"Texture with key morv", 1},
                                                                {"Texture with key finger", 1},
                                                                {"Sprite with key zin", 1},
                                                                {"Sprite with key plimmo3", 1},
                                                                {"Sprite with key finger", 2},
                                                                {"Sprite with key baba", 2},
                                                                {"Sprite with key bubble9", 1}})
    {
        int count = 0;
        for (std::size_t at = errors.find(key); at != std::string::npos; at = errors.find(key, at + 1))
            count += errors.compare(at + key.size(), 16, " does not exist.") == 0;
        EXPECT_EQ(count, scenes) << key << "\n" << errors;
    }

    for (int frame = 1; frame < beatFrame(12, scheduleFor(12).fadeEntry, dt); ++frame)
        run.frame(dt);
    const float longFrame = 2.f;
    run.frame(longFrame, true);
    const double withOverlay = meanBrightness(run.lastFrame());
    // Redrawn without the overlay: the pass and the text keep this frame's uniforms and letters.
    run.window.clear();
    drawShaderPass(run.resources, run.window, run.resources.triShader, 1);
    run.window.draw(run.resources.layer1Sprite, sf::RenderStates(&run.resources.rainbowShader));
    sf::Texture texture;
    texture.create(run.window.getSize().x, run.window.getSize().y);
    texture.update(run.window);
    const double without = meanBrightness(texture.copyToImage());
    ASSERT_GT(without, 20.0);
    EXPECT_NEAR(withOverlay / without, 1.0 - int(longFrame / scheduleFor(12).fadeSeconds * 255.f) / 255.0,
                0.03);
}

// At 0 the swing's sine is 0 and its cosine 1; a tenth of pi later (5t = pi/2) the other way
// round, while the rocking has reached 50 sin(pi/5) degrees.
TEST(PresentationCardScene, CornersSwingAndTheCardRocks)
{
    const float pi = float(std::acos(-1.0));
    const struct
    {
        float time;
        sf::Vector2f corners[4];
        float rotation;
    } cases[] = {
        {0.f, {{-350.f, 0.f}, {0.f, 100.f}, {350.f, 200.f}, {700.f, -100.f}}, 0.f},
        {pi / 10, {{0.f, -100.f}, {-350.f, 200.f}, {700.f, 100.f}, {350.f, 0.f}}, 50 * std::sin(pi / 5)}};
    for (const auto& c : cases)
    {
        ElasticSprite card;
        shapePresentationCard(card, c.time);
        for (int corner = 0; corner < 4; ++corner)
            EXPECT_LT(std::hypot(card.getCornerOffset(corner).x - c.corners[corner].x,
                                 card.getCornerOffset(corner).y - c.corners[corner].y),
                      1e-3)
                << c.time << ", " << corner;
        EXPECT_NEAR(card.getRotation(), c.rotation, 1e-3) << c.time;
        EXPECT_EQ(card.getScale(), sf::Vector2f(0.75f, 0.75f));
        EXPECT_EQ(card.getTextureRect(), sf::FloatRect(0.f, 0.f, 1920.f, 1080.f));
    }
}

// The opening scenes name every picture they measure and draw: run with only those in, or with
// fewer still, and the others to come, their frames are those of a demo with every picture in.
// A scene's pictures are in before its first step (the logos' bounces are measured there), and
// the scenes after them wait for all.
TEST(OpeningScenes, DrawNoPictureTheyDoNotName)
{
    // The cards, card 2 through the rainbow, the fades, the logos and the static; then scene 2.
    const double moments[] = {2.5, 4.5, 7.5, 9.5, 11.0, 12.5, 16.5, 20.0, 24.0, 27.2, 29.0};
    std::vector<bool> stillToCome; // at the start, in each run
    const auto framesOf = [&](DemoRun& run)
    {
        stillToCome.push_back(!run.resources.textureManager.allLoaded());
        std::vector<std::string> hashes;
        int step = 0;
        for (const double moment : moments)
        {
            while (++step < at(moment))
                run.frame(stepSeconds);
            run.frame(stepSeconds, true);
            hashes.push_back(run.lastFrameHash());
        }
        EXPECT_EQ(run.state().currentScene, 2);
        EXPECT_TRUE(run.resources.textureManager.allLoaded());
        return hashes;
    };
    std::vector<std::string> everyPicture;
    {
        DemoRun run;
        ASSERT_TRUE(run.started());
        everyPicture = framesOf(run);
    }
    for (const std::vector<std::string>& first :
         {openingPictures(demoScenes()), std::vector<std::string>{"black"}})
    {
        SCOPED_TRACE(first.size());
        DemoRun run(0, FLUMBADOO_SOURCE_DIR, first);
        ASSERT_TRUE(run.started());
        EXPECT_EQ(framesOf(run), everyPicture);
        EXPECT_EQ(run.errors(), "");
    }
    EXPECT_EQ(stillToCome, (std::vector<bool>{false, true, true}));
}
