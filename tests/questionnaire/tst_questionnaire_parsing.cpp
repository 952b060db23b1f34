// From the bytes of "data.txt" to the questionnaire.
#include "app/cp932.h"
#include "questionnaire/questionnaire_reader.h"
#include "test_files.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace mirunea;

namespace {

QByteArray bytes(const std::string& text)
{
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

// One line per item, so that a failed comparison shows where it differs:
// title, description, prompt, then each slot holding anything at all.
QByteArray render(const Questionnaire& questionnaire)
{
    QByteArray out = "title:" + bytes(questionnaire.title) + "\ndescription:" + bytes(questionnaire.description)
        + "\nprompt:" + bytes(questionnaire.namePrompt) + "\n";
    for (int q = 1; q <= kSlotCount; ++q) {
        const QuestionSlot& slot = questionnaire.questionSlots[static_cast<std::size_t>(q - 1)];
        if (slot.typeCode.empty() && slot.questionText.empty() && slot.choices.empty())
            continue;
        out += "Q" + QByteArray::number(q) + "[" + bytes(slot.typeCode) + "]" + bytes(slot.questionText) + "\n";
        for (const std::string& choice : slot.choices)
            out += "  -" + bytes(choice) + "\n";
    }
    return out;
}

QByteArray sjis(const char* utf8)
{
    return bytes(cp932::fromUtf8(utf8));
}

} // namespace

class TestQuestionnaireParsing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fileBecomesQuestionnaire_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("example") << QByteArray(
            "school survey, spring\r\nplease answer honestly\r\nname\r\n[R]Which season do you like?\r\n"
            "spring\r\nsummer\r\n\r\n[T]Any comment?\r\n[C]Which clubs?\r\nart\r\n")
                                 << QByteArray(
                                        "title:school survey, spring\ndescription:please answer honestly\nprompt:name\n"
                                        "Q1[R]Which season do you like?\n  -spring\n  -summer\n"
                                        "Q2[T]Any comment?\n"
                                        "Q3[C]Which clubs?\n  -art\n");
        QTest::newRow("empty file") << QByteArray() << QByteArray("title:\ndescription:\nprompt:\n");
        QTest::newRow("three lines give no question")
            << QByteArray("t\nd\np\n") << QByteArray("title:t\ndescription:d\nprompt:p\n");
        QTest::newRow("markers on lines 1 to 3 are plain text")
            << QByteArray("[R]t\n[C]d\n[T]p\na\n") << QByteArray("title:[R]t\ndescription:[C]d\nprompt:[T]p\n");
        QTest::newRow("marker after marker: no choices")
            << QByteArray("t\nd\np\n[R]one\n[C]two\nx\n")
            << QByteArray("title:t\ndescription:d\nprompt:p\nQ1[R]one\nQ2[C]two\n  -x\n");
        QTest::newRow("seven choice lines keep five")
            << QByteArray("t\nd\np\n[C]q\n1\n2\n3\n4\n5\n6\n7\n[T]next\n")
            << QByteArray("title:t\ndescription:d\nprompt:p\nQ1[C]q\n  -1\n  -2\n  -3\n  -4\n  -5\nQ2[T]next\n");
        QTest::newRow("sixth choice line that is a marker starts next slot")
            << QByteArray("t\nd\np\n[R]q\n1\n2\n3\n4\n5\n[R]n\nx\n")
            << QByteArray("title:t\ndescription:d\nprompt:p\nQ1[R]q\n  -1\n  -2\n  -3\n  -4\n  -5\nQ2[R]n\n  -x\n");
        QTest::newRow("line of spaces is a choice")
            << QByteArray("t\nd\np\n[R]q\n  \nb\n")
            << QByteArray("title:t\ndescription:d\nprompt:p\nQ1[R]q\n  -  \n  -b\n");
        QTest::newRow("empty line ends list, lines up to next marker skipped")
            << QByteArray("t\nd\np\n[R]q\na\n\nb\nc\n[C]r\nd\n")
            << QByteArray("title:t\ndescription:d\nprompt:p\nQ1[R]q\n  -a\nQ2[C]r\n  -d\n");
        QTest::newRow("CR-only line ends list") << QByteArray("t\nd\np\n[R]q\na\r\n\r\nb\r\n")
                                                << QByteArray("title:t\ndescription:d\nprompt:p\nQ1[R]q\n  -a\n");
        QTest::newRow("lines after a text question are skipped")
            << QByteArray("t\nd\np\n[T]q\nnot a choice\n[R]r\nx\n")
            << QByteArray("title:t\ndescription:d\nprompt:p\nQ1[T]q\nQ2[R]r\n  -x\n");
        QTest::newRow("lines before the first marker are skipped")
            << QByteArray("t\nd\np\nintro\n\nmore\n[T]q\n") << QByteArray("title:t\ndescription:d\nprompt:p\nQ1[T]q\n");
        QTest::newRow("lower-case and indented markers are plain lines")
            << QByteArray("t\nd\np\n[r]no\n [R]no\n[X]no\n[R\n[T]yes\n")
            << QByteArray("title:t\ndescription:d\nprompt:p\nQ1[T]yes\n");
        QTest::newRow("marker alone: empty question text")
            << QByteArray("t\nd\np\n[R]\na\n") << QByteArray("title:t\ndescription:d\nprompt:p\nQ1[R]\n  -a\n");
        QTest::newRow("marker twice in a line")
            << QByteArray("t\nd\np\n[R]a[R]b\n") << QByteArray("title:t\ndescription:d\nprompt:p\nQ1[R]a[R]b\n");
        QTest::newRow("choice list runs to end of file")
            << QByteArray("t\nd\np\n[C]q\na\nb")
            << QByteArray("title:t\ndescription:d\nprompt:p\nQ1[C]q\n  -a\n  -b\n");
        QTest::newRow("Ctrl-Z at line start ends the file")
            << QByteArray("t\nd\np\n[R]q\na\n\x1A[R]later\nb\n")
            << QByteArray("title:t\ndescription:d\nprompt:p\nQ1[R]q\n  -a\n");
        QTest::newRow("CR-only file is one title line")
            << QByteArray("t\rd\rp\r[T]q\r") << QByteArray("title:tdp[T]q\ndescription:\nprompt:\n");

        QByteArray eleven = "t\nd\np\n";
        QByteArray tenRendered = "title:t\ndescription:d\nprompt:p\n";
        for (int q = 1; q <= 11; ++q) {
            const QByteArray n = QByteArray::number(q);
            eleven += (q % 2 ? "[R]" : "[C]") + n + "\nc" + n + "\n";
            if (q <= 10)
                tenRendered += "Q" + n + (q % 2 ? "[R]" : "[C]") + n + "\n  -c" + n + "\n";
        }
        QTest::newRow("eleven markers give ten questions") << eleven << tenRendered;

        QByteArray upTo98 = "t\nd\np\n";
        for (int j = 4; j <= 98; ++j)
            upTo98 += "\n";
        QTest::newRow("question on line 99, choices cut at line 100") << upTo98
                + "[R]q\nc100\nc101\nc102\n" << QByteArray("title:t\ndescription:d\nprompt:p\nQ1[R]q\n  -c100\n");
        QTest::newRow("marker on line 100 counts") << upTo98 + "\n[T]q\n"
                                                   << QByteArray("title:t\ndescription:d\nprompt:p\nQ1[T]q\n");
        QTest::newRow("marker on line 101 is ignored") << upTo98 + "\n\n[T]q\n"
                                                       << QByteArray("title:t\ndescription:d\nprompt:p\n");

        const QByteArray longText(300 * 1000, 'L');
        QTest::newRow("long title, question text and choice")
            << "t" + longText + "\nd\np\n[R]" + longText + "\n" + longText + "c\n"
            << "title:t" + longText + "\ndescription:d\nprompt:p\nQ1[R]" + longText + "\n  -" + longText + "c\n";
        QTest::newRow("long skipped line") << "t\nd\np\n" + longText + "\n[T]q\n"
                                           << QByteArray("title:t\ndescription:d\nprompt:p\nQ1[T]q\n");

        // 0x5C as a trail byte ("ソ", "表") and bytes that are no Shift-JIS at
        // all pass through unchanged.
        const QByteArray japanese = sjis("ソフト表示");
        const QByteArray invalid = QByteArray("\x80\xA0\xFD\xFF\x81", 5);
        QTest::newRow("Shift-JIS bytes untouched") << japanese + "\n" + invalid + "\n" + sjis("氏名") + "\n[C]"
                + japanese + "\n" + invalid + "\n" + japanese + "\\\n"
                                                   << "title:" + japanese + "\ndescription:" + invalid
                + "\nprompt:" + sjis("氏名") + "\nQ1[C]" + japanese + "\n  -" + invalid + "\n  -" + japanese + "\\\n";
    }

    void fileBecomesQuestionnaire()
    {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, expected);

        QTemporaryDir dir;
        QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
        const QString path = dir.filePath("data.txt");
        QVERIFY(writeBytes(path, input));
        QCOMPARE(render(readQuestionnaireFile(path.toStdString())), expected);
    }

    void readsDataTxtFromWorkingDirectory()
    {
        QTemporaryDir dir;
        QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
        QVERIFY(writeBytes(dir.filePath("data.txt"), "here\nd\np\n[T]q\n"));
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const Questionnaire questionnaire = readQuestionnaire();
        QVERIFY(QDir::setCurrent(previous));
        QCOMPARE(questionnaire.title, std::string("here"));
        QCOMPARE(questionnaire.questionSlots[0].typeCode, std::string("T"));
    }
};

QTEST_GUILESS_MAIN(TestQuestionnaireParsing)
#include "tst_questionnaire_parsing.moc"
