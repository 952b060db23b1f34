// The answer file's bytes and its name.
#include "answers/answer_file.h"
#include "app/cp932.h"
#include "test_folder.h"

#include <QTest>

#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

using mirunea::AnswerRecord;
using mirunea::SlotAnswer;
using AnswerRecords = std::vector<AnswerRecord>;
Q_DECLARE_METATYPE(AnswerRecords)

namespace {

std::string sjis(const char* utf8)
{
    return mirunea::cp932::fromUtf8(utf8);
}

SlotAnswer choose(int choiceCount, std::optional<int> selected)
{
    SlotAnswer slot;
    slot.typeCode = "R";
    slot.choiceCount = choiceCount;
    slot.selected = selected;
    return slot;
}

SlotAnswer tick(std::vector<bool> ticked)
{
    SlotAnswer slot;
    slot.typeCode = "C";
    slot.ticked = std::move(ticked);
    return slot;
}

SlotAnswer type(std::string text)
{
    SlotAnswer slot;
    slot.typeCode = "T";
    slot.text = std::move(text);
    return slot;
}

// Slots are given by their number, 1 to 10; the others stay empty.
AnswerRecord record(std::string computerName, std::string respondentName,
                    std::vector<std::pair<int, SlotAnswer>> answers = {})
{
    AnswerRecord r;
    r.computerName = std::move(computerName);
    r.respondentName = std::move(respondentName);
    for (auto& [number, slot] : answers)
        r.slotAnswers.at(static_cast<std::size_t>(number - 1)) = std::move(slot);
    return r;
}

QByteArray bytes(const std::string& s)
{
    return QByteArray::fromStdString(s);
}

QList<QByteArray> entriesOf(const QString& folder)
{
    QList<QByteArray> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.toStdString()))
        names.append(bytes(entry.path().filename().native()));
    return names;
}

} // namespace

class AnswerFileTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writesExactBytes_data();
    void writesExactBytes();
    void fileNameStaysInWorkingDirectory_data();
    void fileNameStaysInWorkingDirectory();
};

void AnswerFileTest::writesExactBytes_data()
{
    QTest::addColumn<AnswerRecords>("sends"); // written in this order, into one folder
    QTest::addColumn<QByteArray>("fileName");
    QTest::addColumn<QString>("golden");

    // Slot 1 "R" with the second of two choices, slot 2 empty, slot 3 "T",
    // slot 4 "C" with the first and third of three ticked.
    QTest::newRow("example") << AnswerRecords{record(
        "PC05", sjis("山田"), {{1, choose(2, 2)}, {3, type(sjis("よい"))}, {4, tick({true, false, true})}})}
                             << QByteArray("PC05.ans") << "example.ans";
    QTest::newRow("all slots empty") << AnswerRecords{record("PC01", "")} << QByteArray("PC01.ans")
                                     << "all_slots_empty.ans";
    QTest::newRow("empty text answer") << AnswerRecords{record("PC02", "Taro", {{1, type("")}})}
                                       << QByteArray("PC02.ans") << "empty_text_answer.ans";
    QTest::newRow("choice without selection") << AnswerRecords{record("PC03", "Taro", {{2, choose(3, std::nullopt)}})}
                                              << QByteArray("PC03.ans") << "choice_without_selection.ans";
    QTest::newRow("questions without choices")
        << AnswerRecords{record("PC04", "Taro", {{1, choose(0, std::nullopt)}, {10, tick({})}})}
        << QByteArray("PC04.ans") << "questions_without_choices.ans";
    QTest::newRow("15-byte computer name") << AnswerRecords{record("ABCDEFGHIJKLMNO", "Taro", {{10, type("last")}})}
                                           << QByteArray("ABCDEFGHIJKLMNO.ans") << "fifteen_byte_computer_name.ans";
    QTest::newRow("texts that read like section lines")
        << AnswerRecords{record("PC06", "[Q3C]", {{1, type("[END]")}, {2, type("[Q1R]")}})} << QByteArray("PC06.ans")
        << "texts_like_section_lines.ans";
    // "ソ" 83 5C, "表" 95 5C, "能" 94 5C: trail bytes that read as "\". On
    // disk the name is UTF-8, as the share shows it to Windows; line 1 is 83 5C.
    QTest::newRow("Shift-JIS trail bytes 5C")
        << AnswerRecords{record(sjis("ソ"), sjis("表示"), {{5, type(sjis("ソフト能力ソ"))}})} << QByteArray("ソ.ans")
        << "shift_jis_trail_5c.ans";
    QTest::newRow("empty computer name") << AnswerRecords{record("", "Taro")} << QByteArray(".ans")
                                         << "empty_computer_name.ans";
    QTest::newRow("unsafe computer name on line 1 too")
        << AnswerRecords{record("A/B\\*C", "Taro")} << QByteArray("A_B__C.ans") << "unsafe_computer_name.ans";
    QTest::newRow("second write replaces a longer first")
        << AnswerRecords{record("PC07", "Hanako Yamada",
                                {{1, tick({true, true, true, true, true})},
                                 {2, type(std::string(300, 'a'))},
                                 {3, choose(5, 1)}}),
                         record("PC07", "Hanako", {{1, tick({false, true})}})}
        << QByteArray("PC07.ans") << "second_write_replaces_first.ans";
}

void AnswerFileTest::writesExactBytes()
{
    QFETCH(AnswerRecords, sends);
    QFETCH(QByteArray, fileName);
    QFETCH(QString, golden);

    mirunea::test::TestFolder folder;
    QVERIFY2(folder.isReady(), qPrintable(folder.errorString()));
    for (const AnswerRecord& send : sends)
        mirunea::writeAnswerFile(send);

    QCOMPARE(entriesOf(folder.path()), QList<QByteArray>{fileName});
    QFile expected(QStringLiteral(MIRUNEA_TEST_DATA "/") + golden);
    QVERIFY2(expected.open(QIODevice::ReadOnly), qPrintable(expected.errorString()));
    QCOMPARE(mirunea::test::fileBytes(fileName.toStdString()), expected.readAll());
}

void AnswerFileTest::fileNameStaysInWorkingDirectory_data()
{
    QTest::addColumn<QByteArray>("computerName");
    QTest::addColumn<QByteArray>("fileName");

    QTest::newRow("NetBIOS name kept") << QByteArray("LAB-PC_07") << QByteArray("LAB-PC_07.ans");
    QTest::newRow("empty") << QByteArray() << QByteArray(".ans");
    QTest::newRow("leading dot kept") << QByteArray(".x") << QByteArray(".x.ans");
    QTest::newRow("dot") << QByteArray(".") << QByteArray("_.ans");
    QTest::newRow("dot dot") << QByteArray("..") << QByteArray("__.ans");
    QTest::newRow("three dots") << QByteArray("...") << QByteArray("___.ans");
    QTest::newRow("slashes") << QByteArray("../etc/x") << QByteArray(".._etc_x.ans");
    QTest::newRow("backslash") << QByteArray("..\\x") << QByteArray(".._x.ans");
    QTest::newRow("absolute") << QByteArray("/tmp") << QByteArray("_tmp.ans");
    QTest::newRow("NUL") << QByteArray("A\0B", 3) << QByteArray("A_B.ans");
    QTest::newRow("control bytes and DEL") << QByteArray("\x01\t\r\n\x1F\x7F") << QByteArray("______.ans");
    QTest::newRow("reserved punctuation") << QByteArray(":*?\"<>|") << QByteArray("_______.ans");
    QTest::newRow("space and others kept") << QByteArray("A B!#$%&'()") << QByteArray("A B!#$%&'().ans");
    QTest::newRow("katakana with trail 5C") << QByteArray("\x83\x5C") << QByteArray("\x83\x5C.ans");
    QTest::newRow("trail 7C kept") << QByteArray("\x81\x7C") << QByteArray("\x81\x7C.ans");
    QTest::newRow("backslash after a pair") << QByteArray("\x83\x5C\x5C") << QByteArray("\x83\x5C_.ans");
    QTest::newRow("lead byte then slash") << QByteArray("\x81/x") << QByteArray("\x81_x.ans");
    QTest::newRow("lone lead byte at the end") << QByteArray("A\xE0") << QByteArray("A\xE0.ans");
    QTest::newRow("half-width katakana") << QByteArray("\xB1\xDC") << QByteArray("\xB1\xDC.ans");
}

void AnswerFileTest::fileNameStaysInWorkingDirectory()
{
    QFETCH(QByteArray, computerName);
    QFETCH(QByteArray, fileName);

    QCOMPARE(bytes(mirunea::answerFileName(computerName.toStdString())), fileName);
    // Line 1 carries the same name as the file.
    const auto lines = mirunea::answerFileLines(record(computerName.toStdString(), ""));
    QCOMPARE(bytes(lines.front() + ".ans"), fileName);
}

QTEST_GUILESS_MAIN(AnswerFileTest)
#include "tst_answer_file.moc"
