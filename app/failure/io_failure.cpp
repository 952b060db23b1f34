#include "app/failure/io_failure.h"

#include "app/failure/windows_error_codes.h"
#include "app/text/cp932.h"

#include <array>
#include <string>
#include <string_view>

namespace mirunea {

namespace {

struct MessageRow
{
    int code;
    std::string_view utf8Text;
};

// Searched in this order; the first matching row wins.
constexpr std::array kMessageTable{
    MessageRow{win32::kFileNotFound, "ファイルが見つかりません"},
    MessageRow{win32::kPathNotFound, "不正なファイル名です"},
    MessageRow{win32::kTooManyOpenFiles, "オープンしたファイルが多すぎます"},
    MessageRow{win32::kAccessDenied, "ファイルへのアクセスが拒否されました"},
    MessageRow{win32::kReadPastEnd, "ファイルの末尾以降を読み込みました"},
    MessageRow{win32::kDiskFullLegacy, "ディスクがいっぱいです"},
    MessageRow{win32::kInvalidNumber, "入力値が数値ではありません"},
};

} // namespace

std::string ioFailureMessage(int code)
{
    for (const MessageRow& row : kMessageTable) {
        if (row.code == code)
            return cp932::fromUtf8(row.utf8Text);
    }
    return cp932::fromUtf8("I/O エラー (" + std::to_string(code) + ")");
}

IoFailure::IoFailure(int code)
    : m_code(code)
    , m_message(ioFailureMessage(code))
{
}

} // namespace mirunea
