#pragma once

#include "app/platform/replacing_file.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace mirunea::tally::report {

// An output that could not be written; what() is a UTF-8 sentence for the
// teacher that names the file and the reason.
class OutputFailure : public std::runtime_error
{
public:
    OutputFailure(const std::string& message, int code)
        : std::runtime_error(message)
        , m_code(code)
    {
    }
    [[nodiscard]] int code() const noexcept { return m_code; } // the Windows system error code

private:
    int m_code;
};

// Writes the bytes under a plain name in the working directory, replacing a
// previous file as a whole (ReplacingFile): never through a link placed under
// that name, never outside the folder, and a failed write leaves the previous
// file whole. Throws OutputFailure.
void writeOutputFile(const std::string& name, std::string_view bytes);
void writeOutputFile(const std::string& name, std::string_view bytes, ReplacingFileLayer& layer);

} // namespace mirunea::tally::report
