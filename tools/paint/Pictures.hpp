#pragma once

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Image.hpp>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

/// One sprite that the demo builds on a painted picture: its key and the sprite-manifest
/// properties other than "texture" (origin, rectangle, autocenter flags).
struct SpriteEntry
{
    std::string key;
    nlohmann::json properties = nlohmann::json::object();
};

/// What painting one picture gives: the image and the sprites cut from it.
struct Painted
{
    sf::Image image;
    std::vector<SpriteEntry> sprites;
};

/// One picture of the demo. Its name is its texture key and its file name
/// ("<name>.png"); repeated textures are scrolled by shaders and must tile.
struct Picture
{
    std::string name;
    bool repeated = false;
    std::function<Painted(const sf::Font&)> paint;
};

/// Every picture of the demo, in the order in which they are painted. Painting needs an
/// OpenGL context; every picture is painted with fixed random seeds, so the same font
/// and renderer give the same pixels on every run.
std::vector<Picture> allPictures();
