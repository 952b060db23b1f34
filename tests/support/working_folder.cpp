#include "working_folder.h"

#ifdef _WIN32
#  include <windows.h>
#  include <winioctl.h>
#else
#  include <cstdlib>
#  include <dirent.h>
#  include <sys/stat.h>
#  include <unistd.h>
#endif

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace mirunea::test {

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
unsigned g_counter = 0;

fs::path makeFolder(const fs::path& base)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate = base
            / ("mirunea-test-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(g_counter++));
        if (fs::create_directory(candidate))
            return candidate;
    }
    throw std::runtime_error("no temporary folder under " + base.string());
}

// Read-only, hidden and system attributes would stop the clean-up.
void makeRemovable(const fs::path& folder)
{
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(folder, error))
        ::SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
}
#else
fs::path makeFolder(const fs::path& base)
{
    std::string name = (base / "mirunea-test-XXXXXX").native();
    if (!::mkdtemp(name.data()))
        throw std::runtime_error("no temporary folder under " + base.native());
    return name;
}

// A folder without write or search permission would keep its entries.
void makeRemovable(const fs::path& folder)
{
    std::error_code error;
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, error);
    for (auto it = fs::recursive_directory_iterator(folder, error); !error && it != fs::recursive_directory_iterator();
         it.increment(error)) {
        if (it->symlink_status(error).type() == fs::file_type::directory)
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
    }
}
#endif

} // namespace

WorkingFolder::WorkingFolder()
    : WorkingFolder(fs::temp_directory_path())
{
}

WorkingFolder::WorkingFolder(const fs::path& base)
    : m_previous(fs::current_path())
    , m_path(makeFolder(base))
{
    fs::current_path(m_path);
}

WorkingFolder::~WorkingFolder()
{
    std::error_code error;
    fs::current_path(m_previous, error);
    makeRemovable(m_path);
    fs::remove_all(m_path, error);
}

std::string WorkingFolder::pathName() const
{
    return m_path.string();
}

std::string WorkingFolder::filePath(std::string_view name) const
{
    return pathIn(pathName(), name);
}

std::string pathIn(std::string_view folder, std::string_view name)
{
#ifdef _WIN32
    constexpr std::string_view kSeparator = "\\";
#else
    constexpr std::string_view kSeparator = "/";
#endif
    return std::string(folder).append(kSeparator).append(name);
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
    // Whole blocks: some tests read files of tens of megabytes.
    std::string bytes;
    char buffer[1 << 16];
    while (file.read(buffer, sizeof buffer) || file.gcount() > 0)
        bytes.append(buffer, static_cast<std::size_t>(file.gcount()));
    return bytes;
}

void writeSparse(const std::string& name, std::string_view head, std::int64_t size)
{
    writeFileBytes(name, head);
#ifdef _WIN32
    const HANDLE file = ::CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot open " + name);
    DWORD ignored = 0;
    // Wine's files are sparse on a Unix disk without being told.
    (void)::DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
    LARGE_INTEGER end{};
    end.QuadPart = size;
    const bool sized = ::SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && ::SetEndOfFile(file);
    ::CloseHandle(file);
#else
    const bool sized = ::truncate(name.c_str(), size) == 0;
#endif
    if (!sized)
        throw std::runtime_error("cannot extend " + name);
}

bool fileExists(const std::string& name)
{
#ifdef _WIN32
    return ::GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES;
#else
    struct stat status
    {
    };
    return ::lstat(name.c_str(), &status) == 0;
#endif
}

std::vector<std::string> entryNames()
{
    std::vector<std::string> names;
#ifdef _WIN32
    WIN32_FIND_DATAA found{};
    const HANDLE search = ::FindFirstFileA("*", &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
#else
    DIR* const folder = ::opendir(".");
    if (!folder)
        throw std::runtime_error("cannot list the working directory");
    while (const dirent* entry = ::readdir(folder)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(folder);
#endif
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace mirunea::test
