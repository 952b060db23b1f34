#pragma once

#include <exception>
#include <string>

namespace mirunea {

// The one failure of the program: a file operation that failed, with the
// Windows system error code of the call and the message the user is shown.
class IoFailure : public std::exception
{
public:
    explicit IoFailure(int code);

    [[nodiscard]] int code() const noexcept { return m_code; }
    // Shift-JIS bytes, from the message table.
    [[nodiscard]] const std::string& message() const noexcept { return m_message; }
    [[nodiscard]] const char* what() const noexcept override { return m_message.c_str(); }

private:
    int m_code;
    std::string m_message;
};

// The message table: Shift-JIS text for a Windows system error code.
[[nodiscard]] std::string ioFailureMessage(int code);

} // namespace mirunea
