// Control characters that reach an edit (pasted NUL, Ctrl-Z, escape) become
// spaces like line breaks, so the answer file's lines stay whole for a
// line-oriented reader; tab is kept. A pasted answer of any length reaches
// the file whole.
#include "sheet_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>

using mirunea::test::expectedAnswerFile;
using mirunea::test::OpenSheet;

class EditControlCharactersTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void controlCharactersBecomeSpacesInTheAnswerFile();
    void longPastedAnswerReachesTheFileWhole();
};

void EditControlCharactersTest::controlCharactersBecomeSpacesInTheAnswerFile()
{
    OpenSheet sheet(std::vector<std::string>{"t", "d", "氏名", "[T]ご意見"});
    QVERIFY(sheet.shownWithoutBox());

    auto* name = sheet.control<QLineEdit>(QStringLiteral("Ename"));
    name->setFocus(Qt::MouseFocusReason);
    name->insert(QString::fromUtf8("太郎") + QChar(0) + "x" + QChar(0x1A));
    auto* edit = sheet.control<QLineEdit>(QStringLiteral("Edit1"));
    edit->setFocus(Qt::MouseFocusReason);
    // Pasted as a respondent would, then typed into as well.
    QGuiApplication::clipboard()->setText(QStringLiteral("a\x01"
                                                         "b\x1B"
                                                         "c\td\x1F"));
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    edit->insert(QString(QChar(0x1A)) + "e" + QChar(0x7F));
    // The edit shows what will be written.
    QCOMPARE(edit->text(), QStringLiteral("a b c\td  e\x7F"));

    QTest::mouseClick(sheet.control(QStringLiteral("Button1")), Qt::LeftButton);
    QCOMPARE(QByteArray::fromStdString(sheet.folder().answerFileBytes()),
             QByteArray::fromStdString(expectedAnswerFile({"太郎 x ", "[Q1T]", "a b c\td  e\x7F", "[END]"})));
}

void EditControlCharactersTest::longPastedAnswerReachesTheFileWhole()
{
    OpenSheet sheet(std::vector<std::string>{"t", "d", "", "[T]ご意見"});
    QVERIFY(sheet.shownWithoutBox());

    // 100,000 characters, far past Qt's default limit of 32,767, double-byte
    // ones among them; the last ones tell a cut text from a whole one.
    QString pasted;
    while (pasted.size() < 99'990)
        pasted += QString::fromUtf8("回答テキストabc、");
    pasted.truncate(99'990);
    pasted += QStringLiteral("0123456789");
    QCOMPARE(pasted.size(), 100'000);
    auto* edit = sheet.control<QLineEdit>(QStringLiteral("Edit1"));
    edit->setFocus(Qt::MouseFocusReason);
    edit->selectAll();
    QGuiApplication::clipboard()->setText(pasted);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit->text().size(), 100'000);

    QTest::mouseClick(sheet.control(QStringLiteral("Button1")), Qt::LeftButton);
    QCOMPARE(QByteArray::fromStdString(sheet.folder().answerFileBytes()),
             QByteArray::fromStdString(expectedAnswerFile({"", "[Q1T]", pasted.toStdString(), "[END]"})));
}

QTEST_MAIN(EditControlCharactersTest)
#include "tst_edit_control_characters.moc"
