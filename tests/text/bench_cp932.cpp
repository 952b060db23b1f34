// Times code page 932 decoding and encoding of a 50 MB text, and fails when either
// direction takes longer than the limit (5000 ms unless given): a linear walk needs
// well under a second, a quadratic one would never finish.
//   mirunea_bench_cp932 [limit in ms]
#include "app/text/cp932.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace mirunea;

namespace {

long long millisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    const long long limitMs = argc > 1 ? std::atoll(argv[1]) : 5000;
    // Japanese, ASCII, half-width katakana, a CR LF: every branch of the walk.
    const std::string line = "\x83\x41\x83\x93\x83\x50\x81\x5b\x83\x67\x89\xf1\x93\xda ABC 123 \xb1\xb2\xb3\r\n";
    const std::size_t repeats = 50 * 1024 * 1024 / line.size();
    std::string text;
    text.reserve(repeats * line.size());
    for (std::size_t i = 0; i < repeats; ++i)
        text += line;

    auto start = std::chrono::steady_clock::now();
    const std::u16string decoded = cp932::decode(text);
    const long long decodeMs = millisecondsSince(start);
    start = std::chrono::steady_clock::now();
    const std::string encoded = cp932::encode(decoded);
    const long long encodeMs = millisecondsSince(start);

    std::printf("%zu MB: decode %lld ms, encode %lld ms (limit %lld ms each)\n", text.size() / (1024 * 1024), decodeMs,
                encodeMs, limitMs);
    if (encoded != text) {
        std::puts("FAIL: the text did not survive the round trip");
        return 1;
    }
    if (decodeMs > limitMs || encodeMs > limitMs) {
        std::puts("FAIL: slower than the limit");
        return 1;
    }
    return 0;
}
