// POSIX errno values to the Windows codes the user is shown.
#include "app/io_failure.h"
#include "app/platform/posix/windows_error_code.h"

#include <QTest>

#include <cerrno>

using namespace mirunea;

class TestWindowsErrorCode : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void errnoMapsToWindowsCode_data()
    {
        QTest::addColumn<int>("errnoValue");
        QTest::addColumn<int>("code");

        QTest::newRow("ENOENT: file not found") << ENOENT << 2;
        QTest::newRow("ENOTDIR: path not found") << ENOTDIR << 3;
        QTest::newRow("ENAMETOOLONG: invalid name") << ENAMETOOLONG << 3;
        QTest::newRow("EMFILE: too many open files") << EMFILE << 4;
        QTest::newRow("ENFILE: too many open files") << ENFILE << 4;
        QTest::newRow("EACCES: access denied") << EACCES << 5;
        QTest::newRow("EPERM: access denied") << EPERM << 5;
        QTest::newRow("EISDIR: access denied") << EISDIR << 5;
        QTest::newRow("EROFS: access denied") << EROFS << 5;
        QTest::newRow("ENXIO (socket, FIFO): access denied") << ENXIO << 5;
        QTest::newRow("EAGAIN: sharing violation") << EAGAIN << 32;
        QTest::newRow("ENOSPC: disk full") << ENOSPC << 112;
        QTest::newRow("EDQUOT: disk full") << EDQUOT << 112;
    }

    void errnoMapsToWindowsCode()
    {
        QFETCH(int, errnoValue);
        QFETCH(int, code);
        QCOMPARE(windowsErrorCodeFromErrno(errnoValue), code);
    }

    // Errors without a meaning of their own in the message table must not be
    // shown as one of its rows: EIO is errno 5, but no "access denied".
    void otherErrorsLandOutsideTheNamedRows_data()
    {
        QTest::addColumn<int>("errnoValue");

        QTest::newRow("EIO") << EIO;
        QTest::newRow("EBADF") << EBADF;
        QTest::newRow("ESTALE") << ESTALE;
        QTest::newRow("unknown errno") << 987654;
        QTest::newRow("zero") << 0;
        QTest::newRow("negative") << -2;
    }

    void otherErrorsLandOutsideTheNamedRows()
    {
        QFETCH(int, errnoValue);
        const int code = windowsErrorCodeFromErrno(errnoValue);
        for (const int namedRow : {2, 3, 4, 5, 100, 101, 106})
            QVERIFY2(code != namedRow, qPrintable(QString("errno %1 gave code %2").arg(errnoValue).arg(code)));
        QVERIFY(IoFailure(code).message().starts_with("I/O "));
    }
};

QTEST_GUILESS_MAIN(TestWindowsErrorCode)
#include "tst_windows_error_code.moc"
