#pragma once

#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

/// Checks that every key of requiredKeys names a member of document, in list order.
/// At the first key that is missing (or when document is not an object) it writes
/// "validateJson: Missing prop: <key>." on standard error and returns false; later keys
/// are not looked at. An empty key list is always satisfied.
bool validateJson(nlohmann::json document, const std::vector<std::string>& requiredKeys);

/// Raised by readProperty when an entry property cannot be converted to the type the
/// registry needs. It never leaves a registry: the entry loop catches it, reports it
/// and skips that entry.
struct PropertyTypeError
{
    std::string property;
    std::string message;
};

/// Reads entry[name] as T, or returns fallback when the entry has no such member.
/// A member of the wrong JSON type (null included) raises PropertyTypeError.
template <typename T> T readProperty(const nlohmann::json& entry, const char* name, T fallback)
{
    if (!entry.contains(name))
        return fallback;
    try
    {
        return entry.at(name).get<T>();
    }
    catch (const nlohmann::json::exception& error)
    {
        throw PropertyTypeError{name, error.what()};
    }
}

/// Opens path and reads one JSON value from it with stream extraction.
/// If the file cannot be opened, writes "<component>: Unable to open file <path>." and
/// sets opened to false. If parsing fails, writes "<component>: Error while parsing JSON."
/// and the JSON library's message, and returns what the parser had built before the error
/// (null when it broke before the first value). When complete is given, it is set to
/// whether the whole value was read without an error.
nlohmann::json readJsonFile(const std::string& path, const std::string& component, bool& opened,
                            bool* complete = nullptr);

/// What one registry's manifest looks like.
struct ManifestFormat
{
    std::string component;             ///< prefix of every message, such as "TextureManager"
    std::string topLevelKey;           ///< such as "textures"
    std::string requiredProperty;      ///< "file" or "texture"
    std::string requiredWord;          ///< how the missing-property line names it: "FILE" or "TEXTURE"
    std::string missingPropertiesLine; ///< written when the top-level key is absent
};

/// The load sequence that all five registries share: open and parse the manifest, check
/// its top-level key, then hand every entry that has the required property to
/// registerEntry, in the JSON library's member order (ascending key order).
/// Entries without the required property, and entries whose properties have the wrong
/// JSON type, are reported and skipped; the others still load. A top-level key whose
/// value is not an object is reported and registers nothing.
/// Returns false when the file cannot be opened or lacks the top-level key, true otherwise.
bool loadManifest(
    const std::string& path, const ManifestFormat& format,
    const std::function<void(const std::string& key, const nlohmann::json& entry)>& registerEntry);

/// Silences SFML's own error stream while it lives. The registries report a failed
/// asset load with one line of their own, so SFML's longer message would only repeat it.
class QuietSfmlErrors
{
public:
    QuietSfmlErrors();
    ~QuietSfmlErrors();
    QuietSfmlErrors(const QuietSfmlErrors&) = delete;
    QuietSfmlErrors& operator=(const QuietSfmlErrors&) = delete;

private:
    std::streambuf* saved;
};
