#include "TestSupport.hpp"

#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sstream>

namespace testsupport
{
std::string dataPath(const std::string& name)
{
    return std::string(FLUMBADOO_TEST_DATA) + "/" + name;
}

std::string sourcePath(const std::string& name)
{
    return std::string(FLUMBADOO_SOURCE_DIR) + "/" + name;
}

std::string captureStderr(const std::function<void()>& action)
{
    testing::internal::CaptureStderr();
    action();
    return testing::internal::GetCapturedStderr();
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        result.push_back(line);
    return result;
}

TempDir::TempDir()
    : root(std::filesystem::temp_directory_path() /
           ("flumbadoo-test-" + std::to_string(std::random_device()())))
{
    std::filesystem::create_directories(root);
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

std::string TempDir::write(const std::string& name, const std::string& text) const
{
    const std::filesystem::path file = root / name;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
    return file.string();
}
} // namespace testsupport
