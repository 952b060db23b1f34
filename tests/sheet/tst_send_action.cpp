// Pressing the send button: the answers read from the controls into this
// computer's answer file, the confirmation, and a write that fails.
#include "sheet_fixture.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QScreen>
#include <QTest>

#include <memory>

using mirunea::test::CloseBy;
using mirunea::test::expectedAnswerFile;
using mirunea::test::ModalBoxWatcher;
using mirunea::test::OpenSheet;
using mirunea::test::SheetFolder;
using Lines = std::vector<std::string>;
Q_DECLARE_METATYPE(Lines)
Q_DECLARE_METATYPE(mirunea::test::CloseBy)

namespace {

// The sheet opened in a fresh folder and shown; message boxes are closed as
// given and kept.
struct SendingSheet
{
    explicit SendingSheet(const std::optional<Lines>& questionnaire, CloseBy closeBy = CloseBy::Return)
        : boxes(closeBy)
    {
        written = folder.isValid() && (!questionnaire || folder.writeQuestionnaire(*questionnaire));
        sheet = std::make_unique<OpenSheet>();
        shown = sheet->showActive();
    }

    [[nodiscard]] bool ready() const { return written && shown; }

    QWidget* control(const QString& stem, int q) { return sheet->control(stem + QString::number(q)); }

    // Types as the respondent does: ASCII by keys, other text committed by the input method.
    void type(const QString& editName, const QString& text)
    {
        auto* edit = sheet->control<QLineEdit>(editName);
        edit->setFocus(Qt::MouseFocusReason);
        edit->selectAll();
        bool ascii = true;
        for (QChar c : text)
            ascii = ascii && c.unicode() >= 0x20 && c.unicode() < 0x7F;
        if (ascii && !text.isEmpty()) {
            QTest::keyClicks(edit, text);
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(text);
            QApplication::sendEvent(edit, &commit);
        }
    }

    // "name=…", "R<q>=<item>", "C<q>=<item>" (toggles), "T<q>=…".
    void answer(const QString& action)
    {
        const QString key = action.section(u'=', 0, 0);
        const QString value = action.section(u'=', 1);
        const int q = key.mid(1).toInt();
        if (key == QLatin1String("name")) {
            type(QStringLiteral("Ename"), value);
        } else if (key.startsWith(u'R')) {
            QTest::mouseClick(mirunea::test::radioItem(control(QStringLiteral("RadioGroup"), q), value.toInt()),
                              Qt::LeftButton);
        } else if (key.startsWith(u'C')) {
            auto* list = qobject_cast<QListWidget*>(control(QStringLiteral("CheckListBox"), q));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              mirunea::test::checkBoxCentre(list, value.toInt() - 1));
        } else if (key.startsWith(u'T')) {
            type(QStringLiteral("Edit%1").arg(q), value);
        }
    }

    void send() { QTest::mouseClick(sheet->control(QStringLiteral("Button1")), Qt::LeftButton); }

    SheetFolder folder;
    ModalBoxWatcher boxes;
    std::unique_ptr<OpenSheet> sheet;
    bool written = false;
    bool shown = false;
};

const Lines kThreeKinds = {
    "給食アンケート",
    "正直に答えてください",
    "氏名",
    "[R]好きな季節は？",
    "春",
    "夏",
    "冬",
    "",
    "[T]ご意見",
    "[C]クラブ",
    "美術",
    "音楽",
    "体育",
};

Lines tenQuestions()
{
    Lines lines{"t", "d", "n"};
    for (int q = 1; q <= 9; ++q)
        lines.push_back("[T]q" + std::to_string(q));
    lines.insert(lines.end(), {"[R]q10", "a", "b"});
    return lines;
}

Lines fromStringList(const QStringList& list)
{
    Lines lines;
    for (const QString& line : list)
        lines.push_back(line.toStdString());
    return lines;
}

} // namespace

class SendActionTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void answersAreWrittenAsShown_data();
    void answersAreWrittenAsShown();
    void secondSendReplacesTheFirst();
    void unreadableQuestionnaireSendsNameOnly();
    void confirmationIsCentredAndClosesEveryWay_data();
    void confirmationIsCentredAndClosesEveryWay();
    void failedWriteKeepsTheAnswersForAnotherTry();
};

void SendActionTest::answersAreWrittenAsShown_data()
{
    QTest::addColumn<Lines>("questionnaire");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QStringList>("fileAfterName"); // the lines after the computer name

    QTest::newRow("every kind answered") << kThreeKinds
                                         << QStringList{"name=山田 太郎", "R1=2", "T2=とても良い", "C3=1", "C3=3"}
                                         << QStringList{"山田 太郎",  "[Q1R]", "0", "1", "0", "[Q2T]",
                                                        "とても良い", "[Q3C]", "1", "0", "1", "[END]"};
    QTest::newRow("nothing answered") << kThreeKinds << QStringList{}
                                      << QStringList{"", "[Q1R]", "0", "0", "0", "[Q2T]",
                                                     "", "[Q3C]", "0", "0", "0", "[END]"};
    QTest::newRow("ticked and unticked again")
        << kThreeKinds << QStringList{"name=Taro", "C3=2", "C3=2", "C3=3", "R1=1", "R1=3"}
        << QStringList{"Taro", "[Q1R]", "0", "0", "1", "[Q2T]", "", "[Q3C]", "0", "0", "1", "[END]"};
    QTest::newRow("texts that read like section lines")
        << kThreeKinds << QStringList{"name=[Q1R]", "T2=[END]"}
        << QStringList{"[Q1R]", "[Q1R]", "0", "0", "0", "[Q2T]", "[END]", "[Q3C]", "0", "0", "0", "[END]"};
    // "ソ" 83 5C and "表" 95 5C: trail bytes that read as "\".
    QTest::newRow("Shift-JIS text") << kThreeKinds << QStringList{"name=能登", "T2=ソフト表示"}
                                    << QStringList{"能登",       "[Q1R]", "0", "0", "0", "[Q2T]",
                                                   "ソフト表示", "[Q3C]", "0", "0", "0", "[END]"};
    QTest::newRow("name field hidden") << Lines{"t", "d", "", "[T]q"} << QStringList{"T1=x"}
                                       << QStringList{"", "[Q1T]", "x", "[END]"};
    QTest::newRow("choice questions without choices")
        << Lines{"t", "d", "n", "[R]r", "[C]c", "", "[T]t"} << QStringList{"T3=z"}
        << QStringList{"", "[Q1R]", "[Q2C]", "[Q3T]", "z", "[END]"};
    QTest::newRow("ten questions") << tenQuestions() << QStringList{"T1=first", "T9=ninth", "R10=2"}
                                   << QStringList{"", "[Q1T]", "first", "[Q2T]",  "",  "[Q3T]", "",     "[Q4T]",
                                                  "", "[Q5T]", "",      "[Q6T]",  "",  "[Q7T]", "",     "[Q8T]",
                                                  "", "[Q9T]", "ninth", "[Q10R]", "0", "1",     "[END]"};
}

void SendActionTest::answersAreWrittenAsShown()
{
    QFETCH(Lines, questionnaire);
    QFETCH(QStringList, answers);
    QFETCH(QStringList, fileAfterName);

    SendingSheet s(questionnaire);
    QVERIFY(s.ready());
    for (const QString& action : answers)
        s.answer(action);
    s.send();

    QCOMPARE(s.boxes.seen().size(), 1u);
    QCOMPARE(s.boxes.seen().front().text, QString::fromUtf8("送信しました"));
    QVERIFY(s.folder.hasAnswerFile());
    QCOMPARE(s.folder.answerFileBytes(), expectedAnswerFile(fromStringList(fileAfterName)));
}

void SendActionTest::secondSendReplacesTheFirst()
{
    SendingSheet s(kThreeKinds);
    QVERIFY(s.ready());
    for (const char* action : {"name=Hanako Yamada", "R1=1", "T2=a much longer first comment", "C3=1", "C3=2", "C3=3"})
        s.answer(QString::fromUtf8(action));
    s.send();
    QVERIFY(s.folder.hasAnswerFile());

    for (const char* action : {"name=Hanako", "R1=3", "T2=short", "C3=1", "C3=3"})
        s.answer(QString::fromUtf8(action));
    s.send();

    QCOMPARE(s.boxes.seen().size(), 2u);
    QCOMPARE(s.folder.answerFileBytes(),
             expectedAnswerFile({"Hanako", "[Q1R]", "0", "0", "1", "[Q2T]", "short", "[Q3C]", "0", "1", "0", "[END]"}));
}

void SendActionTest::unreadableQuestionnaireSendsNameOnly()
{
    SendingSheet s(std::nullopt);
    QVERIFY(s.ready());
    QCOMPARE(s.boxes.seen().size(), 1u); // the read failure
    s.answer(QStringLiteral("name=Jiro"));
    s.send();

    QCOMPARE(s.boxes.seen().size(), 2u);
    QCOMPARE(s.boxes.seen().back().text, QString::fromUtf8("送信しました"));
    QCOMPARE(s.folder.answerFileBytes(), expectedAnswerFile({"Jiro", "[END]"}));
}

void SendActionTest::confirmationIsCentredAndClosesEveryWay_data()
{
    QTest::addColumn<CloseBy>("closeBy");

    QTest::newRow("Return") << CloseBy::Return;
    QTest::newRow("Escape") << CloseBy::Escape;
    QTest::newRow("OK button") << CloseBy::OkButton;
    QTest::newRow("close box") << CloseBy::CloseBox;
}

void SendActionTest::confirmationIsCentredAndClosesEveryWay()
{
    QFETCH(CloseBy, closeBy);

    SendingSheet s(kThreeKinds, closeBy);
    QVERIFY(s.ready());
    s.answer(QStringLiteral("R1=2"));
    s.answer(QStringLiteral("T2=kept"));
    s.send(); // returns once the confirmation is closed

    QCOMPARE(s.boxes.seen().size(), 1u);
    const mirunea::test::SeenBox& box = s.boxes.seen().front();
    QCOMPARE(box.caption, QString::fromUtf8("ミルネア"));
    QCOMPARE(box.text, QString::fromUtf8("送信しました"));
    QCOMPARE(box.icon, QMessageBox::NoIcon);
    QCOMPARE(box.buttonTexts, QStringList{"OK"});
    QVERIFY(!box.buttonHasIcon);
    QVERIFY(box.sheetWindowVisible);
    // On the screen's centre, not over the window (whose centre lies elsewhere).
    const QPoint screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
    QVERIFY2((box.frame.center() - screenCentre).manhattanLength() <= 4,
             qPrintable(QStringLiteral("box centre %1,%2, screen centre %3,%4")
                            .arg(box.frame.center().x())
                            .arg(box.frame.center().y())
                            .arg(screenCentre.x())
                            .arg(screenCentre.y())));

    QVERIFY(!QApplication::activeModalWidget());
    // The window stays open with its answers.
    QVERIFY(s.sheet->window()->isVisible());
    QVERIFY(mirunea::test::radioItem(s.control(QStringLiteral("RadioGroup"), 1), 2)->isChecked());
    QCOMPARE(s.sheet->control<QLineEdit>(QStringLiteral("Edit2"))->text(), QStringLiteral("kept"));
}

void SendActionTest::failedWriteKeepsTheAnswersForAnotherTry()
{
    SendingSheet s(kThreeKinds);
    QVERIFY(s.ready());
    // A folder of the answer file's name denies its creation.
    const QString blocker = QString::fromStdString(SheetFolder::answerFileName());
    QVERIFY(QDir(s.folder.path()).mkdir(blocker));
    for (const char* action : {"name=Saburo", "R1=3", "T2=again", "C3=2"})
        s.answer(QString::fromUtf8(action));
    s.send();

    QCOMPARE(s.boxes.seen().size(), 1u);
    const mirunea::test::SeenBox& box = s.boxes.seen().front();
    QCOMPARE(box.caption, QString::fromUtf8("ミルネア"));
    QCOMPARE(box.text, QString::fromUtf8("ファイルへのアクセスが拒否されました."));
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.buttonTexts, QStringList{"OK"});
    QVERIFY(QFileInfo(QDir(s.folder.path()).filePath(blocker)).isDir());

    QVERIFY(s.sheet->window()->isVisible());
    QCOMPARE(s.sheet->control<QLineEdit>(QStringLiteral("Ename"))->text(), QStringLiteral("Saburo"));
    QVERIFY(mirunea::test::radioItem(s.control(QStringLiteral("RadioGroup"), 1), 3)->isChecked());

    QVERIFY(QDir(s.folder.path()).rmdir(blocker));
    s.send();
    QCOMPARE(s.boxes.seen().size(), 2u);
    QCOMPARE(s.boxes.seen().back().text, QString::fromUtf8("送信しました"));
    QCOMPARE(s.folder.answerFileBytes(),
             expectedAnswerFile({"Saburo", "[Q1R]", "0", "0", "1", "[Q2T]", "again", "[Q3C]", "0", "1", "0", "[END]"}));
}

QTEST_MAIN(SendActionTest)
#include "tst_send_action.moc"
