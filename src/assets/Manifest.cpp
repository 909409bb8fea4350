#include "assets/Manifest.hpp"

#include <SFML/Audio/InputSoundFile.hpp>
#include <SFML/System/Err.hpp>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <mutex>
#include <sstream>
#include <streambuf>

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

std::string readFile(const std::string& path, bool& ok)
{
    std::ifstream stream(path, std::ios::binary);
    std::ostringstream text;
    text << stream.rdbuf();
    ok = static_cast<bool>(stream);
    return text.str();
}

namespace
{
/// For a WAV file: whether its "fmt " chunk comes before its "data" chunk, walking the chunks as
/// the library's reader does. The reader divides the data's size by the sample size that chunk
/// gives, which is zero until it has read one. A file that is not a WAV passes.
bool wavFormatFirst(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    char head[12];
    if (!file.read(head, 12) || std::string(head, 4) != "RIFF" || std::string(head + 8, 4) != "WAVE")
        return true;
    while (file.read(head, 8))
    {
        const std::string id(head, 4);
        if (id == "fmt ")
            return true;
        if (id == "data")
            return false;
        std::uint32_t size = 0;
        for (int i = 3; i >= 0; --i)
            size = size << 8 | static_cast<unsigned char>(head[4 + i]);
        file.seekg(size, std::ios::cur);
    }
    return false;
}
} // namespace

bool plausibleSoundFile(const std::string& path)
{
    sf::InputSoundFile file;
    if (!wavFormatFirst(path) || !file.openFromFile(path))
        return false;
    std::error_code error;
    const auto bytes = std::filesystem::file_size(path, error);
    const unsigned int channels = file.getChannelCount();
    const unsigned int rate = file.getSampleRate();
    return !error && channels >= 1 && channels <= 8 && rate >= 1 && rate <= 384000 &&
           file.getSampleCount() / 32 <= bytes;
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

namespace
{
// Quiet sections open on this thread.
thread_local int quietDepth = 0;

/// Stands between SFML's error stream and the buffer it had: what a thread writes while it
/// is quiet is dropped, the rest is handed on, one thread at a time. It lets picture decoding
/// run on worker threads, quiet for their whole life, while the main thread reports as ever.
class ErrorRouter : public std::streambuf
{
public:
    std::streambuf* original = nullptr;

protected:
    int overflow(int character) override
    {
        if (quietDepth > 0 || character == traits_type::eof())
            return traits_type::not_eof(character);
        const std::lock_guard<std::mutex> lock(mutex);
        return original ? original->sputc(static_cast<char>(character)) : traits_type::eof();
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override
    {
        if (quietDepth > 0)
            return count;
        const std::lock_guard<std::mutex> lock(mutex);
        return original ? original->sputn(text, count) : 0;
    }
    int sync() override
    {
        if (quietDepth > 0)
            return 0;
        const std::lock_guard<std::mutex> lock(mutex);
        return original ? original->pubsync() : 0;
    }

private:
    std::mutex mutex;
};

ErrorRouter& errorRouter()
{
    static ErrorRouter router;
    return router;
}
} // namespace

bool holdSfmlErrorStream()
{
    ErrorRouter& router = errorRouter();
    if (sf::err().rdbuf() != &router)
        router.original = sf::err().rdbuf(&router);
    return true;
}

bool sfmlErrorsThreadSafe()
{
    return sf::err().rdbuf() == &errorRouter();
}

QuietSfmlErrors::QuietSfmlErrors() : saved(nullptr)
{
    // Through the router only this thread is silenced; a stream that was given another
    // buffer (a test capturing the messages) is silenced as a whole.
    if (sfmlErrorsThreadSafe())
        ++quietDepth;
    else
        saved = sf::err().rdbuf(nullptr);
}

QuietSfmlErrors::~QuietSfmlErrors()
{
    if (saved == nullptr && sfmlErrorsThreadSafe())
    {
        --quietDepth;
        return;
    }
    sf::err().rdbuf(saved);
    sf::err().clear();
}
