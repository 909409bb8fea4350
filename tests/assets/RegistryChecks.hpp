#pragma once
// What the registry tests share: the lines a load writes, the registries that hang together,
// and tables of files loaded with what they must report.

#include "TestSupport.hpp"
#include "assets/ParticleManager.hpp"
#include "assets/SpriteManager.hpp"
#include "assets/TextureManager.hpp"

#include <gtest/gtest.h>

namespace registrychecks
{
using Lines = std::vector<std::string>;

inline Lines errorLines(const std::function<void()>& action)
{
    return testsupport::lines(testsupport::captureStderr(action));
}

/// One line written per expected line, each beginning with it: some of ours end in the JSON
/// library's own wording, which is not ours to pin down.
inline void expectLines(const Lines& written, const Lines& expected)
{
    ASSERT_EQ(written.size(), expected.size()) << testing::PrintToString(written);
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(written[i].rfind(expected[i], 0), 0u) << written[i] << "\nexpected: " << expected[i];
}

/// Whether registry loads the manifest at path without a word.
template <typename Registry> bool loadsQuietly(Registry& registry, const std::string& path)
{
    bool loaded = false;
    return errorLines([&] { loaded = registry.load(path); }).empty() && loaded;
}

inline std::string skipped(const std::string& component, const std::string& key, const std::string& property,
                           const std::string& why = "")
{
    return component + ": Entry [" + key + "] skipped, property " + property + " has the wrong type: " + why;
}

/// The registries a particle system depends on, empty until loaded.
struct RegistryChain
{
    TextureManager textures;
    SpriteManager sprites{textures};
    ParticleManager particles{sprites};
};

/// A file given to load, which checks what the registries kept, and the lines it must write.
struct LoadCase
{
    const char* name;
    std::string source; ///< the file's text, or "@" and a path under tests/data/
    std::function<void(const std::string& path)> load;
    Lines expected;
};

inline void checkLoads(const std::vector<LoadCase>& cases)
{
    testsupport::TempDir temp;
    for (const LoadCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        const bool fixture = c.source.rfind('@', 0) == 0;
        const std::string path =
            fixture ? testsupport::dataPath(c.source.substr(1)) : temp.write("f.json", c.source);
        expectLines(errorLines([&] { c.load(path); }), c.expected);
    }
}
} // namespace registrychecks
