#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace mirunea::test {

// A fresh folder under the temporary folder, made the working directory for
// the fixture's lifetime; removed afterwards with everything in it.
class TempWorkingFolder
{
public:
    TempWorkingFolder();
    ~TempWorkingFolder();
    TempWorkingFolder(const TempWorkingFolder&) = delete;
    TempWorkingFolder& operator=(const TempWorkingFolder&) = delete;

    [[nodiscard]] const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_previous;
    std::filesystem::path m_path;
};

void writeFileBytes(const std::string& name, std::string_view bytes);
[[nodiscard]] std::string readFileBytes(const std::string& name);
[[nodiscard]] bool fileExists(const std::string& name);

} // namespace mirunea::test
