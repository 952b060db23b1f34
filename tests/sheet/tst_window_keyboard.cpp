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

#include <memory>

using mirunea::test::CloseBy;
using mirunea::test::ModalBoxWatcher;
using mirunea::test::OpenSheet;
using mirunea::test::SheetFolder;

using Lines = std::vector<std::string>;
Q_DECLARE_METATYPE(Lines)

namespace {

const Lines& kQuestionnaire = mirunea::test::kAccessKeyQuestionnaire;

// The sheet opened in a fresh folder, shown and active; any message box it
// shows is closed and kept.
struct ActiveSheet
{
    explicit ActiveSheet(const Lines& questionnaire = kQuestionnaire)
    {
        written = folder.isValid() && folder.writeQuestionnaire(questionnaire);
        sheet = std::make_unique<OpenSheet>();
        active = sheet->showActive();
    }

    [[nodiscard]] bool ready() const { return written && active && boxes.seen().empty(); }

    SheetFolder folder;
    ModalBoxWatcher boxes{CloseBy::Return};
    std::unique_ptr<OpenSheet> sheet;
    bool written = false;
    bool active = false;
};

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
};

void WindowKeyboardTest::doubleAmpersandIsOneAmpersandForScreenReaders()
{
    ActiveSheet s({"A&&B", "", "", "[R]C&&D(&H)", "E&&F", "[T]", ""});
    QVERIFY(s.ready());
    QCOMPARE(accessibleText(s.sheet->control(QStringLiteral("GroupBox1"))), QStringLiteral("C&D(H)"));
    QCOMPARE(accessibleText(radioItem(*s.sheet, 1, 1)), QStringLiteral("E&F"));
}

void WindowKeyboardTest::pastedLinesBecomeOneLine()
{
    ActiveSheet s;
    QVERIFY(s.ready());
    auto* edit = s.sheet->control<QLineEdit>(QStringLiteral("Edit1"));
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
    ActiveSheet s;
    QVERIFY(s.ready());
    auto* edit = s.sheet->control<QLineEdit>(QStringLiteral("Edit1"));
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

QTEST_MAIN(WindowKeyboardTest)
#include "tst_window_keyboard.moc"
