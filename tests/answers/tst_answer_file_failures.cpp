// Sends that cannot write the answer file, provoked for real: what the user
// is told, and that nothing already in the folder is harmed.
#include "answers/answer_file.h"
#include "app/cp932.h"
#include "app/error_box_text.h"
#include "app/io_failure.h"
#include "test_folder.h"

#include <QProcess>
#include <QTest>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

// What stands where the answer file should go.
enum class Obstacle { ReadOnlyFile, Folder, LinkToFile, DanglingLink, FifoWithoutReader, FifoWithReader };
Q_DECLARE_METATYPE(Obstacle)

namespace {

constexpr const char* kAccessDenied = "ファイルへのアクセスが拒否されました";

struct Failure
{
    int code;
    QByteArray message;
};

mirunea::AnswerRecord sampleRecord()
{
    mirunea::AnswerRecord record;
    record.computerName = "PC05";
    record.respondentName = "Taro";
    record.slotAnswers[0].typeCode = "T";
    record.slotAnswers[0].text = "new answer";
    return record;
}

std::optional<Failure> sendSample()
{
    try {
        mirunea::writeAnswerFile(sampleRecord());
    } catch (const mirunea::IoFailure& failure) {
        return Failure{failure.code(), QByteArray::fromStdString(failure.message())};
    }
    return std::nullopt;
}

// Everything in a folder as lstat sees it: names, kinds, modes, link targets
// and file contents, so that any change made by a failed send shows.
QStringList snapshot(const QString& folder)
{
    QStringList entries;
    for (const auto& entry : fs::directory_iterator(folder.toStdString())) {
        const fs::file_status status = entry.symlink_status();
        QString line = QString::fromStdString(entry.path().filename().native())
            + QStringLiteral(" type=%1 mode=%2").arg(int(status.type())).arg(int(status.permissions()), 0, 8);
        if (status.type() == fs::file_type::symlink)
            line += " -> " + QString::fromStdString(fs::read_symlink(entry.path()).native());
        if (status.type() == fs::file_type::regular)
            line += " = " + QString::fromLatin1(mirunea::test::fileBytes(entry.path().native()).toHex());
        entries.append(line);
    }
    entries.sort();
    return entries;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    std::ofstream out(path.toStdString(), std::ios::binary | std::ios::trunc);
    out.write(bytes.constData(), bytes.size());
}

QByteArray sjis(const char* utf8)
{
    return QByteArray::fromStdString(mirunea::cp932::fromUtf8(utf8));
}

// The failure's code and message, and the error box that reports it.
void verifyReported(const std::optional<Failure>& failure, int code, const char* messageUtf8, const char* boxTextUtf8)
{
    QVERIFY2(failure.has_value(), "the send succeeded");
    QCOMPARE(failure->code, code);
    QCOMPARE(failure->message, sjis(messageUtf8));
    QCOMPARE(QByteArray::fromStdString(mirunea::errorBoxText(failure->message.toStdString())), sjis(boxTextUtf8));
}

// Parses one line of the probe: "failed <code> <hex message>" or "ok <hex file>".
std::optional<Failure> probeResult(const QByteArray& line)
{
    const QList<QByteArray> fields = line.trimmed().split(' ');
    if (fields.value(0) != "failed")
        return std::nullopt;
    return Failure{fields.value(1).toInt(), QByteArray::fromHex(fields.value(2))};
}

struct ProbeRun
{
    QList<QByteArray> lines; // one per send; empty when the namespace could not be set up
    QString errors;
};

// Runs the writer probe in the folder after mountScript has changed what the
// folder ("$1") is, in a private mount namespace that ends with the probe.
ProbeRun runProbeWithPrivateMounts(const QString& mountScript, const QString& folder, const QStringList& probeArguments)
{
    // Root needs only its own mount namespace; others need a user namespace too.
    const QStringList namespaceOptions = geteuid() == 0 ? QStringList{"-m"} : QStringList{"-r", "-m"};
    QProcess probe;
    probe.start("unshare",
                namespaceOptions
                    + QStringList{"sh", "-c", mountScript + R"( && cd "$1" && shift && exec "$@")", "sh", folder,
                                  QStringLiteral(MIRUNEA_WRITE_PROBE)}
                    + probeArguments);
    if (!probe.waitForStarted())
        return {{}, "unshare cannot be started: " + probe.errorString()};
    if (!probe.waitForFinished(30000))
        return {{}, "the probe did not finish"};
    QByteArray output = probe.readAllStandardOutput();
    if (output.endsWith('\n'))
        output.chop(1);
    return {output.isEmpty() ? QList<QByteArray>{} : output.split('\n'),
            QString::fromLocal8Bit(probe.readAllStandardError())};
}

} // namespace

class AnswerFileFailuresTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void refusesNameTakenByOtherThanWritableFile_data();
    void refusesNameTakenByOtherThanWritableFile();
    void refusesFileHeldByAnotherProcess_data();
    void refusesFileHeldByAnotherProcess();
    void refusesReadOnlyFolder_data();
    void refusesReadOnlyFolder();
    void reportsFullDiskAndSendsAgainOnceFreed();

private:
    [[nodiscard]] QString path(const QString& name) const { return m_folder->filePath(name); }

    std::unique_ptr<mirunea::test::TestFolder> m_folder;
};

void AnswerFileFailuresTest::init()
{
    m_folder = std::make_unique<mirunea::test::TestFolder>();
    QVERIFY2(m_folder->isReady(), qPrintable(m_folder->errorString()));
}

void AnswerFileFailuresTest::cleanup()
{
    m_folder.reset();
}

void AnswerFileFailuresTest::refusesNameTakenByOtherThanWritableFile_data()
{
    QTest::addColumn<Obstacle>("obstacle");

    QTest::newRow("read-only file") << Obstacle::ReadOnlyFile;
    QTest::newRow("folder") << Obstacle::Folder;
    QTest::newRow("link to a file") << Obstacle::LinkToFile;
    QTest::newRow("dangling link") << Obstacle::DanglingLink;
    QTest::newRow("FIFO without reader") << Obstacle::FifoWithoutReader;
    QTest::newRow("FIFO with reader") << Obstacle::FifoWithReader;
}

void AnswerFileFailuresTest::refusesNameTakenByOtherThanWritableFile()
{
    QFETCH(Obstacle, obstacle);
    const QByteArray answerFile = QFile::encodeName(path("PC05.ans"));

    int fifoReader = -1;
    switch (obstacle) {
    case Obstacle::ReadOnlyFile:
        writeFile(path("PC05.ans"), "old answers\r\n");
        QCOMPARE(::chmod(answerFile.constData(), 0444), 0);
        break;
    case Obstacle::Folder:
        QVERIFY(QDir(m_folder->path()).mkdir("PC05.ans"));
        break;
    case Obstacle::LinkToFile:
        writeFile(path("target.txt"), "someone else's file\n");
        QCOMPARE(::symlink("target.txt", answerFile.constData()), 0);
        break;
    case Obstacle::DanglingLink:
        QCOMPARE(::symlink("missing.txt", answerFile.constData()), 0);
        break;
    case Obstacle::FifoWithReader:
    case Obstacle::FifoWithoutReader:
        QCOMPARE(::mkfifo(answerFile.constData(), 0666), 0);
        if (obstacle == Obstacle::FifoWithReader)
            fifoReader = ::open(answerFile.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        break;
    }
    const QStringList before = snapshot(m_folder->path());

    const std::optional<Failure> failure = sendSample();
    if (fifoReader >= 0)
        ::close(fifoReader);

    verifyReported(failure, 5, kAccessDenied, "ファイルへのアクセスが拒否されました.");
    QCOMPARE(snapshot(m_folder->path()), before);
}

void AnswerFileFailuresTest::refusesFileHeldByAnotherProcess_data()
{
    QTest::addColumn<QString>("holderMode");

    QTest::newRow("held for writing") << "write";
    QTest::newRow("held for reading only") << "read";
}

void AnswerFileFailuresTest::refusesFileHeldByAnotherProcess()
{
    QFETCH(QString, holderMode);
    writeFile(path("PC05.ans"), "old answers\r\n");

    QProcess holder;
    holder.start(QStringLiteral(MIRUNEA_FILE_HOLDER), {holderMode, path("PC05.ans")});
    QVERIFY2(holder.waitForStarted(), qPrintable(holder.errorString()));
    QTRY_COMPARE(holder.peek(16), QByteArray("held\n"));
    const QStringList before = snapshot(m_folder->path());

    verifyReported(sendSample(), 32, "I/O エラー (32)", "I/O エラー (32)");
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(snapshot(m_folder->path()), before);

    // Once the other program lets go, the send goes through.
    holder.closeWriteChannel();
    QVERIFY(holder.waitForFinished());
    QCOMPARE(holder.exitCode(), 0);
    QCOMPARE(sendSample().has_value(), false);
    QVERIFY(mirunea::test::fileBytes("PC05.ans").endsWith("new answer\r\n[END]\r\n"));
}

void AnswerFileFailuresTest::refusesReadOnlyFolder_data()
{
    QTest::addColumn<bool>("fileExists");

    QTest::newRow("new file") << false;
    QTest::newRow("existing file") << true;
}

void AnswerFileFailuresTest::refusesReadOnlyFolder()
{
    QFETCH(bool, fileExists);
    if (fileExists)
        writeFile(path("PC05.ans"), "old answers\r\n");
    const QStringList before = snapshot(m_folder->path());

    // A read-only mount refuses even root and even existing files, as a share
    // that only allows reading does.
    std::optional<Failure> failure;
    const ProbeRun run = runProbeWithPrivateMounts(R"(mount --bind "$1" "$1" && mount -o remount,bind,ro "$1")",
                                                   m_folder->path(), {"send", "PC05", "10"});
    if (!run.lines.isEmpty()) {
        QCOMPARE(run.lines.size(), 1);
        failure = probeResult(run.lines.first());
    } else if (geteuid() != 0 && !fileExists) {
        // Without namespaces a folder without write permission refuses new files only.
        QCOMPARE(::chmod(QFile::encodeName(m_folder->path()).constData(), 0555), 0);
        failure = sendSample();
    } else {
        QSKIP(qPrintable("cannot mount in a private mount namespace here: " + run.errors));
    }

    verifyReported(failure, 5, kAccessDenied, "ファイルへのアクセスが拒否されました.");
    QCOMPARE(snapshot(m_folder->path()), before);
}

void AnswerFileFailuresTest::reportsFullDiskAndSendsAgainOnceFreed()
{
    // An 8 KiB disk: the long answer fills it; the short one is written after
    // the failed file was closed and its space freed by emptying it.
    const ProbeRun run = runProbeWithPrivateMounts(R"(mount -t tmpfs -o size=8k tmpfs "$1")", m_folder->path(),
                                                   {"send", "PC05", "65536", "10"});
    if (run.lines.isEmpty())
        QSKIP(qPrintable("cannot mount a small tmpfs in a private mount namespace here: " + run.errors));
    QCOMPARE(run.lines.size(), 2);

    verifyReported(probeResult(run.lines.at(0)), 112, "I/O エラー (112)", "I/O エラー (112)");
    QCOMPARE(run.lines.at(1), "ok " + QByteArray("PC05\r\n\r\n[Q1T]\r\nxxxxxxxxxx\r\n[END]\r\n").toHex());
}

QTEST_GUILESS_MAIN(AnswerFileFailuresTest)
#include "tst_answer_file_failures.moc"
