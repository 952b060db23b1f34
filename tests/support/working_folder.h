#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace mirunea::test {

// A fresh folder made the working directory for the fixture's lifetime, as
// the program runs in the shared folder; removed afterwards with everything
// in it, whatever permissions or attributes a test left on it. By default
// under the system's temporary folder; tests that need a disk holding sparse
// files of terabytes name a base of their own.
class WorkingFolder
{
public:
    WorkingFolder();
    explicit WorkingFolder(const std::filesystem::path& base);
    ~WorkingFolder();
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

    [[nodiscard]] const std::filesystem::path& path() const { return m_path; }
    // The folder's path as the platform's narrow calls take it.
    [[nodiscard]] std::string pathName() const;
    [[nodiscard]] std::string filePath(std::string_view name) const;

private:
    std::filesystem::path m_previous;
    std::filesystem::path m_path;
};

// Files named by their bytes as the platform's narrow calls take them (the
// ANSI code page on Windows, the bytes themselves on POSIX); relative names
// are in the working directory. Throw std::runtime_error when they fail.
void writeFileBytes(const std::string& name, std::string_view bytes);
[[nodiscard]] std::string readFileBytes(const std::string& name);
[[nodiscard]] bool fileExists(const std::string& name);
// head, then a hole up to size bytes in all (a sparse file: no disk used).
void writeSparse(const std::string& name, std::string_view head, std::int64_t size);
// The names in the working directory, sorted, without "." and "..".
[[nodiscard]] std::vector<std::string> entryNames();
// A name inside a folder, joined with the platform's separator.
[[nodiscard]] std::string pathIn(std::string_view folder, std::string_view name);

} // namespace mirunea::test
