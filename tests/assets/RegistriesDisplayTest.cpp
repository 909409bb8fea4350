// The texture and sprite registries on real pictures: manifests good and bad, the geometry a
// sprite takes from its entry, refused duplicates and pictures too large for a texture; and the
// manifests and pictures that ship in assets/, loaded the way the demo loads them: every key the
// start-up code and the scenes look up resolves, to the shape its scene relies on.
#include "RegistryChecks.hpp"
#include "assets/Manifest.hpp"

#include <SFML/Graphics.hpp>
#include <algorithm>
#include <cstring>
#include <sstream>
#include <string_view>
#include <tuple>

using namespace registrychecks;

TEST(PictureManifests, FaultyEntriesAreReportedAndTheRestLoads)
{
    checkLoads({
        // Entries in key order.
        {"Textures", "@manifests/textures_mixed.json",
         [](auto& p)
         {
             TextureManager textures;
             EXPECT_TRUE(textures.load(p));
             ASSERT_TRUE(textures.exists("plain") && textures.exists("repeated"));
             EXPECT_FALSE(textures.get("plain")->isRepeated());
             EXPECT_EQ(textures.get("plain")->getSize(), sf::Vector2u(200, 100));
             EXPECT_TRUE(textures.get("repeated")->isRepeated());
             // A key written twice keeps the value read last.
             EXPECT_EQ(textures.get("twice")->getSize(), sf::Vector2u(201, 101));
             for (const char* key : {"broken", "cut-header", "hangs", "no-file", "not-an-object",
                                     "file-is-number", "repeated-is-string"})
                 EXPECT_FALSE(textures.exists(key)) << key;
         },
         Lines{"TextureManager: Unable to load file tests/data/images/broken.png.",
               // A TGA header cut after 17 bytes: the decoder reads the height from beyond the
               // end as 8192 and asked for 850 MB of a picture 26122 wide.
               "TextureManager: Unable to load file tests/data/images/cut-header.tga.",
               skipped("TextureManager", "file-is-number", "file",
                       "[json.exception.type_error.302] type must be string, but is number"),
               // A damaged chunk the decoder never comes back from: refused unread.
               "TextureManager: Unable to load file tests/data/images/hangs-decoder.png.",
               "TextureManager: Missing FILE property for [no-file]",
               "TextureManager: Missing FILE property for [not-an-object]",
               skipped("TextureManager", "repeated-is-string", "repeated")}},
        {"TexturesCutOff", "@manifests/textures_cut_off.json",
         [](auto& p)
         {
             TextureManager textures;
             EXPECT_TRUE(textures.load(p));
             EXPECT_TRUE(textures.exists("first") && textures.exists("second") && !textures.exists("third"));
         },
         Lines{"TextureManager: Error while parsing JSON.", "[json.exception.parse_error.101]",
               skipped("TextureManager", "third", "file")}},
        {"Sprites", "@manifests/sprites_faults.json",
         [](auto& p)
         {
             RegistryChain chain;
             chain.textures.load(testsupport::dataPath("manifests/sprites_textures.json"));
             EXPECT_TRUE(chain.sprites.load(p));
             EXPECT_TRUE(chain.sprites.exists("fine"));
             for (const char* key :
                  {"no-texture", "unknown-texture", "origin-is-string", "rect-is-null", "texture-is-array"})
                 EXPECT_FALSE(chain.sprites.exists(key)) << key;
         },
         Lines{"SpriteManager: Missing TEXTURE property for [no-texture]",
               skipped("SpriteManager", "origin-is-string", "originX",
                       "[json.exception.type_error.302] type must be number, but is string"),
               skipped("SpriteManager", "rect-is-null", "rectW"),
               skipped("SpriteManager", "texture-is-array", "texture"),
               "TextureManager: Texture with key nowhere does not exist.",
               "SpriteManager: Sprite [unknown-texture] skipped, its texture nowhere is not loaded."}},
    });
}

TEST(SpriteManager, TakesItsGeometryFromTheEntry)
{
    RegistryChain chain;
    ASSERT_TRUE(loadsQuietly(chain.textures, testsupport::dataPath("manifests/sprites_textures.json")));
    ASSERT_TRUE(loadsQuietly(chain.sprites, testsupport::dataPath("manifests/sprites_geometry.json")));
    const std::tuple<const char*, sf::IntRect, sf::Vector2f, sf::Vector2f> cases[] = {
        {"plain", {0, 0, 200, 100}, {0, 0}, {0, 0}},
        {"centred", {0, 0, 201, 101}, {100, 50}, {0, 0}}, // odd sizes: the integer half, not 100.5
        {"centred-overrides", {0, 0, 201, 101}, {100, 50}, {0, 0}},
        {"strip", {16, 0, 16, 32}, {0, 0}, {0, 0}},
        {"placed", {0, 0, 64, 32}, {0, 0}, {960, 540}},
        {"zero-width", {0, 0, 0, 32}, {2.5f, 1.25f}, {0, 0}},
        {"fractions", {16, -3, 8, 32}, {0, 0}, {0, 0}},
        {"both", {0, 0, 200, 100}, {100, 50}, {960, 540}}};
    for (const auto& [key, rect, origin, position] : cases)
    {
        const sf::Sprite* sprite = chain.sprites.get(key);
        ASSERT_NE(sprite, nullptr) << key;
        EXPECT_EQ(sprite->getTextureRect(), rect) << key;
        EXPECT_EQ(sprite->getOrigin(), origin) << key;
        EXPECT_EQ(sprite->getPosition(), position) << key;
    }
    EXPECT_EQ(chain.sprites.get("plain")->getTexture(), chain.textures.get("w200h100"));
}

// The first registration of a key stays; a look-up of an unknown key is reported.
TEST(PictureRegistries, RefuseASecondRegistrationAndReportUnknownKeys)
{
    testsupport::TempDir dir;
    RegistryChain chain;
    const auto load = [&](auto& registry, const char* text)
    { return errorLines([&] { registry.load(dir.write("m.json", text)); }); };
    EXPECT_TRUE(load(chain.textures, R"({"textures": {"pic": {"file": "tests/data/images/w64h32.png"},
                                      "big": {"file": "tests/data/images/w200h100.png"}}})")
                    .empty());
    expectLines(load(chain.textures, R"({"textures": {"pic": {"file": "tests/data/images/w200h100.png"}}})"),
                {"TextureManager: Texture with key pic already exists."});
    EXPECT_EQ(chain.textures.get("pic")->getSize(), sf::Vector2u(64, 32));
    EXPECT_TRUE(load(chain.sprites, R"({"sprites": {"s": {"texture": "pic"}}})").empty());
    expectLines(load(chain.sprites, R"({"sprites": {"s": {"texture": "big"}}})"),
                {"SpriteManager: Sprite with key s already exists."});
    EXPECT_EQ(chain.sprites.get("s")->getTexture(), chain.textures.get("pic"));

    expectLines(errorLines([&] { EXPECT_EQ(chain.textures.get("Pic"), nullptr); }),
                {"TextureManager: Texture with key Pic does not exist."});
    expectLines(errorLines([&] { EXPECT_EQ(chain.sprites.get("S"), nullptr); }),
                {"SpriteManager: Sprite with key S does not exist."});
}

// A picture left for later comes in as load would have made it: the same size, wrapping,
// bounds and pixels. One whose header reads but whose data does not decode is reported when it
// comes in, and stays clear; those refused from their header are reported by load as ever.
TEST(TextureManager, PicturesLeftForLaterComeInAsLoadMakesThem)
{
    holdSfmlErrorStream(); // as the demo's resources do, so that pictures may decode on threads
    const std::string manifest = testsupport::dataPath("manifests/textures_mixed.json");
    TextureManager now;
    errorLines([&] { now.load(manifest); });
    TextureManager later;
    const std::vector<std::string> first{"plain"};
    later.startDecoding(manifest, first); // writes nothing
    const Lines atLoad = errorLines([&] { EXPECT_TRUE(later.load(manifest, first)); });
    ASSERT_FALSE(later.allLoaded());
    EXPECT_EQ(atLoad.size(), 6u) << testing::PrintToString(atLoad); // not hangs-decoder.png's yet
    for (const char* key : {"plain", "repeated", "twice", "hangs"})
        ASSERT_TRUE(later.exists(key)) << key;
    // Its sprites take the size the picture will have.
    EXPECT_EQ(later.pictureSize("repeated"), sf::Vector2u(64, 32));
    testsupport::TempDir dir;
    SpriteManager sprites(later);
    sprites.load(dir.write("s.json", R"({"sprites": {"s": {"texture": "repeated", "autocenter": true}}})"));
    ASSERT_TRUE(sprites.exists("s"));
    EXPECT_EQ(sprites.get("s")->getTextureRect(), sf::IntRect(0, 0, 64, 32));
    EXPECT_EQ(sprites.get("s")->getOrigin(), sf::Vector2f(32.f, 16.f));
    EXPECT_TRUE(later.get("repeated")->isRepeated());
    // Asked before the picture is in, the bounds wait for its decoding.
    EXPECT_EQ(later.opaqueBounds("twice"), now.opaqueBounds("twice"));
    EXPECT_EQ(later.opaqueCells("twice", 4, 2), std::vector<bool>(8, true));

    later.finishLoading({"repeated"});
    EXPECT_FALSE(later.allLoaded());
    expectLines(errorLines(
                    [&]
                    {
                        while (!later.allLoaded())
                            later.uploadNext();
                    }),
                {"TextureManager: Unable to load file tests/data/images/hangs-decoder.png."});
    for (const char* key : {"plain", "repeated", "twice"})
    {
        SCOPED_TRACE(key);
        const sf::Image made = now.get(key)->copyToImage();
        const sf::Image cameLater = later.get(key)->copyToImage();
        ASSERT_EQ(cameLater.getSize(), made.getSize());
        EXPECT_EQ(0, std::memcmp(cameLater.getPixelsPtr(), made.getPixelsPtr(),
                                 std::size_t(made.getSize().x) * made.getSize().y * 4));
        EXPECT_EQ(later.opaqueBounds(key), now.opaqueBounds(key));
    }
    const sf::Image hangs = later.get("hangs")->copyToImage();
    EXPECT_EQ(hangs.getSize(), sf::Vector2u(64, 32)); // as its header says
    const sf::Uint8* bytes = hangs.getPixelsPtr();
    EXPECT_TRUE(
        std::all_of(bytes, bytes + hangs.getSize().x * hangs.getSize().y * 4, [](int b) { return b == 0; }));
}

// A 64 x 32 picture in 4 x 2 cells of 16 pixels: a cell shows something where one of its
// pixels, or one on its right or bottom edge, is not fully transparent.
TEST(TextureManager, TellsWhichCellsOfAPictureShowSomething)
{
    testsupport::TempDir dir;
    const std::tuple<const char*, std::vector<sf::Vector2u>, std::vector<bool>> cases[] = {
        {"none", {}, std::vector<bool>(8, false)},
        {"one inside", {{40, 5}}, {false, false, true, false, false, false, false, false}},
        {"on an edge", {{16, 20}}, {false, false, false, false, true, true, false, false}},
        {"the last", {{63, 31}}, {false, false, false, false, false, false, false, true}},
        {"two", {{0, 0}, {30, 21}}, {true, false, false, false, false, true, false, false}},
    };
    for (const auto& [name, opaque, cells] : cases)
    {
        SCOPED_TRACE(name);
        sf::Image image;
        image.create(64, 32, sf::Color::Transparent);
        for (const sf::Vector2u pixel : opaque)
            image.setPixel(pixel.x, pixel.y, sf::Color(9, 9, 9, 1));
        ASSERT_TRUE(image.saveToFile((dir.path() / "p.png").string()));
        TextureManager textures;
        textures.load(dir.write("t.json", R"({"textures": {"p": {"file": ")" +
                                              (dir.path() / "p.png").string() + R"("}}})"));
        EXPECT_EQ(textures.opaqueCells("p", 4, 2), cells);
    }
    TextureManager none;
    EXPECT_TRUE(none.opaqueCells("p", 4, 2).empty());
}

// Every format is measured, whichever side is too long: a picture one pixel over the limit is
// refused with the usual line, one at the limit loads.
TEST(TextureManager, RefusesAPictureOnePixelOverTheLimit)
{
    testsupport::TempDir dir;
    for (const char* format : {"png", "bmp", "tga", "jpg"})
    {
        const unsigned int other = format == std::string("jpg") ? 8 : 1; // the encoder works in 8 x 8 blocks
        for (const sf::Vector2u size :
             {sf::Vector2u(maxPictureSide, other), sf::Vector2u(other, maxPictureSide),
              sf::Vector2u(maxPictureSide + 1, other), sf::Vector2u(other, maxPictureSide + 1)})
        {
            SCOPED_TRACE(std::string(format) + " " + std::to_string(size.x) + " x " + std::to_string(size.y));
            const std::string picture = (dir.path() / (std::string("picture.") + format)).string();
            sf::Image image;
            image.create(size.x, size.y, sf::Color(10, 200, 30));
            ASSERT_TRUE(image.saveToFile(picture));
            TextureManager textures;
            const bool fits = size.x <= maxPictureSide && size.y <= maxPictureSide;
            const std::string manifest =
                dir.write("textures.json", R"({"textures": {"picture": {"file": ")" + picture + R"("}}})");
            expectLines(errorLines([&] { EXPECT_TRUE(textures.load(manifest)); }),
                        fits ? Lines{} : Lines{"TextureManager: Unable to load file " + picture + "."});
            ASSERT_EQ(textures.exists("picture"), fits);
            EXPECT_TRUE(!fits || textures.get("picture")->getSize() == size);
        }
    }
}

namespace
{
// Keys by what their scene relies on; texture and particle kinds first.
const std::pair<std::string_view, const char*> shippedKeys[] = {
    {"texture", "finger"},                         // and below, the sprite
    {"tile", "bg-grad rainbow_texture dots morv"}, // repeated by the scrolling shaders
    {"full-frame texture", "presentado greets1 greets2 greets3 greets4 greets5 greets6 wsl1 wsl2 wsl3"},
    {"particles", "star_particles flower_particles"},
    {"sprite", "finger baba"},
    {"fade overlay", "black"},   // tinted white by the fade, so black itself
    {"opening card", "gr1 gr2"}, // stands at the frame centre and fills the frame
    {"turns about its middle",
     "plimmo1 plimmo2 plimmo3 plimmo4 plimmo5 star1 star2 star3 flower1 flower2 flower3"},
    // The scene sets origin (960, 540) itself: a full-frame picture with the logo in its middle.
    {"group logo", "vortle"},
    // The bouncing scenes take width and height from the whole texture.
    {"bouncer", "quib zarn plok greets vesk trumo glin"},
    {"bubble", "bubble1 bubble2 bubble3 bubble4 bubble5 bubble6 bubble7 bubble8 bubble9"},
    // In reading order. The title scene sets only their scale, so the manifest places them; the
    // fractal scene puts each piece at (960, 540), so the origin alone places it.
    {"title word", "grumlo1 grumlo2 grumlo3 grumlo4 vs the vortle1 vortle2 and trobisk"},
    {"title piece", "flum ba doo zin gel pop tik"},
    {"flip frame", "frame1 frame2"}, // shown in turn at one place
};

/// Checks the sprite of key; previous holds the last one of its kind, whose place the next follows.
void checkSprite(const SpriteManager& sprites, std::string_view shape, const std::string& key,
                 sf::FloatRect& previous)
{
    const auto is = [&](std::initializer_list<std::string_view> shapes)
    { return std::find(shapes.begin(), shapes.end(), shape) != shapes.end(); };
    const sf::Sprite* sprite = sprites.get(key);
    ASSERT_NE(sprite, nullptr);
    const sf::IntRect rect = sprite->getTextureRect();
    const sf::Vector2u size = sprite->getTexture()->getSize();
    const sf::Vector2f origin = sprite->getOrigin();
    sf::Sprite placed = *sprite; // where it shows when its scene puts it at the frame centre
    if (is({"title piece", "opening card"}))
        placed.setPosition(960.f, 540.f);
    const sf::FloatRect bounds = placed.getGlobalBounds(), frame(0.f, 0.f, 1920.f, 1080.f);
    sf::FloatRect visible;
    const bool insideFrame = frame.intersects(bounds, visible) && visible == bounds;
    const sf::Image image =
        is({"fade overlay", "group logo"}) ? sprite->getTexture()->copyToImage() : sf::Image();
    unsigned notBlack = 0;
    for (unsigned y = 0; y < 1080 && shape == "fade overlay"; ++y)
        for (unsigned x = 0; x < 1920; ++x)
            notBlack += image.getPixel(x, y) != sf::Color::Black;
    EXPECT_TRUE(shape != "fade overlay" || (bounds == frame && notBlack == 0)) << notBlack << " not black";
    EXPECT_TRUE(!is({"fade overlay", "group logo"}) ||
                (rect == sf::IntRect(0, 0, 1920, 1080) && size == sf::Vector2u(1920, 1080)));
    EXPECT_TRUE(shape != "group logo" || (image.getPixel(960, 540).a > 200 && image.getPixel(20, 20).a == 0))
        << "the logo covers the middle and leaves the corners clear";
    EXPECT_TRUE(!is({"opening card", "turns about its middle"}) ||
                origin == sf::Vector2f(float(rect.width / 2), float(rect.height / 2)));
    EXPECT_TRUE(shape != "opening card" || bounds == frame);
    EXPECT_TRUE(!is({"bouncer", "bubble"}) ||
                (rect == sf::IntRect(0, 0, int(size.x), int(size.y)) && origin == sf::Vector2f()));
    EXPECT_TRUE(!is({"bouncer", "bubble"}) || (size.x < 1900 && size.y < (shape == "bubble" ? 301u : 890u)))
        << "room between the start height and the floor";
    EXPECT_TRUE(!is({"title word", "title piece", "flip frame"}) || insideFrame);
    EXPECT_TRUE(shape != "title word" || sprite->getPosition() == sf::Vector2f(960.f, 540.f));
    // Flip frames share their place; the next title word or piece on the same line lies to the
    // right, else on a line below.
    const float middle = bounds.top + bounds.height / 2.f;
    const bool sameLine = std::abs(middle - previous.top - previous.height / 2.f) < previous.height / 2.f;
    EXPECT_TRUE(!is({"title word", "title piece", "flip frame"}) || previous.width == 0.f ||
                (shape == "flip frame" ? bounds == previous
                 : sameLine            ? bounds.left + bounds.width / 2.f > previous.left + previous.width
                                       : middle > previous.top + previous.height))
        << "out of place after the one before";
    previous = bounds;
}

TEST(ShippedAssets, LoadSilentlyAndEveryKeyHasTheShapeItsSceneReliesOn)
{
    RegistryChain shipped;
    ASSERT_TRUE(loadsQuietly(shipped.textures, "assets/textures.json"));
    ASSERT_TRUE(loadsQuietly(shipped.sprites, "assets/sprites.json"));
    ASSERT_TRUE(loadsQuietly(shipped.particles, "assets/particles.json"));
    for (const auto& [shape, keys] : shippedKeys)
    {
        sf::FloatRect previous;
        std::istringstream list(keys);
        for (std::string key; list >> key;)
        {
            SCOPED_TRACE(key);
            if (shape == "particles")
            {
                // Without a spawn interval, or with a fade to nothing, a system never shows.
                const ParticleSystem* system = shipped.particles.get(key);
                ASSERT_NE(system, nullptr);
                EXPECT_TRUE(system->spawn_rate > 0.f && system->count > 0 && system->min_alpha > 0.f &&
                            system->min_ttl <= system->max_ttl && !system->sprites.empty() &&
                            std::count(system->sprites.begin(), system->sprites.end(), nullptr) == 0);
            }
            else if (shape == "texture" || shape == "tile" || shape == "full-frame texture")
            {
                const sf::Texture* texture = shipped.textures.get(key);
                ASSERT_NE(texture, nullptr);
                EXPECT_TRUE(shape != "tile" || texture->isRepeated());
                EXPECT_TRUE(shape != "full-frame texture" || texture->getSize() == sf::Vector2u(1920, 1080));
            }
            else
                checkSprite(shipped.sprites, shape, key, previous);
        }
    }
    EXPECT_NE(shipped.sprites.get("frame1")->getTextureRect(),
              shipped.sprites.get("frame2")->getTextureRect());
}
} // namespace
