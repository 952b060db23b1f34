#include "tally/report/output_file.h"

#include "app/failure/io_failure.h"
#include "app/failure/windows_error_codes.h"
#include "app/text/cp932.h"

namespace mirunea::tally::report {

namespace {

// The folder is the only place the tool writes: a name with a folder part
// (either slash, a drive) or a name that is the folder itself is refused
// before anything touches the disk.
bool isPlainName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".."
        && name.find_first_of(std::string_view("/\\:\0", 4)) == std::string_view::npos;
}

// The name as a message can carry it: a zero byte would end the text early.
std::string shownName(std::string name)
{
    for (char& c : name) {
        if (c == '\0')
            c = '?';
    }
    return name;
}

// Windows refuses to replace a file another program holds open: Excel keeps
// the CSV it shows open, which is the likeliest cause by far.
std::string_view hintFor(int code)
{
    if (code == win32::kAccessDenied || code == win32::kSharingViolation)
        return "ファイルを Excel などで開いているときは、閉じてからもう一度実行してください。";
    return {};
}

[[noreturn]] void fail(const std::string& name, std::string_view reason, int code)
{
    throw OutputFailure(shownName(name) + " を書き込めませんでした（" + std::string(reason)
                            + "）。前に書いたファイルがあれば、そのまま残っています。" + std::string(hintFor(code)),
                        code);
}

} // namespace

void writeOutputFile(const std::string& name, std::string_view bytes)
{
    ReplacingFileLayer layer;
    writeOutputFile(name, bytes, layer);
}

void writeOutputFile(const std::string& name, std::string_view bytes, ReplacingFileLayer& layer)
{
    if (!isPlainName(name))
        fail(name, "フォルダーの外には書き込みません", 0);
    try {
        ReplacingFile file = layer.create(name);
        layer.write(file, bytes);
        layer.commit(file);
    } catch (const IoFailure& failure) {
        fail(name, cp932::toUtf8(failure.message()), failure.code());
    }
}

} // namespace mirunea::tally::report
