// Whatever leaves an event handler is reported in the error box and nothing
// reaches the event loop: I/O failures, memory really exhausted, any other
// exception, and a report that itself fails.
#include "app/cp932.h"
#include "app/failure_report.h"
#include "app/io_failure.h"
#include "app/toolkit.h"

#include <QTest>

#include <new>
#include <stdexcept>
#include <vector>

#include <sys/resource.h>

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

class FailureReportTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyExceptionIsReported();
#ifndef MIRUNEA_SANITIZED
    void exhaustedMemoryUnderALimitIsReportedAsCode8();
#endif
    void aFailingReportEndsQuietly();
};

void FailureReportTest::everyExceptionIsReported()
{
    RecordingApplication app;
    deliverEvent(app, [] { throw IoFailure(2); });
    deliverEvent(app, [] { throw std::bad_alloc(); });
    deliverEvent(app, [] { throw std::runtime_error("iconv cannot convert"); });
    deliverEvent(app, [] { throw 42; });
    deliverEvent(app, [] {});
    const std::vector<std::string> expected{box("ファイルが見つかりません."), box("I/O エラー (8)"),
                                            box("I/O エラー (1359)"), box("I/O エラー (1359)")};
    QCOMPARE(app.boxes, expected);
}

#ifndef MIRUNEA_SANITIZED
// A real allocation past a 1 GB address-space limit.
void FailureReportTest::exhaustedMemoryUnderALimitIsReportedAsCode8()
{
    rlimit previous{};
    QVERIFY(::getrlimit(RLIMIT_AS, &previous) == 0);
    rlimit limited = previous;
    limited.rlim_cur = rlim_t(1) << 30;
    QVERIFY(::setrlimit(RLIMIT_AS, &limited) == 0);
    RecordingApplication app;
    deliverEvent(app, [] {
        std::vector<char> huge(std::size_t(3) << 30, 'x');
        QVERIFY(huge.back() == 'x');
    });
    QVERIFY(::setrlimit(RLIMIT_AS, &previous) == 0);
    QCOMPARE(app.boxes, std::vector<std::string>{box("I/O エラー (8)")});
}
#endif

void FailureReportTest::aFailingReportEndsQuietly()
{
    RecordingApplication app;
    app.failBoxes = true;
    deliverEvent(app, [] { throw IoFailure(5); });
    deliverEvent(app, [] { throw std::bad_alloc(); });
    deliverEvent(app, [] { throw std::logic_error("x"); });
    app.failBoxes = false;
    deliverEvent(app, [] { throw IoFailure(32); });
    QCOMPARE(app.boxes, std::vector<std::string>{box("I/O エラー (32)")});
}

QTEST_GUILESS_MAIN(FailureReportTest)
#include "tst_failure_report.moc"
