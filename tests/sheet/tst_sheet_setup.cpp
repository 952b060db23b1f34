// Filling the answer sheet from data.txt at the window's creation, and the
// window that opens when data.txt cannot be read.
#include "sheet_fixture.h"

#include <QGroupBox>
#include <QImage>
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
using mirunea::test::shownText;
using Lines = std::vector<std::string>;
Q_DECLARE_METATYPE(Lines)
Q_DECLARE_METATYPE(mirunea::test::CloseBy)

namespace {

// The sheet opened in a fresh folder holding the questionnaire given (none
// for std::nullopt); any message box is closed and kept.
struct SetUpSheet
{
    explicit SetUpSheet(const std::optional<Lines>& questionnaire, CloseBy closeBy = CloseBy::Return)
        : boxes(closeBy)
    {
        written = folder.isValid() && (!questionnaire || folder.writeQuestionnaire(*questionnaire));
        sheet = std::make_unique<OpenSheet>();
        boxesBeforeShow = boxes.seen().size();
        shown = sheet->showActive();
    }

    [[nodiscard]] bool ready() const { return written && shown; }
    [[nodiscard]] bool readyWithoutBox() const { return ready() && boxes.seen().empty(); }

    QWidget* control(const QString& stem, int q) { return sheet->control(stem + QString::number(q)); }

    SheetFolder folder;
    ModalBoxWatcher boxes;
    std::unique_ptr<OpenSheet> sheet;
    std::size_t boxesBeforeShow = 0;
    bool written = false;
    bool shown = false;
};

// "R", "C", "T" for the answer control shown in panel q, "-" for a hidden
// panel, "?" for none or several shown.
QString shownKind(SetUpSheet& s, int q)
{
    if (!s.control(QStringLiteral("GroupBox"), q)->isVisible())
        return QStringLiteral("-");
    QString kinds;
    if (s.control(QStringLiteral("RadioGroup"), q)->isVisible())
        kinds += u'R';
    if (s.control(QStringLiteral("CheckListBox"), q)->isVisible())
        kinds += u'C';
    if (s.control(QStringLiteral("Edit"), q)->isVisible())
        kinds += u'T';
    return kinds.size() == 1 ? kinds : QStringLiteral("?");
}

QStringList radioItemTexts(QWidget* group)
{
    QStringList texts;
    for (const QRadioButton* item : group->findChildren<QRadioButton*>())
        texts << item->text();
    return texts;
}

QStringList checkListTexts(QWidget* list)
{
    QStringList texts;
    const auto* widget = qobject_cast<QListWidget*>(list);
    for (int row = 0; widget && row < widget->count(); ++row)
        texts << widget->item(row)->text();
    return texts;
}

Lines tenTextQuestions()
{
    Lines lines{"title", "description", "name"};
    for (int q = 1; q <= 10; ++q)
        lines.push_back("[T]question " + std::to_string(q));
    return lines;
}

const Lines kThreeKinds = {
    "給食アンケート",
    "正直に答えてください",
    "氏名",
    "[R]好きな&季節は？",
    "春",
    "夏&秋",
    "冬",
    "",
    "[T]ご&意見",
    "[C]クラブ",
    "美術",
    "A&B",
};

} // namespace

class SheetSetupTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void panelsShowTheQuestionsOnly_data();
    void panelsShowTheQuestionsOnly();
    void labelsAndNameFieldShowTheHeader_data();
    void labelsAndNameFieldShowTheHeader();
    void answerControlsHoldTheChoicesInOrder();
    void unusedControlsKeepTheirDesignTimeState();
    void choiceQuestionWithoutChoicesShowsAnEmptyControl_data();
    void choiceQuestionWithoutChoicesShowsAnEmptyControl();
    void accessibleNamesAreTheQuestionTexts();
    void answerControlsTakeTheirColours_data();
    void answerControlsTakeTheirColours();
    void missingQuestionnaireShowsErrorBoxThenDesignTimeWindow_data();
    void missingQuestionnaireShowsErrorBoxThenDesignTimeWindow();
};

void SheetSetupTest::panelsShowTheQuestionsOnly_data()
{
    QTest::addColumn<Lines>("questionnaire");
    QTest::addColumn<QString>("kinds"); // per panel 1 to 10, as shownKind() gives them
    QTest::addColumn<QString>("hints"); // per shown panel: R one choice, C several, T text

    QTest::newRow("three kinds") << kThreeKinds << "RTC-------"
                                 << "RTC";
    QTest::newRow("ten text questions") << tenTextQuestions() << "TTTTTTTTTT"
                                        << "TTTTTTTTTT";
    QTest::newRow("eleven questions keep ten") << Lines{"t",    "d",    "n",    "[C]1", "[C]2", "[C]3",  "[C]4",
                                                        "[C]5", "[R]6", "[R]7", "[R]8", "[R]9", "[T]10", "[T]11"}
                                               << "CCCCCRRRRT"
                                               << "CCCCCRRRRT";
    QTest::newRow("no questions") << Lines{"title", "description", "name"} << "----------"
                                  << "";
    QTest::newRow("empty file") << Lines{} << "----------"
                                << "";
    QTest::newRow("sixth panel is the top of the right column")
        << Lines{"t", "d", "", "[T]1", "[T]2", "[T]3", "[T]4", "[T]5", "[R]6", "x"} << "TTTTTR----"
        << "TTTTTR";
}

void SheetSetupTest::panelsShowTheQuestionsOnly()
{
    QFETCH(Lines, questionnaire);
    QFETCH(QString, kinds);
    QFETCH(QString, hints);

    SetUpSheet s(questionnaire);
    QVERIFY(s.readyWithoutBox());
    QString shown;
    for (int q = 1; q <= 10; ++q)
        shown += shownKind(s, q);
    QCOMPARE(shown, kinds);

    const QMap<QChar, QString> hintOf{{u'R', QString::fromUtf8("一つ選択")},
                                      {u'C', QString::fromUtf8("複数選択可")},
                                      {u'T', QString::fromUtf8("ここに入力")}};
    for (int q = 1; q <= hints.size(); ++q) {
        auto* hint = qobject_cast<QLabel*>(s.control(QStringLiteral("Lbl"), q));
        QVERIFY(hint->isVisible());
        QCOMPARE(shownText(hint), hintOf.value(hints.at(q - 1)));
    }
}

void SheetSetupTest::labelsAndNameFieldShowTheHeader_data()
{
    QTest::addColumn<Lines>("questionnaire");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<bool>("nameField");

    QTest::newRow("all three") << kThreeKinds << QString::fromUtf8("給食アンケート")
                               << QString::fromUtf8("正直に答えてください") << QString::fromUtf8("氏名") << true;
    QTest::newRow("empty line 3 hides the name field") << Lines{"t", "d", "", "[T]q"} << "t"
                                                       << "d"
                                                       << "" << false;
    QTest::newRow("file of one line") << Lines{"only a title"} << "only a title"
                                      << ""
                                      << "" << false;
    // "ソ" and "表" end in byte 5C, the code of "\" in ASCII.
    QTest::newRow("Shift-JIS trail bytes 5C")
        << Lines{"ソフト表示", "能力", "出席番号"} << QString::fromUtf8("ソフト表示") << QString::fromUtf8("能力")
        << QString::fromUtf8("出席番号") << true;
    QTest::newRow("access key marks") << Lines{"&Title", "A&&B", "&Name"} << "Title"
                                      << "A&B"
                                      << "Name" << true;
    QTest::newRow("markers in the header are text") << Lines{"[R]t", "[C]d", "[T]n"} << "[R]t"
                                                    << "[C]d"
                                                    << "[T]n" << true;
}

void SheetSetupTest::labelsAndNameFieldShowTheHeader()
{
    QFETCH(Lines, questionnaire);
    QFETCH(QString, title);
    QFETCH(QString, description);
    QFETCH(QString, prompt);
    QFETCH(bool, nameField);

    SetUpSheet s(questionnaire);
    QVERIFY(s.readyWithoutBox());
    QCOMPARE(shownText(s.sheet->control<QLabel>(QStringLiteral("Label1"))), title);
    QCOMPARE(shownText(s.sheet->control<QLabel>(QStringLiteral("Label2"))), description);
    QCOMPARE(shownText(s.sheet->control<QLabel>(QStringLiteral("Label3"))), prompt);
    QCOMPARE(s.sheet->control(QStringLiteral("Ename"))->isVisible(), nameField);
    // Without a prompt the label stays, blank, and shows nothing at all.
    QVERIFY(s.sheet->control(QStringLiteral("Label3"))->isVisible());
}

void SheetSetupTest::answerControlsHoldTheChoicesInOrder()
{
    SetUpSheet s(kThreeKinds);
    QVERIFY(s.readyWithoutBox());

    // Radio items take "&" as an access-key mark, check-list items show it.
    QCOMPARE(radioItemTexts(s.control(QStringLiteral("RadioGroup"), 1)),
             (QStringList{QString::fromUtf8("春"), QString::fromUtf8("夏&秋"), QString::fromUtf8("冬")}));
    QCOMPARE(checkListTexts(s.control(QStringLiteral("CheckListBox"), 3)),
             (QStringList{QString::fromUtf8("美術"), QStringLiteral("A&B")}));
    QCOMPARE(qobject_cast<QLineEdit*>(s.control(QStringLiteral("Edit"), 2))->text(), QString());

    // Captions are the question texts as written, "&" included.
    QCOMPARE(qobject_cast<QGroupBox*>(s.control(QStringLiteral("GroupBox"), 1))->title(),
             QString::fromUtf8("好きな&季節は？"));
    QCOMPARE(qobject_cast<QGroupBox*>(s.control(QStringLiteral("GroupBox"), 2))->title(), QString::fromUtf8("ご&意見"));
    QCOMPARE(qobject_cast<QGroupBox*>(s.control(QStringLiteral("GroupBox"), 3))->title(), QString::fromUtf8("クラブ"));

    // Nothing chosen or ticked at first.
    for (const QRadioButton* item : s.control(QStringLiteral("RadioGroup"), 1)->findChildren<QRadioButton*>())
        QVERIFY(!item->isChecked());
    const auto* list = qobject_cast<QListWidget*>(s.control(QStringLiteral("CheckListBox"), 3));
    for (int row = 0; row < list->count(); ++row)
        QCOMPARE(list->item(row)->checkState(), Qt::Unchecked);
}

void SheetSetupTest::unusedControlsKeepTheirDesignTimeState()
{
    SetUpSheet s(kThreeKinds);
    QVERIFY(s.readyWithoutBox());

    // The edits of choice panels and of hidden panels keep their text, hidden.
    for (int q : {1, 3, 4, 10}) {
        auto* edit = qobject_cast<QLineEdit*>(s.control(QStringLiteral("Edit"), q));
        QCOMPARE(edit->text(), QStringLiteral("Edit1"));
        QVERIFY(!edit->isVisible());
    }
    // Hidden panels keep their design-time caption and hint.
    for (int q : {4, 10}) {
        QCOMPARE(qobject_cast<QGroupBox*>(s.control(QStringLiteral("GroupBox"), q))->title(),
                 QStringLiteral("GroupBox1"));
        QCOMPARE(shownText(qobject_cast<QLabel*>(s.control(QStringLiteral("Lbl"), q))),
                 QString::fromUtf8("複数選択可"));
    }
    QVERIFY(radioItemTexts(s.control(QStringLiteral("RadioGroup"), 3)).isEmpty());
    QVERIFY(checkListTexts(s.control(QStringLiteral("CheckListBox"), 1)).isEmpty());
}

void SheetSetupTest::choiceQuestionWithoutChoicesShowsAnEmptyControl_data()
{
    QTest::addColumn<QString>("marker");
    QTest::addColumn<QString>("control");

    QTest::newRow("radio group") << "[R]"
                                 << "RadioGroup";
    QTest::newRow("check list") << "[C]"
                                << "CheckListBox";
}

void SheetSetupTest::choiceQuestionWithoutChoicesShowsAnEmptyControl()
{
    QFETCH(QString, marker);
    QFETCH(QString, control);

    // The first question ends at once, at the next marker line.
    const std::string m = marker.toStdString();
    SetUpSheet s(Lines{"t", "d", "n", m + "empty", m + "two", "a", "b"});
    QVERIFY(s.readyWithoutBox());
    QCOMPARE(shownKind(s, 1), marker.mid(1, 1));
    QWidget* empty = s.control(control, 1);
    QVERIFY(empty->isVisible());
    QCOMPARE(radioItemTexts(empty).size() + checkListTexts(empty).size(), 0);
    QWidget* full = s.control(control, 2);
    QCOMPARE(radioItemTexts(full) + checkListTexts(full), (QStringList{"a", "b"}));
}

void SheetSetupTest::accessibleNamesAreTheQuestionTexts()
{
    SetUpSheet s(Lines{"t", "d", "お&名前", "[R]好きな&色", "赤", "", "[C]A&&B", "x", "", "[T]ご意見(&O)"});
    QVERIFY(s.readyWithoutBox());
    QCOMPARE(s.sheet->control(QStringLiteral("Ename"))->accessibleName(), QString::fromUtf8("お名前"));
    QCOMPARE(s.control(QStringLiteral("RadioGroup"), 1)->accessibleName(), QString::fromUtf8("好きな色"));
    QCOMPARE(s.control(QStringLiteral("CheckListBox"), 2)->accessibleName(), QStringLiteral("A&B"));
    QCOMPARE(s.control(QStringLiteral("Edit"), 3)->accessibleName(), QString::fromUtf8("ご意見(O)"));
}

void SheetSetupTest::answerControlsTakeTheirColours_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QPoint>("point"); // inside that control, clear of text and frame
    QTest::addColumn<QRgb>("colour");

    const QRgb silver = qRgb(192, 192, 192);
    const QRgb white = qRgb(255, 255, 255);
    QTest::newRow("radio group beside its items") << "RadioGroup1" << QPoint(370, 70) << silver;
    QTest::newRow("hint label") << "Lbl1" << QPoint(0, 0) << silver;
    QTest::newRow("check list below its items") << "CheckListBox3" << QPoint(370, 70) << white;
    QTest::newRow("answer edit") << "Edit2" << QPoint(370, 11) << white;
    QTest::newRow("name edit") << "Ename" << QPoint(200, 11) << white;
    QTest::newRow("name prompt on the window") << "Label3" << QPoint(0, 0) << qRgb(192, 220, 192);
}

void SheetSetupTest::answerControlsTakeTheirColours()
{
    QFETCH(QString, control);
    QFETCH(QPoint, point);
    QFETCH(QRgb, colour);

    SetUpSheet s(kThreeKinds);
    QVERIFY(s.readyWithoutBox());
    QWidget* widget = s.sheet->control(control);
    const QPoint inWindow = widget->mapTo(s.sheet->window(), point);
    const QRgb pixel = s.sheet->window()->grab().toImage().pixel(inWindow);
    QCOMPARE(QColor(pixel).name(), QColor(colour).name());
}

void SheetSetupTest::missingQuestionnaireShowsErrorBoxThenDesignTimeWindow_data()
{
    QTest::addColumn<CloseBy>("closeBy");

    QTest::newRow("box closed by Return") << CloseBy::Return;
    QTest::newRow("box closed by Escape") << CloseBy::Escape;
    QTest::newRow("box closed by its button") << CloseBy::OkButton;
}

void SheetSetupTest::missingQuestionnaireShowsErrorBoxThenDesignTimeWindow()
{
    QFETCH(CloseBy, closeBy);

    SetUpSheet s(std::nullopt, closeBy);
    QVERIFY(s.ready());

    // The box came during the window's creation, before the window was shown.
    QCOMPARE(s.boxesBeforeShow, 1u);
    QCOMPARE(s.boxes.seen().size(), 1u);
    const mirunea::test::SeenBox& box = s.boxes.seen().front();
    QCOMPARE(box.caption, QString::fromUtf8("ミルネア"));
    QCOMPARE(box.text, QString::fromUtf8("ファイルが見つかりません."));
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.buttonTexts, QStringList{"OK"});
    QVERIFY(!box.buttonHasIcon);
    QVERIFY(!box.sheetWindowVisible);

    QCOMPARE(shownText(s.sheet->control<QLabel>(QStringLiteral("Label1"))), QStringLiteral("Label1"));
    QCOMPARE(shownText(s.sheet->control<QLabel>(QStringLiteral("Label2"))), QString::fromUtf8("このアンケートの説明"));
    QCOMPARE(shownText(s.sheet->control<QLabel>(QStringLiteral("Label3"))), QString::fromUtf8("氏名"));
    QVERIFY(s.sheet->control(QStringLiteral("Ename"))->isVisible());
    QVERIFY(s.sheet->control(QStringLiteral("Button1"))->isVisible());
    for (int q = 1; q <= 10; ++q)
        QCOMPARE(shownKind(s, q), QStringLiteral("-"));
    for (const std::string& code : s.sheet->form().typeCodes())
        QVERIFY(code.empty());
    // No file was made or left behind.
    QVERIFY(!s.folder.hasAnswerFile());
}

QTEST_MAIN(SheetSetupTest)
#include "tst_sheet_setup.moc"
