#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

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

// A file created or replaced for writing that admits other readers only. The
// creation fails with 32 while another program of ours holds the file, with 5
// for a read-only file, a folder or a link of that name, or a folder that
// does not allow writing; an existing file is emptied only once the creation
// has succeeded.
class SharedWriteFile
{
public:
    [[nodiscard]] static SharedWriteFile create(const std::string& name);

    SharedWriteFile(SharedWriteFile&& other) noexcept;
    SharedWriteFile& operator=(SharedWriteFile&&) = delete;
    SharedWriteFile(const SharedWriteFile&) = delete;
    ~SharedWriteFile(); // closes quietly if still open (after a failure)

    void write(std::string_view bytes); // all bytes, or throws
    void close();

private:
    explicit SharedWriteFile(std::intptr_t handle)
        : m_handle(handle)
    {
    }
    std::intptr_t m_handle;
};

// The writing half as the answer writer reaches it. The program uses this
// class as it is, which forwards to SharedWriteFile; a test derives from it to
// make the creation, a write or the close fail on demand (a full disk, a close
// that reports a lost write) on any machine.
class WriteFileLayer
{
public:
    virtual ~WriteFileLayer() = default;

    [[nodiscard]] virtual SharedWriteFile create(const std::string& name) { return SharedWriteFile::create(name); }
    virtual void write(SharedWriteFile& file, std::string_view bytes) { file.write(bytes); }
    virtual void close(SharedWriteFile& file) { file.close(); }
};

} // namespace mirunea
