#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

// A file in the working directory replaced as a whole: the bytes go into a new
// file beside it under a temporary name, created exclusively and never through
// a link, and only once they are all written and flushed is it renamed over
// the target. A link someone placed under the target's name is replaced, not
// written through, and a failure at any point leaves the previous file whole.
// Failures throw IoFailure with a Windows system error code.
namespace mirunea {

class ReplacingFile
{
public:
    // targetName: a plain name in the working directory (no folder part).
    [[nodiscard]] static ReplacingFile create(const std::string& targetName);

    ReplacingFile(ReplacingFile&& other) noexcept;
    ReplacingFile& operator=(ReplacingFile&&) = delete;
    ReplacingFile(const ReplacingFile&) = delete;
    ~ReplacingFile(); // not committed: closes and removes the temporary file

    void write(std::string_view bytes); // all bytes, or throws
    // Flushes, closes and renames over the target. On failure the temporary
    // file is removed and the target is as it was.
    void commit();

    [[nodiscard]] const std::string& temporaryName() const { return m_temporaryName; }

private:
    ReplacingFile(std::intptr_t handle, std::string targetName, std::string temporaryName)
        : m_handle(handle)
        , m_targetName(std::move(targetName))
        , m_temporaryName(std::move(temporaryName))
    {
    }
    void discard() noexcept;

    std::intptr_t m_handle;
    std::string m_targetName;
    std::string m_temporaryName; // empty once renamed or removed
};

// The steps as the output writer reaches them; a test derives from it to make
// a write or the commit fail on any machine.
class ReplacingFileLayer
{
public:
    virtual ~ReplacingFileLayer() = default;

    [[nodiscard]] virtual ReplacingFile create(const std::string& targetName)
    {
        return ReplacingFile::create(targetName);
    }
    virtual void write(ReplacingFile& file, std::string_view bytes) { file.write(bytes); }
    virtual void commit(ReplacingFile& file) { file.commit(); }
};

// The temporary name for a target: hidden on POSIX, recognisable, unlikely to
// be taken; the creation picks another salt if it is.
[[nodiscard]] inline std::string temporaryNameBeside(const std::string& targetName, std::uint64_t salt)
{
    constexpr std::string_view kDigits = "0123456789abcdef";
    std::string name = "." + targetName + ".";
    for (int shift = 60; shift >= 0; shift -= 4)
        name += kDigits[(salt >> shift) & 0xF];
    return name + ".tmp";
}

} // namespace mirunea
