// Whatever leaves an event handler is reported in the error box and nothing
// reaches the event loop: I/O failures, memory really exhausted, any other
// exception, and a report that itself fails. Natively and under Wine.
#include "app/failure/io_failure.h"
#include "app/text/cp932.h"
#include "app/toolkit/failure_report.h"
#include "app/toolkit/toolkit.h"

#include "printable.h"

#include <doctest/doctest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#ifndef _WIN32
#  include <sys/resource.h>
#endif

using namespace mirunea;

namespace {

// Records the error boxes; can be told to fail while showing one.
class RecordingApplication : public toolkit::Application
{
public:
    void setTitle(const std::string& title) override { m_title = title; }
    [[nodiscard]] const std::string& title() const override { return m_title; }
    std::unique_ptr<toolkit::Window> createWindow(const toolkit::WindowSpec&) override { return nullptr; }
    void run(toolkit::Window&) override { }
    void showErrorBox(const std::string& caption, const std::string& text) override
    {
        if (failBoxes)
            throw std::bad_alloc();
        boxes.push_back(caption + "|" + text);
    }
    void showMessageDialog(const std::string&, const std::string&) override { }
    void releaseMouseCapture() override { }

    std::vector<std::string> boxes;
    bool failBoxes = false;

private:
    std::string m_title = "T";
};

std::string box(const char* utf8)
{
    return "T|" + cp932::fromUtf8(utf8);
}

} // namespace

[[nodiscard]] static std::string printableBoxes(const std::vector<std::string>& boxes)
{
    std::string out;
    for (const std::string& text : boxes)
        out += mirunea::test::printable(text) + "\n";
    return out;
}

TEST_CASE("every exception that leaves a handler is reported")
{
    RecordingApplication app;
    deliverEvent(app, [] { throw IoFailure(2); });
    deliverEvent(app, [] { throw std::bad_alloc(); });
    deliverEvent(app, [] { throw std::runtime_error("iconv cannot convert"); });
    deliverEvent(app, [] { throw 42; });
    deliverEvent(app, [] { throw IoFailure(32); });
    deliverEvent(app, [] {});
    const std::vector<std::string> expected{box("ファイルが見つかりません."), box("I/O エラー (8)"),
                                            box("I/O エラー (1359)"), box("I/O エラー (1359)"), box("I/O エラー (32)")};
    CHECK(printableBoxes(app.boxes) == printableBoxes(expected));
}

#if !defined(_WIN32) && !defined(MIRUNEA_SANITIZED)
// A real allocation past a 1 GB address-space limit (POSIX: a process limit;
// the sanitizers' shadow memory alone is larger).
TEST_CASE("memory exhausted under an address-space limit is reported as code 8")
{
    rlimit previous{};
    REQUIRE(::getrlimit(RLIMIT_AS, &previous) == 0);
    rlimit limited = previous;
    limited.rlim_cur = rlim_t(1) << 30;
    REQUIRE(::setrlimit(RLIMIT_AS, &limited) == 0);
    RecordingApplication app;
    deliverEvent(app, [] {
        std::vector<char> huge(std::size_t(3) << 30, 'x');
        CHECK(huge.back() == 'x');
    });
    REQUIRE(::setrlimit(RLIMIT_AS, &previous) == 0);
    CHECK(printableBoxes(app.boxes) == printableBoxes({box("I/O エラー (8)")}));
}
#endif

TEST_CASE("a report that itself fails ends quietly")
{
    RecordingApplication app;
    app.failBoxes = true;
    deliverEvent(app, [] { throw IoFailure(5); });
    deliverEvent(app, [] { throw std::bad_alloc(); });
    deliverEvent(app, [] { throw std::logic_error("x"); });
    app.failBoxes = false;
    deliverEvent(app, [] { throw IoFailure(32); });
    CHECK(printableBoxes(app.boxes) == printableBoxes({box("I/O エラー (32)")}));
}
