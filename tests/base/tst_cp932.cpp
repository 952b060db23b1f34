#include "app/cp932.h"

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QTest>

#include <string>
#include <vector>

using namespace mirunea;

namespace {

struct Mapping
{
    QByteArray bytes;
    char32_t codePoint;
};

// Reads "<hex bytes> U+XXXX" (decode) or "U+XXXX <hex bytes>" (encode) lines.
[[nodiscard]] std::vector<Mapping> readMappings(const QString& fileName)
{
    QFile file(QStringLiteral(MIRUNEA_TEST_DATA "/") + fileName);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot open %s", qPrintable(file.fileName()));
    std::vector<Mapping> mappings;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() != 2)
            qFatal("bad line in %s: %s", qPrintable(fileName), line.constData());
        const bool codePointFirst = fields[0].startsWith("U+");
        const QByteArray& codeField = codePointFirst ? fields[0] : fields[1];
        const QByteArray& bytesField = codePointFirst ? fields[1] : fields[0];
        bool ok = false;
        const uint codePoint = codeField.mid(2).toUInt(&ok, 16);
        if (!ok || bytesField.size() % 2 != 0)
            qFatal("bad line in %s: %s", qPrintable(fileName), line.constData());
        mappings.push_back({QByteArray::fromHex(bytesField), static_cast<char32_t>(codePoint)});
    }
    return mappings;
}

[[nodiscard]] std::u16string utf16(char32_t codePoint)
{
    if (codePoint < 0x10000)
        return std::u16string(1, static_cast<char16_t>(codePoint));
    const char32_t offset = codePoint - 0x10000;
    return {static_cast<char16_t>(0xD800 + (offset >> 10)), static_cast<char16_t>(0xDC00 + (offset & 0x3FF))};
}

[[nodiscard]] std::string_view view(const QByteArray& bytes)
{
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

[[nodiscard]] QByteArray toQByteArray(const std::string& text)
{
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

[[nodiscard]] QString hex(std::u16string_view text)
{
    QStringList units;
    for (const char16_t unit : text)
        units << QStringLiteral("U+%1").arg(static_cast<uint>(unit), 4, 16, QLatin1Char('0')).toUpper();
    return units.join(QLatin1Char(' '));
}

[[nodiscard]] bool isLeadByte(uint byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

[[nodiscard]] bool isTrailByte(uint byte)
{
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

// Characters glibc's converter writes by best fit, as Windows does; the
// encode list leaves them out because they do not decode back to themselves.
const QHash<char32_t, QByteArray> kBestFits{
    {0x00A2, QByteArray::fromHex("8191")}, // CENT SIGN -> FULLWIDTH CENT SIGN
    {0x00A3, QByteArray::fromHex("8192")}, // POUND SIGN
    {0x00A5, QByteArray::fromHex("5c")},   // YEN SIGN -> backslash byte
    {0x00AC, QByteArray::fromHex("81ca")}, // NOT SIGN
    {0x2014, QByteArray::fromHex("815c")}, // EM DASH
    {0x2016, QByteArray::fromHex("8161")}, // DOUBLE VERTICAL LINE
    {0x203E, QByteArray::fromHex("7e")},   // OVERLINE
    {0x2212, QByteArray::fromHex("817c")}, // MINUS SIGN
    {0x301C, QByteArray::fromHex("8160")}, // WAVE DASH
};

constexpr int kMinimumListedMappings = 9000;

} // namespace

class Cp932Test : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decodesEveryListedSequence();
    void decodesEveryUnlistedSequenceAsOneReplacement();
    void decodesListedSequencesRunTogether();
    void encodesEveryListedCodePoint();
    void encodesEveryUnlistedBmpCodePointAsQuestionMarkOrBestFit();
    void decodesInvalidBytes_data();
    void decodesInvalidBytes();
    void encodesUnmappableCharacters_data();
    void encodesUnmappableCharacters();
    void convertsUtf8_data();
    void convertsUtf8();
    void decodesAndEncodesLargeTextWhole();
};

void Cp932Test::decodesEveryListedSequence()
{
    const std::vector<Mapping> mappings = readMappings(QStringLiteral("cp932-decode.txt"));
    QVERIFY(mappings.size() > kMinimumListedMappings);
    QStringList failures;
    for (const Mapping& mapping : mappings) {
        const std::u16string decoded = cp932::decode(view(mapping.bytes));
        if (decoded != utf16(mapping.codePoint))
            failures << QStringLiteral("%1 -> %2").arg(QString::fromLatin1(mapping.bytes.toHex()), hex(decoded));
    }
    QVERIFY2(failures.isEmpty(), qPrintable(failures.mid(0, 20).join(QStringLiteral(", "))));
}

void Cp932Test::decodesEveryUnlistedSequenceAsOneReplacement()
{
    QSet<QByteArray> listed;
    for (const Mapping& mapping : readMappings(QStringLiteral("cp932-decode.txt")))
        listed.insert(mapping.bytes);

    QStringList failures;
    const std::u16string replacement(1, u'\uFFFD');
    for (uint first = 0; first < 256; ++first) {
        std::vector<QByteArray> sequences;
        if (isLeadByte(first)) {
            for (uint trail = 0; trail < 256; ++trail) {
                if (!isTrailByte(trail))
                    continue;
                QByteArray pair;
                pair.append(static_cast<char>(first)).append(static_cast<char>(trail));
                sequences.push_back(pair);
            }
        } else {
            sequences.push_back(QByteArray(1, static_cast<char>(first)));
        }
        for (const QByteArray& sequence : sequences) {
            if (listed.contains(sequence))
                continue;
            const std::u16string decoded = cp932::decode(view(sequence));
            if (decoded != replacement)
                failures << QStringLiteral("%1 -> %2").arg(QString::fromLatin1(sequence.toHex()), hex(decoded));
        }
    }
    QVERIFY2(failures.isEmpty(), qPrintable(failures.mid(0, 20).join(QStringLiteral(", "))));
}

void Cp932Test::decodesListedSequencesRunTogether()
{
    QByteArray text;
    std::u16string expected;
    for (const Mapping& mapping : readMappings(QStringLiteral("cp932-decode.txt"))) {
        text += mapping.bytes;
        expected += utf16(mapping.codePoint);
    }
    QVERIFY(cp932::decode(view(text)) == expected);
}

void Cp932Test::encodesEveryListedCodePoint()
{
    const std::vector<Mapping> mappings = readMappings(QStringLiteral("cp932-encode.txt"));
    QVERIFY(mappings.size() > kMinimumListedMappings);
    QStringList failures;
    QByteArray allBytes;
    std::u16string allText;
    for (const Mapping& mapping : mappings) {
        const std::u16string text = utf16(mapping.codePoint);
        const QByteArray encoded = toQByteArray(cp932::encode(text));
        if (encoded != mapping.bytes)
            failures << QStringLiteral("%1 -> %2").arg(hex(text), QString::fromLatin1(encoded.toHex()));
        allBytes += mapping.bytes;
        allText += text;
    }
    QVERIFY2(failures.isEmpty(), qPrintable(failures.mid(0, 20).join(QStringLiteral(", "))));
    QCOMPARE(toQByteArray(cp932::encode(allText)), allBytes);
}

void Cp932Test::encodesEveryUnlistedBmpCodePointAsQuestionMarkOrBestFit()
{
    QSet<char32_t> listed;
    for (const Mapping& mapping : readMappings(QStringLiteral("cp932-encode.txt")))
        listed.insert(mapping.codePoint);

    QStringList failures;
    for (char32_t codePoint = 0; codePoint < 0x10000; ++codePoint) {
        if (listed.contains(codePoint))
            continue;
        const QByteArray expected = kBestFits.value(codePoint, QByteArray("?"));
        const QByteArray encoded = toQByteArray(cp932::encode(utf16(codePoint)));
        if (encoded != expected)
            failures << QStringLiteral("%1 -> %2").arg(hex(utf16(codePoint)), QString::fromLatin1(encoded.toHex()));
    }
    QVERIFY2(failures.isEmpty(), qPrintable(failures.mid(0, 20).join(QStringLiteral(", "))));
}

void Cp932Test::decodesInvalidBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");

    const QChar fffd(0xFFFD);
    QTest::newRow("unmapped single 80") << QByteArray::fromHex("41 80 42") << QStringLiteral("A%1B").arg(fffd);
    QTest::newRow("unmapped single A0") << QByteArray::fromHex("a0") << QString(fffd);
    QTest::newRow("unmapped singles FD FE FF") << QByteArray::fromHex("fdfeff") << QString(3, fffd);
    QTest::newRow("lead byte at the end") << QByteArray::fromHex("41 82") << QStringLiteral("A%1").arg(fffd);
    QTest::newRow("lead byte alone") << QByteArray::fromHex("e0") << QString(fffd);
    QTest::newRow("lead before newline") << QByteArray::fromHex("82 0a") << QStringLiteral("%1\n").arg(fffd);
    QTest::newRow("lead before 3F") << QByteArray::fromHex("81 3f") << QStringLiteral("%1?").arg(fffd);
    QTest::newRow("lead before 7F") << QByteArray::fromHex("81 7f") << QStringLiteral("%1\x7f").arg(fffd);
    QTest::newRow("lead before unmapped FD") << QByteArray::fromHex("88 fd") << QString(2, fffd);
    // Decoding goes on after a lone lead byte: 82 A0 is "あ".
    QTest::newRow("lead before lead of a pair") << QByteArray::fromHex("81 7f 82a0")
                                                << QStringLiteral("%1\x7f%2").arg(fffd).arg(QChar(0x3042));
    QTest::newRow("unmapped pair with ASCII-looking trail") << QByteArray::fromHex("8540 41")
                                                            << QStringLiteral("%1A").arg(fffd);
    QTest::newRow("unmapped pair with 5C trail") << QByteArray::fromHex("eb5c") << QString(fffd);
    QTest::newRow("unmapped pair with FC trail") << QByteArray::fromHex("fcfc") << QString(fffd);
    QTest::newRow("valid pair with 5C trail") << QByteArray::fromHex("835c 5c")
                                              << QStringLiteral("%1\\").arg(QChar(0x30BD));
    QTest::newRow("user-defined area") << QByteArray::fromHex("f040 f9fc")
                                       << QStringLiteral("%1%2").arg(QChar(0xE000)).arg(QChar(0xE757));
}

void Cp932Test::decodesInvalidBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QCOMPARE(QString::fromStdU16String(cp932::decode(view(bytes))), expected);
}

void Cp932Test::encodesUnmappableCharacters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("e acute") << QStringLiteral("caf\u00E9") << QByteArray("caf?");
    QTest::newRow("euro sign") << QStringLiteral("\u20AC5") << QByteArray("?5");
    QTest::newRow("replacement character") << QStringLiteral("\uFFFD") << QByteArray("?");
    QTest::newRow("hangul") << QStringLiteral("\uD55C\uAE00") << QByteArray("??");
    QTest::newRow("emoji is one question mark") << QStringLiteral("a\U0001F600b") << QByteArray("a?b");
    QTest::newRow("CJK extension B") << QStringLiteral("\U00020B9F") << QByteArray("?");
    // glibc would drop these tag characters silently.
    QTest::newRow("tag character") << QStringLiteral("\U000E0041x") << QByteArray("?x");
    QTest::newRow("lone high surrogate at the end") << QString(QChar(0xD83D)) << QByteArray("?");
    QTest::newRow("lone high surrogate before text") << QString(QChar(0xD83D)) + u'A' << QByteArray("?A");
    QTest::newRow("lone low surrogate") << u'A' + QString(QChar(0xDE00)) << QByteArray("A?");
    QTest::newRow("high surrogate before a pair") << QString(QChar(0xD83D)) + QStringLiteral("\U0001F600")
                                                  << QByteArray("??");
    QTest::newRow("mapped around unmapped") << QStringLiteral("\u65E5\u00E9\u672C")
                                            << QByteArray::fromHex("93fa 3f 967b");
    QTest::newRow("yen sign best fit") << QStringLiteral("\u00A5100") << QByteArray("\\100");
    QTest::newRow("wave dash best fit") << QStringLiteral("\u301C") << QByteArray::fromHex("8160");
    QTest::newRow("minus sign best fit") << QStringLiteral("\u2212") << QByteArray::fromHex("817c");
}

void Cp932Test::encodesUnmappableCharacters()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(toQByteArray(cp932::encode(text.toStdU16String())), expected);
}

void Cp932Test::convertsUtf8_data()
{
    QTest::addColumn<QByteArray>("utf8");
    QTest::addColumn<QByteArray>("sjis");
    QTest::addColumn<bool>("roundTrips");

    QTest::newRow("ASCII") << QByteArray("I/O (32)") << QByteArray("I/O (32)") << true;
    QTest::newRow("ASCII-looking trail bytes") << QByteArray("ソ表ー") << QByteArray::fromHex("835c 955c 815b")
                                               << true;
    QTest::newRow("half-width katakana") << QByteArray("ｱﾝｹｰﾄ") << QByteArray::fromHex("b1 dd b9 b0 c4") << true;
    QTest::newRow("application title") << QByteArray("ミルネア") << QByteArray::fromHex("837e 838b 836c 8341")
                                       << true;
    QTest::newRow("four-byte character") << QByteArray("a\U0001F600") << QByteArray("a?") << false;
    QTest::newRow("truncated sequence") << QByteArray::fromHex("41 e381") << QByteArray("A??") << false;
    QTest::newRow("overlong slash") << QByteArray::fromHex("c0af") << QByteArray("??") << false;
    QTest::newRow("encoded surrogate") << QByteArray::fromHex("eda080") << QByteArray("???") << false;
    QTest::newRow("stray continuation byte") << QByteArray::fromHex("80 41") << QByteArray("?A") << false;
}

void Cp932Test::convertsUtf8()
{
    QFETCH(QByteArray, utf8);
    QFETCH(QByteArray, sjis);
    QFETCH(bool, roundTrips);
    QCOMPARE(toQByteArray(cp932::fromUtf8(view(utf8))), sjis);
    if (roundTrips)
        QCOMPARE(toQByteArray(cp932::toUtf8(view(sjis))), utf8);
}

void Cp932Test::decodesAndEncodesLargeTextWhole()
{
    // Japanese, ASCII, half-width katakana, a CR LF: every branch of the walk. How fast the walk is
    // over such a text is measured by mirunea_bench_cp932, not here.
    const QByteArray line = QByteArray::fromHex("8341 8393 8350 815b 8367 89f1 93da") + " ABC 123 "
                            + QByteArray::fromHex("b1b2b3") + "\r\n";
    const qsizetype repeats = 50 * 1024 * 1024 / line.size();
    const QByteArray text = line.repeated(repeats);
    const std::u16string decodedLine = cp932::decode(view(line));

    const std::u16string decoded = cp932::decode(view(text));
    const std::string encoded = cp932::encode(decoded);

    QCOMPARE(decoded.size(), decodedLine.size() * static_cast<std::size_t>(repeats));
    QVERIFY(encoded == view(text));
}

QTEST_APPLESS_MAIN(Cp932Test)
#include "tst_cp932.moc"
