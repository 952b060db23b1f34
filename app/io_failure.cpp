#include "app/io_failure.h"

#include "app/cp932.h"

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
    MessageRow{2, "ファイルが見つかりません"},
    MessageRow{3, "不正なファイル名です"},
    MessageRow{4, "オープンしたファイルが多すぎます"},
    MessageRow{5, "ファイルへのアクセスが拒否されました"},
    MessageRow{100, "ファイルの末尾以降を読み込みました"},
    MessageRow{101, "ディスクがいっぱいです"},
    MessageRow{106, "入力値が数値ではありません"},
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
