#include "runtime/LetterText.hpp"

#include "assets/Manifest.hpp"
#include "runtime/PassTiming.hpp"

#include <cmath>
#include <iostream>
#include <locale>

void LetterText::load(const std::string& path, unsigned int characterSize, sf::Color fill, sf::Color outline,
                      float x, float y, float outlineThickness)
{
    bool loaded = false;
    {
        QuietSfmlErrors quiet;
        loaded = isRegularFile(path) && font.loadFromFile(path);
    }
    if (!loaded)
        std::cerr << "Unable to load fontfile " << path << std::endl;
    this->x = x;
    this->y = y;
    text.setFont(font);
    text.setCharacterSize(characterSize);
    fillColor = fill;
    outlineColor = outline;
    phase = 0.f;
    shadow = true;
    amplitude = 190.f;
    text.setOutlineThickness(outlineThickness);
}

void LetterText::setContent(const std::string& message)
{
    content = message;
}

void LetterText::primeGlyphs()
{
    text.setString("ABCDEFGHIJKLMNOPQRSTUVWXYZ123456789- ");
    // Laying the string out renders every glyph it needs, outlined and filled.
    text.getLocalBounds();
    primed = true;
}

void LetterText::update(float dt)
{
    if (!active)
        return;
    phase += dt;
    x += dt * speed;
}

void LetterText::draw()
{
    drawnLetters.clear();
    if (!active || !layer)
        return;
    const TimedPass pass("letters");
    const auto drawIntoLayer = [this](const sf::Text& letter)
    {
        layer->draw(letter);
        drawnLetters.push_back(letter.getGlobalBounds());
    };
    if (shadow)
    {
        text.setOutlineColor(sf::Color(0, 0, 0, 192));
        text.setFillColor(sf::Color(0, 0, 0, 192));
        layOutPass(true, drawIntoLayer);
    }
    text.setFillColor(fillColor);
    text.setOutlineColor(outlineColor);
    layOutPass(false, drawIntoLayer);
}

void LetterText::layOutPass(bool shadowPass, const std::function<void(const sf::Text&)>& visit)
{
    if (!primed)
        primeGlyphs();
    const std::locale locale;
    float cx = x;
    float angle = 0.f;
    for (const char character : content)
    {
        text.setString(sf::String(character, locale));
        // The angle is summed in float, the wave taken in double and rounded back to float
        // before it is scaled: the look of the wave was tuned with exactly this rounding.
        const double waveAngle = static_cast<double>(angle + phase);
        const float wave = static_cast<float>(shadowPass ? std::cos(waveAngle) : std::sin(waveAngle));
        text.setPosition(cx, wave * amplitude + y);
        visit(text);
        angle = static_cast<float>(static_cast<double>(angle) + 0.2);
        cx += text.getLocalBounds().width;
    }
}
