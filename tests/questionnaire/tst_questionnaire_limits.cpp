// "data.txt" at the machine's limits: files past the 64 MiB bound (sparse,
// endless, under an address-space limit) fail with 223 within seconds, files
// up to it read as ever.
#include "app/cp932.h"
#include "app/io_failure.h"
#include "questionnaire/line_reader.h"
#include "questionnaire/questionnaire_reader.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

using namespace mirunea;

namespace {

constexpr qint64 kBound = static_cast<qint64>(LineReader::kMaxFileBytes);

// The failure's code, or 0 when reading succeeded.
int readCode(const QString& path, Questionnaire* result = nullptr)
{
    try {
        Questionnaire questionnaire = readQuestionnaireFile(path.toStdString());
        if (result)
            *result = std::move(questionnaire);
        return 0;
    } catch (const IoFailure& failure) {
        return failure.code();
    }
}

// head, then a hole up to size bytes in all (a sparse file: no disk used).
bool writeSparse(const QString& path, const QByteArray& head, qint64 size)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, head.constData(), static_cast<size_t>(head.size())) == head.size()
        && ::ftruncate(fd, size) == 0;
    return ::close(fd) == 0 && ok;
}

// size bytes: head, then "x" up to size, without a line break.
bool writeFilled(const QString& path, const QByteArray& head, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(head);
    const QByteArray chunk(1 << 20, 'x');
    for (qint64 left = size - head.size(); left > 0; left -= chunk.size())
        file.write(chunk.constData(), std::min<qint64>(left, chunk.size()));
    return file.flush() && file.size() == size;
}

} // namespace

class QuestionnaireLimitsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void hugeFilesFailWithinSeconds_data();
    void hugeFilesFailWithinSeconds();
    void endlessProcFileFails();
    void filesUpToTheBoundRead();
#ifndef MIRUNEA_SANITIZED
    void largeTitleUnderAnAddressSpaceLimit();
#endif

private:
    // On the build's disk, which holds sparse files up to 16 TB.
    QTemporaryDir m_folder{QStringLiteral(MIRUNEA_BUILD_DIR "/limits-XXXXXX")};
};

void QuestionnaireLimitsTest::hugeFilesFailWithinSeconds_data()
{
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<qint64>("size");
    QTest::newRow("three short lines, then a 16 TB line")
        << QByteArray("title\r\ndescription\r\nname\r\n[T]q\r\n") << qint64(16'000'000'000'000);
    QTest::newRow("a 3 GB title") << QByteArray() << (qint64(3) << 30);
    QTest::newRow("one byte past the bound") << QByteArray("title") << kBound + 1;
}

void QuestionnaireLimitsTest::hugeFilesFailWithinSeconds()
{
    QFETCH(QByteArray, head);
    QFETCH(qint64, size);
    const QString path = m_folder.filePath("data.txt");
    QVERIFY(writeSparse(path, head, size));
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(readCode(path), 223);
    QVERIFY2(timer.elapsed() < 10000, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(QFile::remove(path));
}

void QuestionnaireLimitsTest::endlessProcFileFails()
{
    const QString path = m_folder.filePath("data.txt");
    QVERIFY(QFile::link("/proc/self/pagemap", path));
    QElapsedTimer timer;
    timer.start();
    const int code = readCode(path);
    QFile::remove(path);
    QCOMPARE(code, 223);
    QVERIFY(timer.elapsed() < 10000);
}

// The bound itself is read; a 60 MB title is kept whole.
void QuestionnaireLimitsTest::filesUpToTheBoundRead()
{
    const QString path = m_folder.filePath("data.txt");
    QVERIFY(writeFilled(path, "[T]", kBound));
    Questionnaire questionnaire;
    QCOMPARE(readCode(path, &questionnaire), 0);
    QCOMPARE(questionnaire.title.size(), std::size_t(kBound));

    constexpr qint64 kSixtyMegabytes = 60'000'000;
    QVERIFY(writeFilled(path, QByteArray(), kSixtyMegabytes));
    QFile file(path);
    QVERIFY(file.open(QIODevice::Append));
    file.write("\r\ndescription\r\n\r\n[R]q\r\na\r\n");
    file.close();
    QCOMPARE(readCode(path, &questionnaire), 0);
    QCOMPARE(questionnaire.title.size(), std::size_t(kSixtyMegabytes));
    QCOMPARE(questionnaire.description, std::string("description"));
    QCOMPARE(questionnaire.questionSlots[0].choices, std::vector<std::string>{"a"});
    QVERIFY(QFile::remove(path));
}

#ifndef MIRUNEA_SANITIZED
// Under a 2 GB address-space limit a 3 GB title fails with 223, where it
// once ended the process with std::bad_alloc.
void QuestionnaireLimitsTest::largeTitleUnderAnAddressSpaceLimit()
{
    const QString path = m_folder.filePath("data.txt");
    QVERIFY(writeSparse(path, "title", qint64(3) << 30));
    QProcess tool;
    tool.start("prlimit", {"--as=2147483648", MIRUNEA_READ_TOOL, path});
    QVERIFY(tool.waitForFinished(30000));
    QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
    QCOMPARE(tool.readAllStandardOutput(), QByteArray("223\n"));
    QVERIFY(QFile::remove(path));
}
#endif

QTEST_GUILESS_MAIN(QuestionnaireLimitsTest)
#include "tst_questionnaire_limits.moc"
