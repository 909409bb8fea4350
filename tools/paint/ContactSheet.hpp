#pragma once

#include "Manifests.hpp"

#include <SFML/Graphics/Font.hpp>
#include <string>
#include <vector>

/// Writes one PNG showing every picture scaled into a cell over a checkerboard (so that
/// transparency shows), with its name and size underneath. Returns false, after one line
/// on standard error, when the sheet cannot be drawn or saved.
bool writeContactSheet(const std::vector<PaintedPicture>& pictures, const sf::Font& font,
                       const std::string& path);
