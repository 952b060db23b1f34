// Working the answer sheet by keyboard and mouse: tab order, radio groups,
// check lists, access keys, and the keys that must not send.
#include "sheet_fixture.h"

#include "app/toolkit/qt/answer_widgets.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
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

// Panels 1 to 7; every caption carries an access key, and so do the labels
// and the items of radio group 3.
const Lines kQuestionnaire = {
    "給食アンケート(&L)",
    "説明(&D)",
    "氏名(&N)",
    "[T]感想(&A)",
    "[C]好きなもの(&B)",
    "A&B",
    "パン",
    "ごはん",
    "",
    "[R]天気(&C)",
    "晴れ(&S)",
    "くもり(&K)",
    "雨(&U)",
    "",
    "[R]季節(&E)",
    "春",
    "夏",
    "秋",
    "",
    "[T]その他(&F)",
    "[C]部活(&G)",
    "美術",
    "音楽",
    "",
    "[T]A&&B(&H)",
};

// The questionnaire above without the name prompt.
Lines withoutNamePrompt(Lines lines)
{
    lines.at(2).clear();
    return lines;
}

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

// "RadioGroup4/2" for the second item of radio group 4, else the object name.
QString nameOfFocus()
{
    const QWidget* focus = QApplication::focusWidget();
    if (!focus)
        return QStringLiteral("(none)");
    if (qobject_cast<const QRadioButton*>(focus)) {
        const QWidget* group = focus->parentWidget();
        const auto items = group->findChildren<QRadioButton*>();
        return QStringLiteral("%1/%2").arg(group->objectName()).arg(items.indexOf(focus) + 1);
    }
    return focus->objectName();
}

// Keys go where a real key press goes: to the focused widget.
void press(QWidget* fallback, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* target = QApplication::focusWidget();
    QTest::keyClick(target ? target : fallback, key, modifiers);
}

// The selected item of radio group q, 0 for none.
int selectedItem(OpenSheet& sheet, int q)
{
    for (int item = 1; radioItem(sheet, q, item); ++item) {
        if (radioItem(sheet, q, item)->isChecked())
            return item;
    }
    return 0;
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
    void tabVisitsAnswerControlsInOrderAndWraps_data();
    void tabVisitsAnswerControlsInOrderAndWraps();
    void firstFocusGoesToFirstTabStop_data();
    void firstFocusGoesToFirstTabStop();
    void arrowsMoveTheSelectionAroundTheGroup_data();
    void arrowsMoveTheSelectionAroundTheGroup();
    void itemReachedByArrowIsTheOnlyTabStop();
    void clickOnRadioItemSelectsIt();
    void radioGroupFocusedWithoutSelectionStaysNoTabStop();
    void checkListToggles_data();
    void checkListToggles();
    void checkListShowsItemsAsTypedOneLineHigh();
    void accessKeysMoveTheFocus_data();
    void accessKeysMoveTheFocus();
    void doubleAmpersandShowsOneAmpersand();
    void keysThatSendAndKeysThatDoNot_data();
    void keysThatSendAndKeysThatDoNot();
    void pastedLinesBecomeOneLine();
    void pasteWhileComposingKeepsTheComposedWord();
};

void WindowKeyboardTest::tabVisitsAnswerControlsInOrderAndWraps_data()
{
    QTest::addColumn<int>("clickedItemOfGroup4"); // 0: nothing selected
    QTest::addColumn<QStringList>("order");

    // Radio groups without a selection take no part; the send button sits
    // between panel 5 and panel 6.
    QTest::newRow("no radio selected") << 0 << QStringList{"Ename",   "Edit1",         "CheckListBox2", "Edit5",
                                                           "Button1", "CheckListBox6", "Edit7"};
    QTest::newRow("second item of group 4 selected")
        << 2 << QStringList{"Ename", "Edit1",   "CheckListBox2", "RadioGroup4/2",
                            "Edit5", "Button1", "CheckListBox6", "Edit7"};
    QTest::newRow("last item of group 4 selected")
        << 3 << QStringList{"Ename", "Edit1",   "CheckListBox2", "RadioGroup4/3",
                            "Edit5", "Button1", "CheckListBox6", "Edit7"};
}

void WindowKeyboardTest::tabVisitsAnswerControlsInOrderAndWraps()
{
    QFETCH(int, clickedItemOfGroup4);
    QFETCH(QStringList, order);

    ActiveSheet s;
    QVERIFY(s.ready());
    QWidget* window = s.sheet->window();
    if (clickedItemOfGroup4 > 0) {
        QTest::mouseClick(radioItem(*s.sheet, 4, clickedItemOfGroup4), Qt::LeftButton);
        QCOMPARE(selectedItem(*s.sheet, 4), clickedItemOfGroup4);
    }
    s.sheet->control(QStringLiteral("Ename"))->setFocus(Qt::OtherFocusReason);
    QCOMPARE(nameOfFocus(), QStringLiteral("Ename"));

    QStringList forward{nameOfFocus()};
    for (int i = 0; i < order.size(); ++i) {
        press(window, Qt::Key_Tab);
        forward << nameOfFocus();
    }
    QCOMPARE(forward, order + QStringList{order.first()});

    QStringList backward{nameOfFocus()};
    for (int i = 0; i < order.size(); ++i) {
        press(window, Qt::Key_Backtab, Qt::ShiftModifier);
        backward.prepend(nameOfFocus());
    }
    QCOMPARE(backward, order + QStringList{order.first()});
    // Tabbing selects nothing.
    QCOMPARE(selectedItem(*s.sheet, 3), 0);
    QCOMPARE(selectedItem(*s.sheet, 4), clickedItemOfGroup4);
}

void WindowKeyboardTest::firstFocusGoesToFirstTabStop_data()
{
    QTest::addColumn<Lines>("questionnaire");
    QTest::addColumn<QString>("focus");

    QTest::newRow("name field shown") << kQuestionnaire << "Ename";
    QTest::newRow("no name field") << withoutNamePrompt(kQuestionnaire) << "Edit1";
    QTest::newRow("no name field, radio question first")
        << Lines{"t", "d", "", "[R]r", "a", "b", "", "[C]c", "x"} << "CheckListBox2";
    QTest::newRow("radio questions only") << Lines{"t", "d", "", "[R]r", "a", "", "[R]s", "b"} << "Button1";
}

void WindowKeyboardTest::firstFocusGoesToFirstTabStop()
{
    QFETCH(Lines, questionnaire);
    QFETCH(QString, focus);

    ActiveSheet s(questionnaire);
    QVERIFY(s.ready());
    QTRY_COMPARE(nameOfFocus(), focus);
    // Taking the first focus selects nothing.
    QCOMPARE(selectedItem(*s.sheet, 1), 0);
}

void WindowKeyboardTest::arrowsMoveTheSelectionAroundTheGroup_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("to");

    QTest::newRow("down") << 1 << int(Qt::Key_Down) << 2;
    QTest::newRow("right") << 2 << int(Qt::Key_Right) << 3;
    QTest::newRow("down from the last wraps") << 3 << int(Qt::Key_Down) << 1;
    QTest::newRow("right from the last wraps") << 3 << int(Qt::Key_Right) << 1;
    QTest::newRow("up") << 3 << int(Qt::Key_Up) << 2;
    QTest::newRow("left") << 2 << int(Qt::Key_Left) << 1;
    QTest::newRow("up from the first wraps") << 1 << int(Qt::Key_Up) << 3;
    QTest::newRow("left from the first wraps") << 1 << int(Qt::Key_Left) << 3;
}

void WindowKeyboardTest::arrowsMoveTheSelectionAroundTheGroup()
{
    QFETCH(int, from);
    QFETCH(int, key);
    QFETCH(int, to);

    ActiveSheet s;
    QVERIFY(s.ready());
    QTest::mouseClick(radioItem(*s.sheet, 4, from), Qt::LeftButton);
    QCOMPARE(nameOfFocus(), QStringLiteral("RadioGroup4/%1").arg(from));

    press(s.sheet->window(), Qt::Key(key));
    QCOMPARE(nameOfFocus(), QStringLiteral("RadioGroup4/%1").arg(to));
    QCOMPARE(selectedItem(*s.sheet, 4), to);
}

void WindowKeyboardTest::itemReachedByArrowIsTheOnlyTabStop()
{
    ActiveSheet s;
    QVERIFY(s.ready());
    QWidget* window = s.sheet->window();
    QTest::mouseClick(radioItem(*s.sheet, 4, 1), Qt::LeftButton);
    press(window, Qt::Key_Down);
    QCOMPARE(nameOfFocus(), QStringLiteral("RadioGroup4/2"));

    // The group is left and entered again at its selected item, from either side.
    press(window, Qt::Key_Tab);
    QCOMPARE(nameOfFocus(), QStringLiteral("Edit5"));
    press(window, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(nameOfFocus(), QStringLiteral("RadioGroup4/2"));
    press(window, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(nameOfFocus(), QStringLiteral("CheckListBox2"));
    press(window, Qt::Key_Tab);
    QCOMPARE(nameOfFocus(), QStringLiteral("RadioGroup4/2"));
}

void WindowKeyboardTest::clickOnRadioItemSelectsIt()
{
    ActiveSheet s;
    QVERIFY(s.ready());
    QRadioButton* second = radioItem(*s.sheet, 3, 2);
    QVERIFY(second);
    // On the text's right part, away from the circle.
    QTest::mouseClick(second, Qt::LeftButton, {}, QPoint(second->width() - 3, second->height() / 2));
    QCOMPARE(selectedItem(*s.sheet, 3), 2);
    QCOMPARE(nameOfFocus(), QStringLiteral("RadioGroup3/2"));

    QTest::mouseClick(radioItem(*s.sheet, 3, 3), Qt::LeftButton);
    QCOMPARE(selectedItem(*s.sheet, 3), 3);
    QVERIFY(!second->isChecked());
}

void WindowKeyboardTest::radioGroupFocusedWithoutSelectionStaysNoTabStop()
{
    ActiveSheet s;
    QVERIFY(s.ready());
    QWidget* window = s.sheet->window();
    // The panel's access key reaches the group as a whole; leaving it again
    // must not leave a tab stop behind while nothing is selected.
    QTest::keyClick(window, Qt::Key_C, Qt::AltModifier);
    QTRY_COMPARE(nameOfFocus(), QStringLiteral("RadioGroup3"));
    press(window, Qt::Key_Tab);
    QCOMPARE(nameOfFocus(), QStringLiteral("Edit5"));
    press(window, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(nameOfFocus(), QStringLiteral("CheckListBox2"));
    QCOMPARE(selectedItem(*s.sheet, 3), 0);

    // From the group itself, Down selects the first item.
    QTest::keyClick(window, Qt::Key_C, Qt::AltModifier);
    QTRY_COMPARE(nameOfFocus(), QStringLiteral("RadioGroup3"));
    press(window, Qt::Key_Down);
    QCOMPARE(selectedItem(*s.sheet, 3), 1);
    QCOMPARE(nameOfFocus(), QStringLiteral("RadioGroup3/1"));
}

void WindowKeyboardTest::checkListToggles_data()
{
    QTest::addColumn<bool>("byMouse");

    QTest::newRow("space") << false;
    QTest::newRow("click on the box") << true;
}

void WindowKeyboardTest::checkListToggles()
{
    QFETCH(bool, byMouse);

    ActiveSheet s;
    QVERIFY(s.ready());
    auto* list = s.sheet->control<QListWidget>(QStringLiteral("CheckListBox2"));
    QVERIFY(list);
    list->setFocus(Qt::TabFocusReason);
    list->setCurrentRow(1);

    QList<Qt::CheckState> states;
    for (int i = 0; i < 3; ++i) {
        if (byMouse)
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, mirunea::test::checkBoxCentre(list, 1));
        else
            press(s.sheet->window(), Qt::Key_Space);
        states << list->item(1)->checkState();
    }
    // Two states only, and only the item worked on changes.
    QCOMPARE(states, (QList<Qt::CheckState>{Qt::Checked, Qt::Unchecked, Qt::Checked}));
    QCOMPARE(list->item(0)->checkState(), Qt::Unchecked);
    QCOMPARE(list->item(2)->checkState(), Qt::Unchecked);
}

void WindowKeyboardTest::checkListShowsItemsAsTypedOneLineHigh()
{
    ActiveSheet s;
    QVERIFY(s.ready());
    auto* list = s.sheet->control<QListWidget>(QStringLiteral("CheckListBox2"));
    QVERIFY(list);
    QCOMPARE(list->item(0)->text(), QStringLiteral("A&B"));
    // Alt+B is panel 2's key, not the first item's: the list takes the focus, no item is ticked.
    QTest::keyClick(s.sheet->window(), Qt::Key_B, Qt::AltModifier);
    QTRY_COMPARE(nameOfFocus(), QStringLiteral("CheckListBox2"));
    QCOMPARE(list->item(0)->checkState(), Qt::Unchecked);
    // One text line of the 15 px font: 15 px, or the 16 px Qt rounds this
    // face's line to; not the list's default of 17.
    const int lineHeight = QFontMetrics(list->font()).height();
    for (int row = 0; row < list->count(); ++row) {
        const int height = list->visualItemRect(list->item(row)).height();
        QVERIFY2(height >= 15 && height <= lineHeight, qPrintable(QString::number(height)));
    }
    QCOMPARE(list->visualItemRect(list->item(1)).top(), list->visualItemRect(list->item(0)).bottom() + 1);
}

void WindowKeyboardTest::accessKeysMoveTheFocus_data()
{
    QTest::addColumn<int>("clickedItemOfGroup4"); // 0: nothing selected
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("selectedInGroup3");

    QTest::newRow("edit panel") << 0 << int(Qt::Key_A) << "Edit1" << 0;
    QTest::newRow("check-list panel") << 0 << int(Qt::Key_B) << "CheckListBox2" << 0;
    QTest::newRow("radio panel without selection: the group, nothing selected")
        << 0 << int(Qt::Key_C) << "RadioGroup3" << 0;
    QTest::newRow("radio panel with selection: the selected item") << 2 << int(Qt::Key_E) << "RadioGroup4/2" << 0;
    QTest::newRow("edit panel in the right column") << 0 << int(Qt::Key_F) << "Edit5" << 0;
    QTest::newRow("radio item selects it") << 0 << int(Qt::Key_K) << "RadioGroup3/2" << 2;
    QTest::newRow("another radio item") << 0 << int(Qt::Key_U) << "RadioGroup3/3" << 3;
    QTest::newRow("title label does nothing") << 0 << int(Qt::Key_L) << "Ename" << 0;
    QTest::newRow("description label does nothing") << 0 << int(Qt::Key_D) << "Ename" << 0;
    QTest::newRow("name prompt label does nothing") << 0 << int(Qt::Key_N) << "Ename" << 0;
}

void WindowKeyboardTest::accessKeysMoveTheFocus()
{
    QFETCH(int, clickedItemOfGroup4);
    QFETCH(int, key);
    QFETCH(QString, focus);
    QFETCH(int, selectedInGroup3);

    ActiveSheet s;
    QVERIFY(s.ready());
    if (clickedItemOfGroup4 > 0)
        QTest::mouseClick(radioItem(*s.sheet, 4, clickedItemOfGroup4), Qt::LeftButton);
    s.sheet->control(QStringLiteral("Ename"))->setFocus(Qt::OtherFocusReason);

    press(s.sheet->window(), Qt::Key(key), Qt::AltModifier);
    QTRY_COMPARE(nameOfFocus(), focus);
    QTRY_COMPARE(selectedItem(*s.sheet, 3), selectedInGroup3);
    QCOMPARE(selectedItem(*s.sheet, 4), clickedItemOfGroup4);
    // Access keys type nothing into the name field.
    QCOMPARE(s.sheet->control<QLineEdit>(QStringLiteral("Ename"))->text(), QString());
}

void WindowKeyboardTest::doubleAmpersandShowsOneAmpersand()
{
    ActiveSheet s({"A&&B", "", "", "[R]C&&D(&H)", "E&&F", "[T]", ""});
    QVERIFY(s.ready());
    QCOMPARE(mirunea::test::shownText(s.sheet->control<QLabel>(QStringLiteral("Label1"))), QStringLiteral("A&B"));
    QCOMPARE(accessibleText(s.sheet->control(QStringLiteral("GroupBox1"))), QStringLiteral("C&D(H)"));
    QCOMPARE(accessibleText(radioItem(*s.sheet, 1, 1)), QStringLiteral("E&F"));
    // "&&" marks no key: Alt+B, Alt+D and Alt+F reach nothing, while "&H" still works.
    for (Qt::Key key : {Qt::Key_B, Qt::Key_D, Qt::Key_F})
        QTest::keyClick(s.sheet->window(), key, Qt::AltModifier);
    QCOMPARE(selectedItem(*s.sheet, 1), 0);
    QTest::keyClick(s.sheet->window(), Qt::Key_H, Qt::AltModifier);
    QTRY_COMPARE(nameOfFocus(), QStringLiteral("RadioGroup1"));
}

void WindowKeyboardTest::keysThatSendAndKeysThatDoNot_data()
{
    QTest::addColumn<QString>("focus"); // "RadioGroup4/1" is clicked first
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("sends");

    const int none = Qt::NoModifier;
    QTest::newRow("Return in the name edit") << "Ename" << int(Qt::Key_Return) << none << false;
    QTest::newRow("keypad Enter in the name edit") << "Ename" << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << false;
    QTest::newRow("Return in an answer edit") << "Edit1" << int(Qt::Key_Return) << none << false;
    QTest::newRow("Return in a check list") << "CheckListBox2" << int(Qt::Key_Return) << none << false;
    QTest::newRow("Return on a radio item") << "RadioGroup4/1" << int(Qt::Key_Return) << none << false;
    QTest::newRow("Escape in the name edit") << "Ename" << int(Qt::Key_Escape) << none << false;
    QTest::newRow("Escape on the send button") << "Button1" << int(Qt::Key_Escape) << none << false;
    QTest::newRow("Shift+Return on the send button")
        << "Button1" << int(Qt::Key_Return) << int(Qt::ShiftModifier) << false;
    QTest::newRow("Ctrl+Return on the send button")
        << "Button1" << int(Qt::Key_Return) << int(Qt::ControlModifier) << false;
    QTest::newRow("Alt+Return on the send button") << "Button1" << int(Qt::Key_Return) << int(Qt::AltModifier) << false;
    QTest::newRow("Return on the send button") << "Button1" << int(Qt::Key_Return) << none << true;
    QTest::newRow("keypad Enter on the send button")
        << "Button1" << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << true;
}

void WindowKeyboardTest::keysThatSendAndKeysThatDoNot()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, sends);

    ActiveSheet s;
    QVERIFY(s.ready());
    QTest::mouseClick(radioItem(*s.sheet, 4, 1), Qt::LeftButton);
    if (!focus.startsWith(QLatin1String("RadioGroup")))
        s.sheet->control(focus)->setFocus(Qt::TabFocusReason);
    QCOMPARE(nameOfFocus(), focus);

    press(s.sheet->window(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));

    QCOMPARE(s.folder.hasAnswerFile(), sends);
    QCOMPARE(s.boxes.seen().size(), sends ? 1u : 0u);
    if (sends)
        QCOMPARE(s.boxes.seen().front().text, QString::fromUtf8("送信しました"));
    // Nothing closes the window either.
    QVERIFY(s.sheet->window()->isVisible());
    QCOMPARE(selectedItem(*s.sheet, 4), 1);
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
