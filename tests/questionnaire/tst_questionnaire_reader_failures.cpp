// Failures of reading "data.txt", provoked for real.
#include "app/cp932.h"
#include "app/io_failure.h"
#include "questionnaire/questionnaire_reader.h"
#include "test_files.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace mirunea;

namespace {

QByteArray bytes(const std::string& text)
{
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

// The failure's code and message, or code 0 when reading succeeded.
struct Outcome
{
    int code = 0;
    QByteArray message;
};

Outcome readOutcome(const QString& path)
{
    try {
        (void)readQuestionnaireFile(path.toStdString());
        return {};
    } catch (const IoFailure& failure) {
        return {failure.code(), bytes(failure.message())};
    }
}

// A listening Unix socket at path, closed with the test process.
bool bindSocket(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (static_cast<std::size_t>(name.size()) >= sizeof address.sun_path)
        return false;
    std::copy(name.begin(), name.end(), address.sun_path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    return fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

int openDescriptorCount()
{
    return static_cast<int>(QDir("/proc/self/fd").entryList(QDir::Files | QDir::System).size());
}

} // namespace

class TestQuestionnaireReaderFailures : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    // Starts mirunea_file_holder on path and waits until it holds the file.
    bool startHolder(QProcess& holder, const QString& mode, const QString& path)
    {
        holder.start(MIRUNEA_FILE_HOLDER, {mode, path});
        if (!holder.waitForStarted() || !holder.waitForReadyRead(10000))
            return false;
        return holder.readAllStandardOutput() == "held\n";
    }

    void release(QProcess& holder)
    {
        holder.closeWriteChannel();
        QVERIFY(holder.waitForFinished(10000));
        QCOMPARE(holder.exitCode(), 0);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(m_dir.isValid(), qPrintable(m_dir.errorString()));
        const QString root = m_dir.path();
        for (const char* sub : {"missing", "dangling", "folder/data.txt", "fifo", "socket", "file"})
            QVERIFY(QDir(root).mkpath(sub));
        QVERIFY(QFile::link(root + "/nowhere", root + "/dangling/data.txt"));
        QCOMPARE(::mkfifo(QFile::encodeName(root + "/fifo/data.txt").constData(), 0644), 0);
        QVERIFY(bindSocket(root + "/socket/data.txt"));
        QVERIFY(writeBytes(root + "/file/data.txt", "t\n"));
    }

    void openFailureGivesWindowsCode_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("message");

        const QByteArray notFound = bytes(cp932::fromUtf8("ファイルが見つかりません"));
        const QByteArray denied = bytes(cp932::fromUtf8("ファイルへのアクセスが拒否されました"));
        const QByteArray badName = bytes(cp932::fromUtf8("不正なファイル名です"));
        QTest::newRow("missing file") << "missing/data.txt" << 2 << notFound;
        QTest::newRow("dangling symbolic link") << "dangling/data.txt" << 2 << notFound;
        QTest::newRow("folder named data.txt") << "folder/data.txt" << 5 << denied;
        QTest::newRow("FIFO named data.txt does not hang") << "fifo/data.txt" << 5 << denied;
        QTest::newRow("socket named data.txt") << "socket/data.txt" << 5 << denied;
        QTest::newRow("file used as folder") << "file/data.txt/x" << 3 << badName;
        QTest::newRow("name too long") << QString(300, 'n') << 3 << badName;
        QTest::newRow("zero byte in name") << QString("file/data.txt") + QChar(0) + "x" << 3 << badName;
    }

    void openFailureGivesWindowsCode()
    {
        QFETCH(QString, name);
        QFETCH(int, code);
        QFETCH(QByteArray, message);

        const Outcome outcome = readOutcome(m_dir.path() + "/" + name);
        QCOMPARE(outcome.code, code);
        QCOMPARE(outcome.message, message);
    }

    void fileWithoutReadPermissionIsAccessDenied()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString denied = dir.filePath("data.txt");
        const QString readable = dir.filePath("readable.txt");
        QVERIFY(writeBytes(denied, "t\n"));
        QVERIFY(writeBytes(readable, "t\n"));
        QVERIFY(QFile::setPermissions(denied, QFile::WriteOwner));
        // Others must reach the folder, so that only the file's own mode can deny.
        QVERIFY(QFile::setPermissions(dir.path(),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                                          | QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup));

        if (::geteuid() != 0) {
            QCOMPARE(readOutcome(denied).code, 5);
            QCOMPARE(readOutcome(readable).code, 0);
            return;
        }
        // Root reads everything: read as nobody, in a second process.
        QProcess reader;
        reader.start("setpriv",
                     {"--reuid=65534", "--regid=65534", "--clear-groups", MIRUNEA_READ_TOOL, denied, readable});
        QVERIFY2(reader.waitForFinished(10000), qPrintable(reader.errorString()));
        QCOMPARE(reader.exitCode(), 0);
        QCOMPARE(reader.readAllStandardOutput(), QByteArray("5\nok\n"));
    }

    void fileHeldForWritingIsSharingViolation()
    {
        const QString path = m_dir.filePath("held.txt");
        QVERIFY(writeBytes(path, "t\nd\np\n"));
        QProcess holder;
        QVERIFY(startHolder(holder, "write", path));

        const Outcome outcome = readOutcome(path);
        QCOMPARE(outcome.code, 32);
        QCOMPARE(outcome.message, bytes(cp932::fromUtf8("I/O エラー (32)")));

        release(holder);
        QCOMPARE(readOutcome(path).code, 0);
    }

    void readersShareTheFile()
    {
        const QString path = m_dir.filePath("shared.txt");
        QVERIFY(writeBytes(path, "t\nd\np\n[T]q\n"));
        QProcess holder;
        QVERIFY(startHolder(holder, "read", path));
        QCOMPARE(readOutcome(path).code, 0);
        release(holder);
    }

    void fileIsClosedAfterReading()
    {
        const QString path = m_dir.filePath("closed.txt");
        QVERIFY(writeBytes(path, "t\nd\np\n[T]q\nrest\n"));
        const int before = openDescriptorCount();
        QCOMPARE(readOutcome(path).code, 0);
        QCOMPARE(openDescriptorCount(), before);

        // No lock is left behind: a writer gets the file at once.
        QProcess holder;
        QVERIFY(startHolder(holder, "write", path));
        release(holder);
    }

    // Reading /proc/self/mem from offset 0 fails with EIO: a real read failure.
    void readFailureEndsReadingAndClosesFile()
    {
        const int before = openDescriptorCount();
        const Outcome outcome = readOutcome("/proc/self/mem");
        QVERIFY2(outcome.code != 0, "the read did not fail");
        QVERIFY(outcome.code != 5); // an I/O error is no "access denied"
        QCOMPARE(outcome.message, bytes(cp932::fromUtf8("I/O エラー (" + std::to_string(outcome.code) + ")")));
        QCOMPARE(openDescriptorCount(), before);
    }
};

QTEST_GUILESS_MAIN(TestQuestionnaireReaderFailures)
#include "tst_questionnaire_reader_failures.moc"
