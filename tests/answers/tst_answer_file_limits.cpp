// The answer writer where the folder is shared with mischievous pupils and the
// machine is at its limits, each fault produced for real: a hard link, a
// file-size limit, termination signals mid-send, file systems that refuse
// locks or answer opens oddly (a preloaded shim), a umask without write bits,
// a host name outside ASCII.
#include "answers/answer_file.h"
#include "app/cp932.h"
#include "app/io_failure.h"
#include "test_folder.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <QThread>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

mirunea::AnswerRecord sampleRecord()
{
    mirunea::AnswerRecord record;
    record.computerName = "PC05";
    record.respondentName = "Taro";
    record.slotAnswers[0].typeCode = "T";
    record.slotAnswers[0].text = "new answer";
    return record;
}

const QByteArray kSampleBytes = "PC05\r\nTaro\r\n[Q1T]\r\nnew answer\r\n[END]\r\n";

// The failure's code, or 0 when the send succeeded.
int sendSample()
{
    try {
        mirunea::writeAnswerFile(sampleRecord());
    } catch (const mirunea::IoFailure& failure) {
        return failure.code();
    }
    return 0;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    std::ofstream out(path.toStdString(), std::ios::binary | std::ios::trunc);
    out.write(bytes.constData(), bytes.size());
}

// What the probe's send writes for computer name PC and a text of n "x".
QByteArray probeFileBytes(const QByteArray& computerName, qsizetype textLength)
{
    return computerName + "\r\n\r\n[Q1T]\r\n" + QByteArray(textLength, 'x') + "\r\n[END]\r\n";
}

struct Run
{
    QByteArray output;
    QProcess::ExitStatus status = QProcess::CrashExit;
    int exitCode = -1;
};

// Runs a program in folder with extra environment, waiting at most timeoutMs.
Run runIn(const QString& folder, const QString& program, const QStringList& arguments,
          const QStringList& environment = {}, int timeoutMs = 30000)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& entry : environment)
        env.insert(entry.section('=', 0, 0), entry.section('=', 1));
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    if (!process.waitForStarted() || !process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.readAllStandardOutput(), process.exitStatus(), process.exitCode()};
}

QStringList shim(const QString& fault)
{
    // A sanitized probe would refuse a library loaded before its runtime.
    const QString asan = qEnvironmentVariable("ASAN_OPTIONS");
    return {QStringLiteral("LD_PRELOAD=" MIRUNEA_FAULT_SHIM), "MIRUNEA_FAULT=" + fault,
            "ASAN_OPTIONS=" + asan + (asan.isEmpty() ? "" : ":") + "verify_asan_link_order=0"};
}

} // namespace

class AnswerFileLimitsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void hardLinkIsRefusedAndItsTargetKept();
    void createdFileStaysWritableWhateverTheUmask();
    void fileSystemWithoutLocksIsUsedUnlocked_data();
    void fileSystemWithoutLocksIsUsedUnlocked();
    void busyFromTheShareIsASharingViolation();
    void creationThatNeverSettlesGivesUp();
    void fileSizeLimitFailsTheSendWith223();
    void terminationWaitsUntilTheFileIsWhole_data();
    void terminationWaitsUntilTheFileIsWhole();
    void hostNameOutsideAsciiBecomesShiftJis();
};

void AnswerFileLimitsTest::hardLinkIsRefusedAndItsTargetKept()
{
    mirunea::test::TestFolder folder;
    QVERIFY2(folder.isReady(), qPrintable(folder.errorString()));
    const QByteArray other = "PC31\r\nHanako\r\n[END]\r\n";
    writeFile(folder.filePath("PC31.ans"), other);
    QVERIFY(::link("PC31.ans", "PC05.ans") == 0);

    QCOMPARE(sendSample(), 5);
    QCOMPARE(mirunea::test::fileBytes("PC31.ans"), other);
    QCOMPARE(mirunea::test::fileBytes("PC05.ans"), other);

    // Once the second name is gone the send goes through.
    QVERIFY(::unlink("PC31.ans") == 0);
    QCOMPARE(sendSample(), 0);
    QCOMPARE(mirunea::test::fileBytes("PC05.ans"), kSampleBytes);
}

void AnswerFileLimitsTest::createdFileStaysWritableWhateverTheUmask()
{
    mirunea::test::TestFolder folder;
    QVERIFY2(folder.isReady(), qPrintable(folder.errorString()));
    const mode_t previous = ::umask(0222);
    const int first = sendSample();
    const int second = sendSample();
    ::umask(previous);
    QCOMPARE(first, 0);
    QCOMPARE(second, 0);
    struct stat status
    {
    };
    QVERIFY(::stat("PC05.ans", &status) == 0);
    QVERIFY(status.st_mode & S_IWUSR);
    QCOMPARE(status.st_mode & 0077, mode_t(0044)); // the umask's other bits still hold
    QCOMPARE(mirunea::test::fileBytes("PC05.ans"), kSampleBytes);
}

void AnswerFileLimitsTest::fileSystemWithoutLocksIsUsedUnlocked_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("EINVAL") << "lock-EINVAL";
    QTest::newRow("EOPNOTSUPP") << "lock-EOPNOTSUPP";
    QTest::newRow("ENOSYS") << "lock-ENOSYS";
}

void AnswerFileLimitsTest::fileSystemWithoutLocksIsUsedUnlocked()
{
    QFETCH(QString, fault);
    mirunea::test::TestFolder folder;
    QVERIFY2(folder.isReady(), qPrintable(folder.errorString()));
    writeFile(folder.filePath("PC.ans"), "old answers, longer than the new ones\r\n");
    writeFile(folder.filePath("data.txt"), "title\r\n");

    const Run send = runIn(folder.path(), MIRUNEA_WRITE_PROBE, {"send", "PC", "3"}, shim(fault));
    QCOMPARE(send.output, "ok " + probeFileBytes("PC", 3).toHex() + '\n');
    const Run read = runIn(folder.path(), MIRUNEA_READ_TOOL, {"data.txt"}, shim(fault));
    QCOMPARE(read.output, QByteArray("ok\n"));
}

void AnswerFileLimitsTest::busyFromTheShareIsASharingViolation()
{
    mirunea::test::TestFolder folder;
    QVERIFY2(folder.isReady(), qPrintable(folder.errorString()));
    writeFile(folder.filePath("PC.ans"), "old\r\n");
    writeFile(folder.filePath("data.txt"), "title\r\n");

    const Run send = runIn(folder.path(), MIRUNEA_WRITE_PROBE, {"send", "PC", "3"}, shim("open-EBUSY"));
    QCOMPARE(send.output.left(10), QByteArray("failed 32 "));
    const Run read = runIn(folder.path(), MIRUNEA_READ_TOOL, {"data.txt"}, shim("open-EBUSY"));
    QCOMPARE(read.output, QByteArray("32\n"));
    QCOMPARE(mirunea::test::fileBytes(folder.filePath("PC.ans").toStdString()), QByteArray("old\r\n"));
}

void AnswerFileLimitsTest::creationThatNeverSettlesGivesUp()
{
    mirunea::test::TestFolder folder;
    QVERIFY2(folder.isReady(), qPrintable(folder.errorString()));
    QElapsedTimer timer;
    timer.start();
    const Run send = runIn(folder.path(), MIRUNEA_WRITE_PROBE, {"send", "PC", "3"}, shim("create-race"), 10000);
    QVERIFY2(!send.output.isEmpty(), "the send did not end");
    // "missing" was the last answer: the file is not found.
    QCOMPARE(send.output.left(9), QByteArray("failed 2 "));
    QVERIFY(timer.elapsed() < 5000);
}

void AnswerFileLimitsTest::fileSizeLimitFailsTheSendWith223()
{
    mirunea::test::TestFolder folder;
    QVERIFY2(folder.isReady(), qPrintable(folder.errorString()));
    // The first send fits under 64 bytes; the second does not, and the third fits again.
    const Run run = runIn(folder.path(), "prlimit", {"--fsize=64", MIRUNEA_WRITE_PROBE, "send", "PC", "3", "100", "4"});
    QCOMPARE(run.status, QProcess::NormalExit);
    QCOMPARE(run.exitCode, 0);
    const QList<QByteArray> lines = run.output.trimmed().split('\n');
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[0], "ok " + probeFileBytes("PC", 3).toHex());
    QCOMPARE(lines[1], "failed 223 " + QByteArray::fromStdString(mirunea::cp932::fromUtf8("I/O エラー (223)")).toHex());
    QCOMPARE(lines[2], "ok " + probeFileBytes("PC", 4).toHex());
}

void AnswerFileLimitsTest::terminationWaitsUntilTheFileIsWhole_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGHUP") << int(SIGHUP);
    QTest::newRow("SIGINT") << int(SIGINT);
}

// The signal comes as soon as the file exists, while its 64 MB are written;
// the probe ends by it, but only once the file is closed and whole.
void AnswerFileLimitsTest::terminationWaitsUntilTheFileIsWhole()
{
    QFETCH(int, signal);
    mirunea::test::TestFolder folder;
    QVERIFY2(folder.isReady(), qPrintable(folder.errorString()));
    constexpr qsizetype kLength = 64 << 20;

    QProcess probe;
    probe.setWorkingDirectory(folder.path());
    probe.start(MIRUNEA_WRITE_PROBE, {"send", "PC", QString::number(kLength), QString::number(kLength)});
    QVERIFY(probe.waitForStarted());
    const std::string name = folder.filePath("PC.ans").toStdString();
    QElapsedTimer timer;
    timer.start();
    while (!fs::exists(name) && timer.elapsed() < 20000)
        QThread::usleep(200);
    QVERIFY2(fs::exists(name), "the probe made no file");
    ::kill(static_cast<pid_t>(probe.processId()), signal);
    QVERIFY(probe.waitForFinished(30000));
    QCOMPARE(probe.exitStatus(), QProcess::CrashExit);
    QCOMPARE(fs::file_size(name), std::uintmax_t(probeFileBytes("PC", kLength).size()));
    QVERIFY(mirunea::test::fileBytes(name).endsWith("x\r\n[END]\r\n"));
}

// The host name is set in a private UTS namespace; the probe there sends
// under the local computer name.
void AnswerFileLimitsTest::hostNameOutsideAsciiBecomesShiftJis()
{
    mirunea::test::TestFolder folder;
    QVERIFY2(folder.isReady(), qPrintable(folder.errorString()));
    const QStringList namespaceOption = geteuid() == 0 ? QStringList{"-u"} : QStringList{"-r", "-u"};
    // Nine double-byte characters in Shift-JIS: 18 bytes, cut to seven (14).
    const Run run = runIn(
        folder.path(), "unshare",
        namespaceOption
            + QStringList{"sh", "-c", R"(printf %s "$1" > /proc/sys/kernel/hostname && exec "$2" send-local 1)", "sh",
                          QString::fromUtf8("テスト用のパソコン.school"), QStringLiteral(MIRUNEA_WRITE_PROBE)},
        {"LC_ALL=C.UTF-8"});
    const QByteArray sjisName = QByteArray::fromStdString(mirunea::cp932::fromUtf8("テスト用のパソ"));
    QCOMPARE(run.output, "ok " + probeFileBytes(sjisName, 1).toHex() + '\n');
    QStringList names;
    for (const auto& entry : fs::directory_iterator(folder.path().toStdString()))
        names.append(QString::fromStdString(entry.path().filename().native()));
    QCOMPARE(names, QStringList{QString::fromUtf8("テスト用のパソ.ans")});

    // An ASCII name keeps its bytes, its first label upper-cased.
    const Run ascii = runIn(
        folder.path(), "unshare",
        namespaceOption
            + QStringList{"sh", "-c", R"(printf %s "$1" > /proc/sys/kernel/hostname && exec "$2" computer-name)", "sh",
                          "lab-pc07.school", QStringLiteral(MIRUNEA_WRITE_PROBE)},
        {"LC_ALL=C.UTF-8"});
    QCOMPARE(ascii.output, QByteArray("LAB-PC07\n"));
}

QTEST_GUILESS_MAIN(AnswerFileLimitsTest)
#include "tst_answer_file_limits.moc"
