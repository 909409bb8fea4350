#pragma once

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Shader.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <optional>
#include <string>
#include <vector>

class Resources;
class TextureManager;

/// How one kind of pulse moves: how fast its level rises and how long it holds at full
/// level before falling at one per second. Units are those of the dt the pulse is given.
struct PulseRates
{
    float risePerSecond = 1.f; ///< level gained per second while rising
    float holdSeconds = 1.f;   ///< the hold ends once its time has passed this (strictly)
};

/// The greetings: two seconds up, a good two seconds held, one second down.
constexpr PulseRates greetPulseRates{0.5f, 2.f};

/// The field-flight image layers: one second up, one held, one down.
constexpr PulseRates layerPulseRates{1.f, 1.f};

/// A picture that comes in through its shader, holds and goes out again: the shader's
/// "iTime" follows the pulse's level, 0 → 1 → 0. The greetings and the field-flight image
/// layers are both pulses, differing only in their rates and where they are drawn.
struct Pulse
{
    PulseRates rates;             ///< rise and hold of this kind of pulse
    sf::Sprite* sprite = nullptr; ///< drawn with shader; null draws nothing
    sf::Shader* shader = nullptr; ///< receives "iTime" = level; null receives nothing
    float level = 0.f;            ///< current strength, 0..1
    float holdTime = 0.f;         ///< seconds spent at full level
    int stage = 0;                ///< 0 rising, 1 holding, 2 falling
    bool active = false;          ///< false: neither updated nor drawn
    /// Where the whole picture shows, in the sprite's own pixels, when known: at full level
    /// the shader shows the picture untouched, so nothing is drawn outside it.
    std::optional<sf::FloatRect> wholePicture = std::nullopt;
    /// Which of the picture's tiles may show something (scatterTilesShown); empty: all of them.
    std::vector<bool> tilesShown = {};

    /// Starts the pulse from the beginning, also one that is still running: level 0,
    /// rising, hold time cleared.
    void start();

    /// Advances a running pulse by dt; nothing while inactive.
    void update(float dt);

    /// Draws the sprite with the shader, its "iTime" set to the level, into target while the
    /// pulse runs; at level 0, where every tile is out of sight, nothing is drawn, and at full
    /// level only wholePicture. With placed, the picture is drawn through that transform too
    /// (the turn of a layer it would otherwise have been drawn into).
    void draw(const Resources& resources, sf::RenderTarget& target,
              const sf::Transform& placed = sf::Transform::Identity) const;

    /// The part of the target the next draw can change: nothing when inactive or at level 0,
    /// wholePicture (in target pixels) at full level when known, else unknown (anywhere).
    std::optional<sf::FloatRect> drawnArea() const;
};

/// Draws the picture of a scatter shader (its "image", spread over quad's own bounds) as the
/// shader's 32 x 18 tiles, one quad each in one vertex array: the vertex side moves each tile,
/// so a pass costs the area the tiles cover rather than the whole quad. The flocks are drawn
/// from the last to the first, so that where tiles meet the first lies on top; home says that
/// the shader's "iTime" is 1 or more, every tile home and none over another, so all go in one
/// draw. Only the tiles that shown (one per tile, row by row) marks are drawn, all of them
/// when it has any other size: a tile with nothing to show costs nothing. Draws nothing when
/// the shader has no program (it failed to load).
void drawScatterTiles(const Resources& resources, sf::RenderTarget& target, const sf::Sprite& quad,
                      sf::Shader& shader, bool home, const std::vector<bool>& shown = {},
                      const sf::Transform& placed = sf::Transform::Identity);

/// Which tiles of the picture textureKey of textures may show something when it is scattered
/// (TextureManager::opaqueCells on the tiles); empty when that is not known.
std::vector<bool> scatterTilesShown(const TextureManager& textures, const std::string& textureKey);

/// Where the picture textureKey of textures shows when it is spread over quad (its texture coordinates
/// 0 to 1 across the quad's own pixels, as the scatter shader reads it): the picture's
/// opaque bounds in the quad's own pixels. Nothing when the quad or the picture is missing.
std::optional<sf::FloatRect> pictureOnQuad(const TextureManager& textures, const sf::Sprite* quad,
                                           const std::string& textureKey);
