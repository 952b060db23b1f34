// The line structure of the questionnaire file, and how far it is read.
#include "app/file_layer.h"
#include "questionnaire/line_reader.h"
#include "questionnaire/line_table.h"
#include "questionnaire/questionnaire_parser.h"
#include "test_files.h"

#include <QTemporaryDir>
#include <QTest>

#include <limits>

using namespace mirunea;

namespace {

constexpr int kBufferSize = 64 * 1024; // the reader's buffer: cases straddle its edge

QByteArray run(char byte, int count)
{
    return QByteArray(count, byte);
}

QList<QByteArray> allLines(LineTable& lines)
{
    QList<QByteArray> result;
    for (int j = 1; lines.exists(j); ++j) {
        const std::string line = lines.takeWhole(j);
        result.append(QByteArray(line.data(), static_cast<qsizetype>(line.size())));
    }
    return result;
}

QByteArray restOfCurrentLine(LineReader& reader)
{
    std::string rest;
    reader.readInto(rest, std::numeric_limits<std::size_t>::max());
    return QByteArray(rest.data(), static_cast<qsizetype>(rest.size()));
}

} // namespace

class TestLineTable : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString fixture(const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + ".txt");
        if (!writeBytes(path, bytes))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY2(m_dir.isValid(), qPrintable(m_dir.errorString())); }

    void linesAreSplitByTheRules_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QList<QByteArray>>("expected");
        using L = QList<QByteArray>;

        QTest::newRow("empty file") << QByteArray() << L{};
        QTest::newRow("last line without break") << bytesOf("a\nb") << L{"a", "b"};
        QTest::newRow("one final break adds no line") << bytesOf("a\nb\n") << L{"a", "b"};
        QTest::newRow("two final breaks add one empty line") << bytesOf("a\nb\n\n") << L{"a", "b", ""};
        QTest::newRow("CR LF") << bytesOf("a\r\nb\r\n") << L{"a", "b"};
        QTest::newRow("lone CR dropped") << bytesOf("a\rb\r\nc") << L{"ab", "c"};
        QTest::newRow("CR CR LF") << bytesOf("a\r\r\nb") << L{"a", "b"};
        QTest::newRow("CR at end of file") << bytesOf("a\nb\r") << L{"a", "b"};
        QTest::newRow("CR only separators make one line") << bytesOf("a\rb\rc\r") << L{"abc"};
        QTest::newRow("empty lines kept") << bytesOf("\n\r\n\nx") << L{"", "", "", "x"};
        QTest::newRow("Ctrl-Z at file start") << bytesOf("\x1A"
                                                         "a\nb")
                                              << L{};
        QTest::newRow("Ctrl-Z at line start ends file") << bytesOf("a\nb\n\x1A"
                                                                   "c\nd\n")
                                                        << L{"a", "b"};
        QTest::newRow("Ctrl-Z after CR LF") << bytesOf("a\r\n\x1A") << L{"a"};
        QTest::newRow("Ctrl-Z inside line is ordinary") << bytesOf("a\x1A"
                                                                   "b\nc")
                                                        << L{"a\x1A"
                                                             "b",
                                                             "c"};
        QTest::newRow("Ctrl-Z after dropped CR is inside line") << bytesOf("a\n\r\x1A"
                                                                           "b\nc")
                                                                << L{"a",
                                                                     "\x1A"
                                                                     "b",
                                                                     "c"};
        QTest::newRow("zero bytes are ordinary") << bytesOf("a\0b\n\0") << L{bytesOf("a\0b"), bytesOf("\0")};

        L hundred;
        QByteArray hundredAndOne;
        for (int i = 1; i <= 101; ++i) {
            const QByteArray line = "line" + QByteArray::number(i);
            if (i <= 100)
                hundred.append(line);
            hundredAndOne += line + "\n";
        }
        QTest::newRow("lines after the 100th are not stored") << hundredAndOne << hundred;

        const QByteArray full = run('x', kBufferSize);
        QTest::newRow("long line") << run('y', 5 * kBufferSize + 7) + "\nb" << L{run('y', 5 * kBufferSize + 7), "b"};
        QTest::newRow("CR and LF in different buffers")
            << run('x', kBufferSize - 1) + "\r\nb" << L{run('x', kBufferSize - 1), "b"};
        QTest::newRow("LF first in second buffer") << full + "\nb" << L{full, "b"};
        QTest::newRow("Ctrl-Z first in second buffer") << run('x', kBufferSize - 1)
                + "\n\x1A"
                  "b" << L{run('x', kBufferSize - 1)};
        QTest::newRow("lone CR at buffer edge")
            << run('x', kBufferSize - 1) + "\rz\nb" << L{run('x', kBufferSize - 1) + "z", "b"};
    }

    void linesAreSplitByTheRules()
    {
        QFETCH(QByteArray, input);
        QFETCH(QList<QByteArray>, expected);

        auto file = SharedReadFile::open(fixture(input).toStdString());
        LineReader reader(file);
        LineTable lines(reader);
        QCOMPARE(allLines(lines), expected);
    }

    // Only the first three bytes of a passed-over line are looked at, wherever
    // its bytes lie in the buffer.
    void headOfLineSkipsTheRest_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("lineNumber");
        QTest::addColumn<QByteArray>("head");

        QTest::newRow("short line") << bytesOf("ab\nnext") << 1 << QByteArray("ab");
        QTest::newRow("CR dropped from head") << bytesOf("a\n[\rR]x\nnext") << 2 << QByteArray("[R]");
        QTest::newRow("head across buffer edge")
            << run('x', kBufferSize - 2) + "\n[T]" + run('q', 2 * kBufferSize) + "\nnext" << 2 << QByteArray("[T]");
    }

    void headOfLineSkipsTheRest()
    {
        QFETCH(QByteArray, input);
        QFETCH(int, lineNumber);
        QFETCH(QByteArray, head);

        auto file = SharedReadFile::open(fixture(input).toStdString());
        LineReader reader(file);
        LineTable lines(reader);
        const std::string_view seen = lines.head(lineNumber);
        QCOMPARE(QByteArray(seen.data(), static_cast<qsizetype>(seen.size())), head);
        QVERIFY(lines.exists(lineNumber + 1));
        QCOMPARE(QByteArray::fromStdString(lines.takeWhole(lineNumber + 1)), QByteArray("next"));
        QVERIFY(!lines.exists(lineNumber + 2));
    }

    // Reading stops once nothing further can change the questionnaire: the
    // bytes after that point are still unread in the file.
    void readingStopsWhenNothingMoreCounts_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("unread");

        const QByteArray head = "t\nd\np\n";
        QByteArray tenTexts;
        for (int q = 1; q <= 9; ++q)
            tenTexts += "[T]q" + QByteArray::number(q) + "\n";

        QTest::newRow("after the tenth text question") << head + tenTexts + "[T]q10\n[R]eleven\n"
                                                       << QByteArray("[R]eleven");
        QTest::newRow("eleventh marker that ends the tenth choice list") << head + tenTexts + "[C]q10\na\n[R]eleven"
                + run('e', 3 * kBufferSize) << "eleven" + run('e', 3 * kBufferSize);
        QTest::newRow("empty line that ends the tenth choice list")
            << head + tenTexts + "[R]q10\na\n\nignored" << QByteArray("ignored");
        QTest::newRow("sixth line of the tenth choice list")
            << head + tenTexts + "[R]q10\n1\n2\n3\n4\n5\nsixth" << QByteArray("sixth");

        QByteArray hundredLines = head;
        for (int j = 4; j <= 99; ++j)
            hundredLines += "ignored\n";
        QTest::newRow("rest of the 100th line") << hundredLines + "abcdef\n[T]101\n" << QByteArray("def");
    }

    void readingStopsWhenNothingMoreCounts()
    {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, unread);

        auto file = SharedReadFile::open(fixture(input).toStdString());
        LineReader reader(file);
        LineTable lines(reader);
        (void)parseQuestionnaire(lines);
        QByteArray rest = restOfCurrentLine(reader);
        if (rest.isEmpty()) { // the parser stood at a line's end: the next line is unread
            reader.finishLine();
            rest = restOfCurrentLine(reader);
        }
        QCOMPARE(rest, unread);
    }
};

QTEST_GUILESS_MAIN(TestLineTable)
#include "tst_line_table.moc"
