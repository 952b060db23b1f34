#include "app/platform/posix/samba_config.h"

#include "app/platform/posix/descriptor.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mirunea {

namespace {

constexpr std::string_view kBlanks = " \t\r\f\v";

[[nodiscard]] std::string_view trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// Samba compares names of settings and sections ignoring case and blanks:
// "netbios name", "NetBIOS Name" and "netbiosname" are one setting.
[[nodiscard]] bool sameName(std::string_view text, std::string_view name)
{
    std::string squeezed;
    for (const char c : text) {
        if (kBlanks.find(c) == std::string_view::npos)
            squeezed += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return squeezed == name;
}

// The next line with its continuations: a line whose last character
// (blanks aside) is "\" goes on with the next one.
[[nodiscard]] std::string nextLogicalLine(std::string_view& text)
{
    std::string line;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view physical = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        physical = physical.substr(0, physical.find_last_not_of(kBlanks) + 1);
        if (physical.empty() || physical.back() != '\\') {
            line += physical;
            break;
        }
        physical.remove_suffix(1);
        line += physical;
    }
    return line;
}

} // namespace

// Lines beginning with "#" or ";" are comments; "[global]" (or "[globals]")
// opens the global section, any other "[name]" a share, whose settings are
// not the PC's. Settings before the first section are global. The last
// "netbios name" wins; double quotes around it are dropped. "include" lines
// are not followed.
std::string netBiosNameInSambaConfig(std::string_view configText)
{
    std::string name;
    bool inGlobalSection = true;
    while (!configText.empty()) {
        const std::string logical = nextLogicalLine(configText);
        const std::string_view line = trimmed(logical);
        if (line.empty() || line.front() == '#' || line.front() == ';')
            continue;
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            const std::string_view section = close == std::string_view::npos ? std::string_view()
                                                                             : line.substr(1, close - 1);
            inGlobalSection = sameName(section, "global") || sameName(section, "globals");
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inGlobalSection || equals == std::string_view::npos || !sameName(line.substr(0, equals), "netbiosname"))
            continue;
        std::string_view value = trimmed(line.substr(equals + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        name = value;
    }
    return name;
}

std::string sambaConfigText(const char* path)
{
    // O_NONBLOCK: opening a FIFO for reading returns at once; it is then
    // refused as no regular file.
    const Descriptor file(::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    struct stat status
    {
    };
    if (file.get() < 0 || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return {};
    std::string text(kMaxSambaConfigBytes + 1, '\0');
    std::size_t filled = 0;
    while (filled < text.size()) {
        const ssize_t count = ::read(file.get(), text.data() + filled, text.size() - filled);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return {};
        if (count == 0)
            break;
        filled += static_cast<std::size_t>(count);
    }
    text.resize(filled);
    if (filled > kMaxSambaConfigBytes) {
        // Cut to the lines that fit whole: a line cut short could name another PC.
        const std::size_t lastBreak = text.rfind('\n', kMaxSambaConfigBytes - 1);
        text.resize(lastBreak == std::string::npos ? 0 : lastBreak + 1);
    }
    return text;
}

} // namespace mirunea
