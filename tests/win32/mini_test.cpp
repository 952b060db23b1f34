#include "mini_test.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <vector>

namespace mirunea::test {

namespace {

struct RegisteredTest
{
    const char* name;
    TestFunction function;
};

std::vector<RegisteredTest>& registry()
{
    static std::vector<RegisteredTest> tests;
    return tests;
}

std::string g_tag;
int g_failuresInTest = 0;

} // namespace

bool registerTest(const char* name, TestFunction function)
{
    registry().push_back({name, function});
    return true;
}

void reportFailure(const char* file, int line, const std::string& message)
{
    ++g_failuresInTest;
    const std::string tag = g_tag.empty() ? std::string() : "[" + g_tag + "] ";
    std::printf("    FAIL %s%s:%d: %s\n", tag.c_str(), file, line, message.c_str());
    std::fflush(stdout);
}

std::string currentTag()
{
    return g_tag;
}

RowScope::RowScope(std::string tag)
    : m_previous(std::move(g_tag))
{
    g_tag = std::move(tag);
}

RowScope::~RowScope()
{
    g_tag = std::move(m_previous);
}

std::string printable(std::string_view bytes)
{
    std::string out = "\"";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\' && byte != '"') {
            out += c;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        }
    }
    return out + "\"";
}

std::string printable(std::u16string_view text)
{
    std::string out;
    for (const char16_t unit : text) {
        char escaped[12];
        std::snprintf(escaped, sizeof escaped, "%sU+%04X", out.empty() ? "" : " ", static_cast<unsigned>(unit));
        out += escaped;
    }
    return "[" + out + "]";
}

} // namespace mirunea::test

// Runs every test, or those whose name contains the first argument.
int main(int argc, char** argv)
{
    using namespace mirunea::test;
    const char* filter = argc > 1 ? argv[1] : nullptr;
    int failedTests = 0;
    int ranTests = 0;
    for (const RegisteredTest& test : registry()) {
        if (filter && !std::strstr(test.name, filter))
            continue;
        ++ranTests;
        g_failuresInTest = 0;
        g_tag.clear();
        std::printf("RUN  %s\n", test.name);
        std::fflush(stdout);
        try {
            test.function();
        } catch (const RequireFailed&) {
        } catch (const std::exception& e) {
            reportFailure(test.name, 0, std::string("unexpected exception: ") + e.what());
        }
        std::printf("%s %s\n", g_failuresInTest ? "FAIL" : "PASS", test.name);
        if (g_failuresInTest)
            ++failedTests;
    }
    std::printf("%d of %d tests failed\n", failedTests, ranTests);
    return failedTests == 0 && ranTests > 0 ? 0 : 1;
}
