#include "scenes/SceneTable.hpp"

#include "TestSupport.hpp"
#include "runtime/BeatTables.hpp"

#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <string>
#include <utility>
#include <vector>

using namespace testsupport;

// The chain is written once; everything that follows it reads it from there.
TEST(SceneTableTest, TheChainHandsOverInOrderAndEndsTheDemo)
{
    const SceneTable& chain = demoScenes();
    ASSERT_FALSE(chain.empty());
    EXPECT_EQ(chain.front().id, 0);
    for (std::size_t i = 0; i + 1 < chain.size(); ++i)
        EXPECT_EQ(nextScene(chain[i].id), chain[i + 1].id) << "after scene " << chain[i].id;
    EXPECT_EQ(nextScene(chain.back().id), endOfDemo);
    EXPECT_EQ(nextScene(14), 14) << "an id outside the chain stays where it is";
    for (const SceneEntry& entry : chain)
    {
        EXPECT_TRUE(entry.update && entry.draw) << entry.id;
        EXPECT_STREQ(sceneName(entry.id), entry.name);
    }
    EXPECT_STREQ(sceneName(666), "");

    // Every scene after the two timed ones runs on a beat schedule.
    for (std::size_t i = 0; i < chain.size(); ++i)
        EXPECT_EQ(findSchedule(chain[i].id) != nullptr, i >= 2) << chain[i].id;
    EXPECT_EQ(beatSchedules().size(), chain.size() - 2);
}

TEST(SceneTableTest, TheReadmeListsTheScenesOfTheChain)
{
    std::ifstream readme(sourcePath("README.md"));
    ASSERT_TRUE(readme.is_open());
    // The rows of the scene table: "| id | name | length | on screen |".
    const std::regex row(R"(^\| (\d+) \| ([^|]+?) \| [^|]+ \| [^|]+ \|$)");
    std::vector<std::pair<SceneId, std::string>> listed;
    bool inScenes = false;
    for (std::string line; std::getline(readme, line);)
    {
        if (line.rfind("## ", 0) == 0)
            inScenes = line == "## The scenes";
        std::smatch match;
        if (inScenes && std::regex_match(line, match, row))
            listed.emplace_back(std::stoi(match[1]), match[2]);
    }
    std::vector<std::pair<SceneId, std::string>> chain;
    for (const SceneEntry& entry : demoScenes())
        chain.emplace_back(entry.id, entry.name);
    EXPECT_EQ(listed, chain);
}
