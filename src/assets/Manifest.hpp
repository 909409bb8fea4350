#pragma once

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <nlohmann/json.hpp>
#include <string>
#include <type_traits>
#include <vector>

/// Checks that every key of requiredKeys names a member of document, in list order.
/// At the first key that is missing (or when document is not an object) it writes
/// "validateJson: Missing prop: <key>." on standard error and returns false; later keys
/// are not looked at. An empty key list is always satisfied. The document is only
/// looked at, never copied, so any depth of nesting is safe.
bool validateJson(const nlohmann::json& document, const std::vector<std::string>& requiredKeys);

/// Raised by readProperty when an entry property cannot be converted to the type the
/// registry needs. It never leaves a registry: the entry loop catches it, reports it
/// and skips that entry.
struct PropertyTypeError
{
    std::string property;
    std::string message;
};

namespace manifestdetail
{
/// Throws PropertyTypeError for a boolean, which the JSON library would read as 0 or 1, and
/// for a number that T cannot hold; integers take a fractional value by truncation toward
/// zero, as long as the result fits. Other types are left to the library's own check.
template <typename T> void checkNumber(const nlohmann::json& value, const char* name)
{
    if (value.is_boolean())
        throw PropertyTypeError{name, "type must be number, but is boolean"};
    if (!value.is_number())
        return;
    bool fits = true;
    if constexpr (std::is_integral_v<T>)
    {
        using Limits = std::numeric_limits<T>;
        if (value.is_number_unsigned())
            fits = value.get<std::uint64_t>() <= static_cast<std::uint64_t>(Limits::max());
        else if (value.is_number_integer())
            fits = value.get<std::int64_t>() >= static_cast<std::int64_t>(Limits::min()) &&
                   value.get<std::int64_t>() <= static_cast<std::int64_t>(Limits::max());
        else
        {
            // Truncation toward zero: anything above min - 1 and below max + 1 fits.
            const double number = value.get<double>();
            fits = number > static_cast<double>(Limits::min()) - 1.0 &&
                   number < static_cast<double>(Limits::max()) + 1.0;
        }
    }
    else if (value.is_number_float())
    {
        const double number = value.get<double>();
        fits =
            std::isfinite(number) && std::fabs(number) <= static_cast<double>(std::numeric_limits<T>::max());
    }
    if (!fits)
        throw PropertyTypeError{name, "number " + value.dump() + " is out of range"};
}
} // namespace manifestdetail

/// Reads entry[name] as T, or returns fallback when the entry has no such member.
/// A member of the wrong JSON type (null included) raises PropertyTypeError, and so does,
/// for a numeric T, a boolean or a number that T cannot hold.
template <typename T> T readProperty(const nlohmann::json& entry, const char* name, T fallback)
{
    if (!entry.contains(name))
        return fallback;
    const nlohmann::json& value = entry.at(name);
    if constexpr (std::is_arithmetic_v<T> && !std::is_same_v<T, bool>)
        manifestdetail::checkNumber<T>(value, name);
    try
    {
        return value.get<T>();
    }
    catch (const nlohmann::json::exception& error)
    {
        throw PropertyTypeError{name, error.what()};
    }
}

/// Tells whether path names a regular file (or a link to one). Directories, devices and
/// pipes are not files the loaders can read: reading a directory throws from inside the
/// stream, and some of the media library's readers never return from one.
bool isRegularFile(const std::string& path);

/// The whole of the file at path; ok tells whether it could be read (an empty result may be an
/// empty file).
std::string readFile(const std::string& path, bool& ok);

/// Tells whether the header of the sound file at path is one the audio library can take
/// without harm: one to eight channels, at most 384000 samples a second, and no more samples
/// than a file of its size could hold (at most 32 for every byte, far beyond what any
/// compressed format reaches). The sound buffer and the music stream allocate what the header
/// says before reading a sample, and the music divides by its channel count, so a damaged
/// header would otherwise ask for gigabytes or stop the program. A WAV whose "data" chunk comes
/// before its "fmt " chunk is refused unopened: the library's reader would divide by zero. False
/// also when the file cannot be opened as sound at all.
bool plausibleSoundFile(const std::string& path);

/// Opens path and reads one JSON value from it with stream extraction.
/// If path is not a regular file or cannot be opened, writes "<component>: Unable to open
/// file <path>." and sets opened to false. If parsing fails, writes "<component>: Error
/// while parsing JSON." and the JSON library's message, and returns what the parser had
/// built before the error (null when it broke before the first value). A read error of the
/// file itself writes "<component>: Error while reading file <path>: <reason>" and is
/// treated like a parse error. When complete is given, it is set to whether the whole value
/// was read without an error.
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

/// Makes sure SFML's error stream exists, routes it through a buffer that threads can
/// silence one by one (QuietSfmlErrors) and returns true. A static object defined after a
/// call of this (in the same file) is destroyed before the stream, so what its destructor
/// reports (OpenAL and OpenGL objects report failures there) never goes to a dead stream.
bool holdSfmlErrorStream();

/// Whether SFML's error stream goes through that router, so that worker threads may write
/// to it (quietly) while the main thread reports; false while a caller has swapped its buffer.
bool sfmlErrorsThreadSafe();

/// Silences SFML's own error stream for the calling thread while it lives. The registries
/// report a failed asset load with one line of their own, so SFML's longer message would
/// only repeat it.
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
