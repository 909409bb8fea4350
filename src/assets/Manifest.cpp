#include "assets/Manifest.hpp"

#include <SFML/System/Err.hpp>
#include <filesystem>
#include <fstream>
#include <iostream>

bool validateJson(const nlohmann::json& document, const std::vector<std::string>& requiredKeys)
{
    for (const std::string& key : requiredKeys)
    {
        if (!document.is_object() || !document.contains(key))
        {
            std::cerr << "validateJson: Missing prop: " << key << "." << std::endl;
            return false;
        }
    }
    return true;
}

nlohmann::json readJsonFile(const std::string& path, const std::string& component, bool& opened,
                            bool* complete)
{
    nlohmann::json document;
    if (complete)
        *complete = false;
    std::ifstream file;
    if (isRegularFile(path))
        file.open(path);
    opened = file.is_open();
    if (!opened)
    {
        std::cerr << component << ": Unable to open file " << path << "." << std::endl;
        return document;
    }
    try
    {
        file >> document;
        if (complete)
            *complete = true;
    }
    catch (const nlohmann::json::exception& error)
    {
        // The DOM parser fills the document as it goes, so whatever was completed
        // before the error is still in it and gets processed.
        std::cerr << component << ": Error while parsing JSON." << std::endl;
        std::cerr << error.what() << std::endl;
    }
    catch (const std::ios_base::failure& error)
    {
        // A file that opens but cannot be read (an I/O error): whatever was parsed is kept.
        std::cerr << component << ": Error while reading file " << path << ": " << error.what() << std::endl;
    }
    return document;
}

bool isRegularFile(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

bool loadManifest(
    const std::string& path, const ManifestFormat& format,
    const std::function<void(const std::string& key, const nlohmann::json& entry)>& registerEntry)
{
    bool opened = false;
    bool complete = false;
    const nlohmann::json document = readJsonFile(path, format.component, opened, &complete);
    if (!opened)
        return false;

    if (!validateJson(document, {format.topLevelKey}))
    {
        std::cerr << format.missingPropertiesLine << std::endl;
        return false;
    }

    const nlohmann::json& entries = document.at(format.topLevelKey);
    if (entries.is_null() && !complete)
        return true; // the document broke off before the entries began: nothing to register
    if (!entries.is_object())
    {
        std::cerr << format.component << ": \"" << format.topLevelKey
                  << "\" must be an object of entries, but is " << entries.type_name()
                  << "; nothing registered." << std::endl;
        return true;
    }

    for (const auto& [key, entry] : entries.items())
    {
        if (!entry.is_object() || !entry.contains(format.requiredProperty))
        {
            std::cerr << format.component << ": Missing " << format.requiredWord << " property for [" << key
                      << "]" << std::endl;
            continue;
        }
        try
        {
            registerEntry(key, entry);
        }
        catch (const PropertyTypeError& error)
        {
            std::cerr << format.component << ": Entry [" << key << "] skipped, property " << error.property
                      << " has the wrong type: " << error.message << std::endl;
        }
    }
    return true;
}

bool holdSfmlErrorStream()
{
    sf::err();
    return true;
}

QuietSfmlErrors::QuietSfmlErrors() : saved(sf::err().rdbuf(nullptr)) {}

QuietSfmlErrors::~QuietSfmlErrors()
{
    sf::err().rdbuf(saved);
    sf::err().clear();
}
