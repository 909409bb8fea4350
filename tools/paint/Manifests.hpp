#pragma once

#include "Pictures.hpp"

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

/// One painted picture together with the name it is saved under.
struct PaintedPicture
{
    std::string name;
    bool repeated = false;
    Painted painted;
};

/// The texture manifest: one entry per picture, its file under "assets/images/" (the path
/// the demo opens from its working directory), "repeated" only where it is true.
nlohmann::json textureManifest(const std::vector<PaintedPicture>& pictures);

/// The sprite manifest: every sprite that the pictures yield, on the texture of its picture.
nlohmann::json spriteManifest(const std::vector<PaintedPicture>& pictures);

/// The particle manifest, naming the two definition files of particleDefinitions().
nlohmann::json particleManifest();

/// The particle-system definitions, as file name (relative to the particle folder) and
/// contents: drifting, twinkling stars and falling, spinning flowers.
std::vector<std::pair<std::string, nlohmann::json>> particleDefinitions();
