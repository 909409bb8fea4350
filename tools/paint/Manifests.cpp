#include "Manifests.hpp"

nlohmann::json textureManifest(const std::vector<PaintedPicture>& pictures)
{
    nlohmann::json textures = nlohmann::json::object();
    for (const PaintedPicture& picture : pictures)
    {
        nlohmann::json entry = {{"file", "assets/images/" + picture.name + ".png"}};
        if (picture.repeated)
            entry["repeated"] = true;
        textures[picture.name] = entry;
    }
    return {{"textures", textures}};
}

nlohmann::json spriteManifest(const std::vector<PaintedPicture>& pictures)
{
    nlohmann::json sprites = nlohmann::json::object();
    for (const PaintedPicture& picture : pictures)
        for (const SpriteEntry& sprite : picture.painted.sprites)
        {
            nlohmann::json entry = sprite.properties;
            entry["texture"] = picture.name;
            sprites[sprite.key] = entry;
        }
    return {{"sprites", sprites}};
}

nlohmann::json particleManifest()
{
    return {
        {"particlesystems",
         {{"star_particles", {{"file", "assets/particles/star_particles.json"}, {"instances", 200}}},
          {"flower_particles", {{"file", "assets/particles/flower_particles.json"}, {"instances", 160}}}}}};
}

std::vector<std::pair<std::string, nlohmann::json>> particleDefinitions()
{
    // Stars are born anywhere on screen and drift slowly upwards; their short fades
    // make them twinkle. The growth range stays small so no star shrinks through zero
    // within its life.
    const nlohmann::json stars = {{"name", "star_particles"},
                                  {"sprites", {"star1", "star2", "star3"}},
                                  {"min_x", 0},
                                  {"max_x", 1920},
                                  {"min_y", 0},
                                  {"max_y", 1080},
                                  {"min_xs", -30},
                                  {"max_xs", 30},
                                  {"min_ys", -40},
                                  {"max_ys", -10},
                                  {"min_xg", -5},
                                  {"max_xg", 5},
                                  {"min_yg", -4},
                                  {"max_yg", 4},
                                  {"min_rot", 0},
                                  {"max_rot", 360},
                                  {"min_rotspeed", -90},
                                  {"max_rotspeed", 90},
                                  {"min_scale", 0.4},
                                  {"max_scale", 1.1},
                                  {"min_scalespeed", -0.05},
                                  {"max_scalespeed", 0.05},
                                  {"fadein", true},
                                  {"fadeout", true},
                                  {"min_fadespeed", 0.4},
                                  {"max_fadespeed", 1.0},
                                  {"min_ttl", 2.0},
                                  {"max_ttl", 4.5},
                                  {"min_alpha", 0.9},
                                  {"spawn_rate", 0.025}};
    // Flowers start above the top edge and fall with a little sideways sway; they live
    // long enough to leave through the bottom edge.
    const nlohmann::json flowers = {{"name", "flower_particles"},
                                    {"sprites", {"flower1", "flower2", "flower3"}},
                                    {"min_x", -50},
                                    {"max_x", 1970},
                                    {"min_y", -120},
                                    {"max_y", -60},
                                    {"min_xs", -40},
                                    {"max_xs", 40},
                                    {"min_ys", 120},
                                    {"max_ys", 220},
                                    {"min_xg", -10},
                                    {"max_xg", 10},
                                    {"min_yg", 20},
                                    {"max_yg", 50},
                                    {"min_rot", 0},
                                    {"max_rot", 360},
                                    {"min_rotspeed", -120},
                                    {"max_rotspeed", 120},
                                    {"min_scale", 0.6},
                                    {"max_scale", 1.2},
                                    {"min_scalespeed", -0.02},
                                    {"max_scalespeed", 0.02},
                                    {"fadein", true},
                                    {"fadeout", true},
                                    {"min_fadespeed", 0.3},
                                    {"max_fadespeed", 0.6},
                                    {"min_ttl", 6.0},
                                    {"max_ttl", 8.0},
                                    {"min_alpha", 1.0},
                                    {"spawn_rate", 0.06}};
    return {{"star_particles.json", stars}, {"flower_particles.json", flowers}};
}
