// What only the Qt backend has of working the sheet by keyboard: accessible
// names of captions with "&&", and pastes into an edit (an input method's
// composition included). Tab order, radio groups, check lists, access keys
// and the keys that must not send are checked on every backend by
// tests/behaviour.
#include "sheet_fixture.h"
#include "tests/support/questionnaires.h"

#include "app/toolkit/qt/answer_widgets.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

using mirunea::test::OpenSheet;

using Lines = std::vector<std::string>;

namespace {

const Lines& kQuestionnaire = mirunea::test::kAccessKeyQuestionnaire;

QRadioButton* radioItem(OpenSheet& sheet, int q, int item)
{
    return mirunea::test::radioItem(sheet.control(QStringLiteral("RadioGroup%1").arg(q)), item);
}

QString accessibleText(QWidget* widget)
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible ? accessible->text(QAccessible::Name) : QString();
}

} // namespace

class WindowKeyboardTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void doubleAmpersandIsOneAmpersandForScreenReaders();
    void pastedLinesBecomeOneLine();
    void pasteWhileComposingKeepsTheComposedWord();
    void charactersToReplaceWaitForTheCompositionToEnd();
};

void WindowKeyboardTest::doubleAmpersandIsOneAmpersandForScreenReaders()
{
    OpenSheet s(Lines{"A&&B", "", "", "[R]C&&D(&H)", "E&&F", "[T]", ""});
    QVERIFY(s.shownWithoutBox());
    QCOMPARE(accessibleText(s.control(QStringLiteral("GroupBox1"))), QStringLiteral("C&D(H)"));
    QCOMPARE(accessibleText(radioItem(s, 1, 1)), QStringLiteral("E&F"));
}

void WindowKeyboardTest::pastedLinesBecomeOneLine()
{
    OpenSheet s(kQuestionnaire);
    QVERIFY(s.shownWithoutBox());
    auto* edit = s.control<QLineEdit>(QStringLiteral("Edit1"));
    edit->setFocus(Qt::TabFocusReason);
    QGuiApplication::clipboard()->setText(QString::fromUtf8("一行目\n二行目\r\n三行目\r"));
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);

    const QString text = edit->text();
    QVERIFY2(!text.contains(u'\n') && !text.contains(u'\r'), qPrintable(text));
    QVERIFY2(text.indexOf(QString::fromUtf8("一行目")) < text.indexOf(QString::fromUtf8("二行目")), qPrintable(text));
    QVERIFY2(text.indexOf(QString::fromUtf8("二行目")) < text.indexOf(QString::fromUtf8("三行目")), qPrintable(text));
    QVERIFY2(text.startsWith(QString::fromUtf8("一行目")), qPrintable(text));
}

void WindowKeyboardTest::pasteWhileComposingKeepsTheComposedWord()
{
    OpenSheet s(kQuestionnaire);
    QVERIFY(s.shownWithoutBox());
    auto* edit = s.control<QLineEdit>(QStringLiteral("Edit1"));
    edit->setFocus(Qt::TabFocusReason);
    edit->setText(QString::fromUtf8("前"));
    edit->end(false);

    // An input method shows a word being composed, then the respondent pastes
    // two lines before committing it.
    QInputMethodEvent composing(QString::fromUtf8("やまだ"), {});
    QApplication::sendEvent(edit, &composing);
    QCOMPARE(edit->text(), QString::fromUtf8("前"));
    QGuiApplication::clipboard()->setText(QString::fromUtf8("一\n二"));
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);

    QCOMPARE(edit->text(), QString::fromUtf8("前一 二やまだ"));
    QCOMPARE(edit->cursorPosition(), edit->text().size());

    // Once committed, the word is plain text: a later paste does not add it again.
    QGuiApplication::clipboard()->setText(QString::fromUtf8("\r\n三"));
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit->text(), QString::fromUtf8("前一 二やまだ 三"));

    // A composition the program's own set-text ended is not committed by a later paste.
    QInputMethodEvent again(QString::fromUtf8("か"), {});
    QApplication::sendEvent(edit, &again);
    static_cast<mirunea::qt::SingleLineEdit*>(edit)->setText(QString::fromUtf8("新"));
    edit->end(false);
    QGuiApplication::clipboard()->setText(QString::fromUtf8("\n"));
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit->text(), QString::fromUtf8("新 "));
}

void WindowKeyboardTest::charactersToReplaceWaitForTheCompositionToEnd()
{
    OpenSheet s(kQuestionnaire);
    QVERIFY(s.shownWithoutBox());
    auto* edit = s.control<QLineEdit>(QStringLiteral("Edit1"));
    edit->setFocus(Qt::TabFocusReason);

    // A part committed while the rest is still composed stays as it came
    // (setting the text now would throw the composition away) ...
    QInputMethodEvent partly(QString::fromUtf8("だ"), {});
    partly.setCommitString(QString::fromUtf8("𠮷"));
    QApplication::sendEvent(edit, &partly);
    QCOMPARE(edit->text(), QString::fromUtf8("𠮷"));

    // ... until the composition ends.
    QInputMethodEvent rest;
    rest.setCommitString(QString::fromUtf8("田〜"));
    QApplication::sendEvent(edit, &rest);
    QCOMPARE(edit->text(), QString::fromUtf8("?田～"));
    QCOMPARE(edit->cursorPosition(), 3);
}

QTEST_MAIN(WindowKeyboardTest)
#include "tst_window_keyboard.moc"
