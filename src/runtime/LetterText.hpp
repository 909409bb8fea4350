#pragma once

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Text.hpp>
#include <functional>
#include <string>
#include <vector>

/// The sine-wave text scroller: a message drawn one character at a time into its layer,
/// each character lifted or lowered on a sine wave whose phase runs along the message
/// and over time, under an optional dark shadow that follows a cosine wave. The whole
/// message moves sideways at speed pixels per second. Scenes switch a text on with
/// active and place it with x and y; it never wraps round.
class LetterText
{
public:
    sf::Font font;                               ///< owned font of the message
    sf::Text text;                               ///< the drawable reused for every character
    std::string content;                         ///< the message, one character per byte
    float x = 0.f;                               ///< left edge of the first character
    float y = 0.f;                               ///< rest line of the wave
    float speed = 0.f;                           ///< pixels per second added to x; negative moves left
    bool active = false;                         ///< update and draw do nothing while false
    float phase = 0.f;                           ///< time offset of the wave, radians
    bool shadow = false;                         ///< draw the shadow pass first
    float amplitude = 0.f;                       ///< height of the wave, pixels
    sf::Color fillColor = sf::Color(0, 0, 0);    ///< fill colour of the letters
    sf::Color outlineColor = sf::Color(0, 0, 0); ///< outline colour of the letters
    std::vector<sf::FloatRect> drawnLetters; ///< each letter the last draw drew, shadows too, in layer pixels
    sf::RenderTarget* layer = nullptr;       ///< where it draws (the demo's layer1); null draws nothing
    bool primed = false;                     ///< whether primeGlyphs has run

    /// A text that draws into layer (not owned, may be null).
    explicit LetterText(sf::RenderTarget* layer = nullptr) : layer(layer) {}
    LetterText(const LetterText&) = delete;
    LetterText& operator=(const LetterText&) = delete;

    /// Loads the font at path and sets the character size, colours, position and outline
    /// thickness; resets phase to 0, switches the shadow on and sets amplitude to 190.
    /// If the font does not load, writes "Unable to load fontfile <path>" and goes on:
    /// the message then draws no glyphs. speed and active are left as they are.
    void load(const std::string& path, unsigned int characterSize, sf::Color fill, sf::Color outline, float x,
              float y, float outlineThickness);

    /// Replaces the message.
    void setContent(const std::string& message);

    /// Lays out the capitals, the digits 1 to 9, a hyphen and a space once, so that their
    /// glyphs are rendered into the font's cache before the text's first frame, which then
    /// costs no more than the next. The first layOutPass does it first when nothing has, so
    /// the cache is filled in the same order whenever it runs. Draws nothing.
    void primeGlyphs();

    /// While active, advances phase by dt and then x by dt * speed.
    void update(float dt);

    /// While active, draws the shadow pass (if shadow is on) and then the letter pass
    /// into the layer, one draw per character, and keeps what each covers in drawnLetters
    /// (emptied while inactive).
    void draw();

    /// Puts text on each character of content in turn, at its place on the shadow wave
    /// (cosine) or the letter wave (sine), and hands it to visit. Each character advances
    /// the next by the width of its own bounds. draw() is this with a visit that draws
    /// into the layer; it does not look at active and does not change the colours.
    void layOutPass(bool shadowPass, const std::function<void(const sf::Text&)>& visit);
};
