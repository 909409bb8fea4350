#include "runtime/Config.hpp"

#include "assets/Manifest.hpp"

#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>

namespace
{
/// Calls apply with the boolean value of key when the document is an object holding it.
/// A value of another type is reported and ignored, so the default stays.
template <typename Apply> void readSwitch(const nlohmann::json& document, const char* key, Apply apply)
{
    if (!document.is_object() || !document.contains(key))
        return;
    const nlohmann::json& value = document.at(key);
    if (!value.is_boolean())
    {
        std::cerr << "config.json: \"" << key << "\" must be true or false, but is " << value.type_name()
                  << "; keeping the default." << std::endl;
        return;
    }
    apply(value.get<bool>());
}
} // namespace

Config loadConfig(const std::string& path)
{
    Config config;
    std::ifstream file;
    if (isRegularFile(path)) // a folder of that name opens, then throws from inside the parser
        file.open(path);
    if (!file.is_open())
    {
        std::cerr << "Config.json missing." << std::endl;
        return config;
    }
    nlohmann::json document;
    try
    {
        file >> document;
    }
    catch (const nlohmann::json::exception& error)
    {
        std::cerr << "config.json: Error while parsing JSON." << std::endl;
        std::cerr << error.what() << std::endl;
        return config;
    }
    catch (const std::ios_base::failure& error)
    {
        std::cerr << "config.json: Error while reading file " << path << ": " << error.what() << std::endl;
        return config;
    }
    file.close();

    readSwitch(document, "fullscreen", [&](bool value) { config.fullscreen = value; });
    readSwitch(document, "sound", [&](bool value) { config.sound = value; });
    readSwitch(document, "vsync", [&](bool value) { config.vsync = value; });
    readSwitch(document, "show_fps", [](bool) {}); // accepted for compatibility; shows nothing
    return config;
}
