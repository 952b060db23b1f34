#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

// The small file layer under the questionnaire reader and the answer writer.
// Names are relative to the working directory; every failure throws IoFailure
// with a Windows system error code.
namespace mirunea {

// An existing file opened for reading that admits other readers only: the open
// fails with 32 while another program of ours holds the file for writing.
class SharedReadFile
{
public:
    [[nodiscard]] static SharedReadFile open(const std::string& name);

    SharedReadFile(SharedReadFile&& other) noexcept;
    SharedReadFile& operator=(SharedReadFile&&) = delete;
    SharedReadFile(const SharedReadFile&) = delete;
    ~SharedReadFile(); // closes quietly if still open (after a failure)

    // Reads up to size bytes; returns 0 only at the end of the file.
    [[nodiscard]] std::size_t read(char* buffer, std::size_t size);
    void close();

private:
    explicit SharedReadFile(std::intptr_t handle)
        : m_handle(handle)
    {
    }
    std::intptr_t m_handle;
};

// A file replaced as a whole for writing, admitting other readers only. The
// bytes go into a file beside it, named "<name>.sending", and only once all
// of them are written and that file is closed does it take the name's place:
// a reader of the folder finds the previous file or the new one, never a part,
// and a failed send leaves the previous file as it was.
//
// The creation checks the file of that name first and fails, before anything
// is written, with 32 while another program of ours holds it, with 5 for a
// read-only file, a folder, a link or a file with a second name (a hard link),
// and with 5 for a folder that does not allow writing. The name stays held
// against other writers until the replacement. A "<name>.sending" left by a
// killed send is taken over; one held by a send still running gives 32.
class SharedWriteFile
{
public:
    [[nodiscard]] static SharedWriteFile create(const std::string& name);

    SharedWriteFile(SharedWriteFile&& other) noexcept;
    SharedWriteFile& operator=(SharedWriteFile&&) = delete;
    SharedWriteFile(const SharedWriteFile&) = delete;
    // Not replaced yet (after a failure): closes quietly, removes the
    // "<name>.sending" file and lets the name go, the previous file untouched.
    ~SharedWriteFile();

    void write(std::string_view bytes); // all bytes, or throws
    // Flushes and closes the written file; a lost write is reported here.
    void close();
    // Puts the closed file in the name's place.
    void replace();

    [[nodiscard]] static std::string sendingName(const std::string& name) { return name + ".sending"; }

private:
    SharedWriteFile(std::intptr_t held, std::intptr_t written, std::string name)
        : m_held(held)
        , m_written(written)
        , m_name(std::move(name))
    {
    }
    void discard() noexcept;

    std::intptr_t m_held;    // the name's present file, if any, held against writers
    std::intptr_t m_written; // the "<name>.sending" file (where the platform can, held past the close)
    std::string m_name;      // empty once replaced or discarded
};

// The writing half as the answer writer reaches it. The program uses this
// class as it is, which forwards to SharedWriteFile; a test derives from it to
// make the creation, a write, the close or the replacement fail on demand (a
// full disk, a close that reports a lost write, a share that drops) on any
// machine.
class WriteFileLayer
{
public:
    virtual ~WriteFileLayer() = default;

    [[nodiscard]] virtual SharedWriteFile create(const std::string& name) { return SharedWriteFile::create(name); }
    virtual void write(SharedWriteFile& file, std::string_view bytes) { file.write(bytes); }
    virtual void close(SharedWriteFile& file) { file.close(); }
    virtual void replace(SharedWriteFile& file) { file.replace(); }
};

} // namespace mirunea
