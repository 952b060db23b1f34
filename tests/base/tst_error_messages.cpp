#include "app/error_box_text.h"
#include "app/io_failure.h"

#include <QByteArray>
#include <QTest>

#include <climits>
#include <string>

using namespace mirunea;

namespace {

[[nodiscard]] QByteArray bytes(const std::string& text)
{
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

// Shift-JIS bytes of the table's texts, written out so the test does not lean
// on the converter it shares with the code under test.
const QByteArray kFileNotFound = QByteArray::fromHex("8374 8340 8343 838b 82aa 8ca9 82c2 82a9 82e8 82dc 82b9 82f1");
const QByteArray kInvalidFileName = QByteArray::fromHex("9573 90b3 82c8 8374 8340 8343 838b 96bc 82c5 82b7");
const QByteArray kTooManyOpenFiles
    = QByteArray::fromHex("8349 815b 8376 8393 82b5 82bd 8374 8340 8343 838b 82aa 91bd 82b7 82ac 82dc 82b7");
const QByteArray kAccessDenied
    = QByteArray::fromHex("8374 8340 8343 838b 82d6 82cc 8341 834e 835a 8358 82aa 8b91 94db 82b3 82ea 82dc 82b5 82bd");
const QByteArray kReadPastEnd
    = QByteArray::fromHex("8374 8340 8343 838b 82cc 9696 94f6 88c8 8d7e 82f0 93c7 82dd 8d9e 82dd 82dc 82b5 82bd");
const QByteArray kDiskFull = QByteArray::fromHex("8366 8342 8358 834e 82aa 82a2 82c1 82cf 82a2 82c5 82b7");
const QByteArray kNotANumber = QByteArray::fromHex("93fc 97cd 926c 82aa 9094 926c 82c5 82cd 82a0 82e8 82dc 82b9 82f1");
// "I/O エラー (" and ")" around the code.
const QByteArray kOtherPrefix = QByteArray("I/O ") + QByteArray::fromHex("8347 8389 815b") + " (";

} // namespace

class ErrorMessagesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void messageTableGivesTextForCode_data();
    void messageTableGivesTextForCode();
    void failureCarriesCodeAndTableMessage();
    void errorBoxAppendsFullStopByLastCharacter_data();
    void errorBoxAppendsFullStopByLastCharacter();
    void errorBoxTextOfEveryTableMessage_data();
    void errorBoxTextOfEveryTableMessage();
};

void ErrorMessagesTest::messageTableGivesTextForCode_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("2 file not found") << 2 << kFileNotFound;
    QTest::newRow("3 invalid file name") << 3 << kInvalidFileName;
    QTest::newRow("4 too many open files") << 4 << kTooManyOpenFiles;
    QTest::newRow("5 access denied") << 5 << kAccessDenied;
    QTest::newRow("100 read past end") << 100 << kReadPastEnd;
    QTest::newRow("101 disk full") << 101 << kDiskFull;
    QTest::newRow("106 not a number") << 106 << kNotANumber;
    QTest::newRow("32 sharing violation") << 32 << kOtherPrefix + "32)";
    QTest::newRow("112 disk full from the system") << 112 << kOtherPrefix + "112)";
    QTest::newRow("0") << 0 << kOtherPrefix + "0)";
    QTest::newRow("1 next to the rows") << 1 << kOtherPrefix + "1)";
    QTest::newRow("6 next to the rows") << 6 << kOtherPrefix + "6)";
    QTest::newRow("negative") << -5 << kOtherPrefix + "-5)";
    QTest::newRow("INT_MIN") << INT_MIN << kOtherPrefix + "-2147483648)";
    QTest::newRow("INT_MAX") << INT_MAX << kOtherPrefix + "2147483647)";
}

void ErrorMessagesTest::messageTableGivesTextForCode()
{
    QFETCH(int, code);
    QFETCH(QByteArray, expected);
    QCOMPARE(bytes(ioFailureMessage(code)), expected);
}

void ErrorMessagesTest::failureCarriesCodeAndTableMessage()
{
    const IoFailure notFound(2);
    QCOMPARE(notFound.code(), 2);
    QCOMPARE(bytes(notFound.message()), kFileNotFound);
    QCOMPARE(QByteArray(notFound.what()), kFileNotFound);

    const IoFailure sharing(32);
    QCOMPARE(sharing.code(), 32);
    QCOMPARE(bytes(sharing.message()), kOtherPrefix + "32)");
}

void ErrorMessagesTest::errorBoxAppendsFullStopByLastCharacter_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<bool>("getsFullStop");

    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("closing parenthesis") << kOtherPrefix + "32)" << false;
    QTest::newRow("space") << QByteArray("disk ") << false;
    QTest::newRow("full stop") << QByteArray("done.") << false;
    QTest::newRow("exclamation mark") << QByteArray("stop!") << false;
    QTest::newRow("0x2E hyphen-minus end of range") << QByteArray("a-") << false;
    QTest::newRow("tab") << QByteArray("a\t") << false;
    QTest::newRow("NUL byte") << QByteArray("a\0", 2) << false;
    QTest::newRow("only a full stop") << QByteArray(".") << false;
    QTest::newRow("0x2F slash") << QByteArray("a/") << true;
    QTest::newRow("digit") << QByteArray("error 5") << true;
    QTest::newRow("letter") << QByteArray("error") << true;
    QTest::newRow("half-width katakana 0xB1") << QByteArray::fromHex("b1") << true;
    QTest::newRow("ソ trail byte 0x5C") << QByteArray::fromHex("835c") << true;
    QTest::newRow("表 trail byte 0x5C") << QByteArray::fromHex("8374 955c") << true;
    QTest::newRow("ー trail byte 0x5B") << QByteArray::fromHex("8347 8389 815b") << true;
    QTest::newRow("ソ then full stop") << QByteArray::fromHex("835c 2e") << false;
    // 81 81 is one character, so the 2E after it stands alone.
    QTest::newRow("full stop after trail byte that looks like a lead") << QByteArray::fromHex("8181 2e") << false;
    QTest::newRow("lead byte takes even 0x2E as its trail") << QByteArray::fromHex("41 812e") << true;
    QTest::newRow("dangling lead byte") << QByteArray::fromHex("41 83") << true;
    QTest::newRow("dangling lead byte after a pair") << QByteArray::fromHex("835c 83") << true;
}

void ErrorMessagesTest::errorBoxAppendsFullStopByLastCharacter()
{
    QFETCH(QByteArray, message);
    QFETCH(bool, getsFullStop);
    const std::string text = errorBoxText(std::string_view(message.constData(), static_cast<std::size_t>(message.size())));
    QCOMPARE(bytes(text), getsFullStop ? message + "." : message);
}

void ErrorMessagesTest::errorBoxTextOfEveryTableMessage_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("2") << 2 << kFileNotFound + ".";
    QTest::newRow("3") << 3 << kInvalidFileName + ".";
    QTest::newRow("4") << 4 << kTooManyOpenFiles + ".";
    QTest::newRow("5") << 5 << kAccessDenied + ".";
    QTest::newRow("100") << 100 << kReadPastEnd + ".";
    QTest::newRow("101") << 101 << kDiskFull + ".";
    QTest::newRow("106") << 106 << kNotANumber + ".";
    QTest::newRow("32") << 32 << kOtherPrefix + "32)";
    QTest::newRow("-1") << -1 << kOtherPrefix + "-1)";
}

void ErrorMessagesTest::errorBoxTextOfEveryTableMessage()
{
    QFETCH(int, code);
    QFETCH(QByteArray, expected);
    QCOMPARE(bytes(errorBoxText(IoFailure(code).message())), expected);
}

QTEST_APPLESS_MAIN(ErrorMessagesTest)
#include "tst_error_messages.moc"
