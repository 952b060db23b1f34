#include "temp_folder.h"

#include <windows.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

namespace mirunea::test {

namespace {

std::atomic<unsigned> g_counter{0};

// Read-only, hidden and system attributes would stop the clean-up.
void clearAttributes(const std::filesystem::path& folder)
{
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, error))
        ::SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
}

} // namespace

TempWorkingFolder::TempWorkingFolder()
    : m_previous(std::filesystem::current_path())
{
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path candidate = base
            / ("mirunea-test-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(g_counter++));
        if (std::filesystem::create_directory(candidate)) {
            m_path = candidate;
            std::filesystem::current_path(m_path);
            return;
        }
    }
    throw std::runtime_error("no temporary folder");
}

TempWorkingFolder::~TempWorkingFolder()
{
    std::error_code error;
    std::filesystem::current_path(m_previous, error);
    clearAttributes(m_path);
    std::filesystem::remove_all(m_path, error);
}

void writeFileBytes(const std::string& name, std::string_view bytes)
{
    std::ofstream file(name, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file.flush())
        throw std::runtime_error("cannot write " + name);
}

std::string readFileBytes(const std::string& name)
{
    std::ifstream file(name, std::ios::binary);
    if (!file)
        throw std::runtime_error("cannot read " + name);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool fileExists(const std::string& name)
{
    return ::GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace mirunea::test
