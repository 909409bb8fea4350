#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace testsupport
{
/// Path of a fixture file under tests/data/, and of a file in the source tree ("assets/textures.json").
std::string dataPath(const std::string& name);
std::string sourcePath(const std::string& name);

/// Runs action and returns everything it wrote on standard error.
std::string captureStderr(const std::function<void()>& action);

/// Splits text into lines, without their line ends.
std::vector<std::string> lines(const std::string& text);

/// A fresh, empty directory that is removed with everything in it when the object dies.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return root; }

    /// Writes text to the file name inside the directory (creating sub-folders) and returns its path.
    std::string write(const std::string& name, const std::string& text) const;

private:
    std::filesystem::path root;
};

/// Makes dir the working directory until the object dies, then restores the previous one.
class WorkingDirectory
{
public:
    explicit WorkingDirectory(const std::filesystem::path& dir) : previous(std::filesystem::current_path())
    {
        std::filesystem::current_path(dir);
    }
    ~WorkingDirectory() { std::filesystem::current_path(previous); }
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

private:
    std::filesystem::path previous;
};
} // namespace testsupport
