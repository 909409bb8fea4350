#include "ContactSheet.hpp"

#include <SFML/Graphics.hpp>
#include <algorithm>
#include <iostream>

bool writeContactSheet(const std::vector<PaintedPicture>& pictures, const sf::Font& font,
                       const std::string& path)
{
    const unsigned columns = 6;
    const float cellWidth = 320.f;
    const float cellHeight = 240.f;
    const float thumbHeight = 190.f;
    const unsigned rows = static_cast<unsigned>((pictures.size() + columns - 1) / columns);
    sf::RenderTexture sheet;
    if (!sheet.create(static_cast<unsigned>(cellWidth) * columns, static_cast<unsigned>(cellHeight) * rows))
    {
        std::cerr << "flumbadoo-paint: Unable to create the contact sheet." << std::endl;
        return false;
    }
    sheet.clear(sf::Color(70, 60, 80));

    sf::Image checks;
    checks.create(16, 16);
    for (unsigned y = 0; y < 16; ++y)
        for (unsigned x = 0; x < 16; ++x)
            checks.setPixel(x, y,
                            ((x / 8 + y / 8) % 2) ? sf::Color(200, 200, 200) : sf::Color(150, 150, 150));
    sf::Texture checksTexture;
    checksTexture.loadFromImage(checks);
    checksTexture.setRepeated(true);

    for (std::size_t i = 0; i < pictures.size(); ++i)
    {
        const sf::Vector2f cell(cellWidth * static_cast<float>(i % columns),
                                cellHeight * static_cast<float>(i / columns));
        sf::Texture texture;
        texture.loadFromImage(pictures[i].painted.image);
        texture.setSmooth(true);
        const sf::Vector2u size = texture.getSize();
        const float scale = std::min((cellWidth - 16.f) / static_cast<float>(size.x),
                                     (thumbHeight - 8.f) / static_cast<float>(size.y));
        const sf::Vector2f shown(static_cast<float>(size.x) * scale, static_cast<float>(size.y) * scale);
        const sf::Vector2f corner =
            cell + sf::Vector2f((cellWidth - shown.x) / 2.f, 8.f + (thumbHeight - 8.f - shown.y) / 2.f);

        sf::Sprite background(checksTexture,
                              sf::IntRect(0, 0, static_cast<int>(shown.x), static_cast<int>(shown.y)));
        background.setPosition(corner);
        sheet.draw(background);
        sf::Sprite thumb(texture);
        thumb.setScale(scale, scale);
        thumb.setPosition(corner);
        sheet.draw(thumb);

        sf::Text label(pictures[i].name + "  " + std::to_string(size.x) + "x" + std::to_string(size.y), font,
                       22);
        label.setFillColor(sf::Color::White);
        const sf::FloatRect bounds = label.getLocalBounds();
        label.setPosition(cell.x + (cellWidth - bounds.width) / 2.f, cell.y + thumbHeight + 8.f);
        sheet.draw(label);
    }
    sheet.display();
    if (!sheet.getTexture().copyToImage().saveToFile(path))
    {
        std::cerr << "flumbadoo-paint: Unable to save the contact sheet " << path << "." << std::endl;
        return false;
    }
    return true;
}
