// The questionnaire reader at its 64 MiB bound, through real files: the first
// input byte picks the case.
//   even: the input is written, then appended to again and again by a second
//         thread while the reader reads (a file that grows past the bound);
//         the read ends, with a questionnaire or with 223, never otherwise.
//   odd:  a file of exactly the bound whose last byte is a lead byte (the
//         input, after a hole, ends in the middle of a double-byte
//         character): it reads; one byte more, and it reads or fails with 223.
#include "app/failure/io_failure.h"
#include "questionnaire/line_reader.h"
#include "questionnaire/questionnaire_reader.h"
#include "scratch_file.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::size_t kBound = mirunea::LineReader::kMaxFileBytes;

using mirunea::fuzz::scratchFile;

void writeAll(int fd, const std::uint8_t* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written <= 0)
            std::abort();
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

// The read's outcome: 0 for a questionnaire, else the failure's code.
int readCode()
{
    try {
        (void)mirunea::readQuestionnaireFile(scratchFile());
        return 0;
    } catch (const mirunea::IoFailure& failure) {
        return failure.code();
    }
}

void growingFile(const std::uint8_t* data, std::size_t size)
{
    const int fd = ::open(scratchFile(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND, 0644);
    if (fd < 0)
        std::abort();
    writeAll(fd, data, size);
    std::atomic<bool> done = false;
    std::thread grower([&] {
        // Up to twice the bound, in pieces of the input (at least 4 KiB each).
        std::string piece(reinterpret_cast<const char*>(data), size);
        while (piece.size() < 4096)
            piece += piece.empty() ? std::string(4096, 'x') : piece;
        for (std::size_t total = size; !done && total < 2 * kBound; total += piece.size())
            writeAll(fd, reinterpret_cast<const std::uint8_t*>(piece.data()), piece.size());
    });
    const int code = readCode();
    done = true;
    grower.join();
    ::close(fd);
    if (code != 0 && code != 223)
        std::abort();
}

void endsInsideADoubleByteCharacterAtTheBound(const std::uint8_t* data, std::size_t size)
{
    const int fd = ::open(scratchFile(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        std::abort();
    // A hole, then the input, then a lead byte as the bound's last byte.
    if (::ftruncate(fd, static_cast<off_t>(kBound - size - 1)) != 0 || ::lseek(fd, 0, SEEK_END) < 0)
        std::abort();
    writeAll(fd, data, size);
    const std::uint8_t lead = 0x81;
    writeAll(fd, &lead, 1);
    if (readCode() != 0)
        std::abort();
    const std::uint8_t trail = 0x40;
    writeAll(fd, &trail, 1);
    ::close(fd);
    const int code = readCode();
    if (code != 0 && code != 223)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0 || size > 65536)
        return 0;
    if ((data[0] & 1) == 0)
        growingFile(data + 1, size - 1);
    else
        endsInsideADoubleByteCharacterAtTheBound(data + 1, size - 1);
    return 0;
}
