// What only the Qt backend has of the sheet set-up: the captions and items
// as Qt holds them, accessible names, and the error box Qt shows when
// data.txt cannot be read. The panels, texts, choices and colours the set-up
// gives are checked on every backend by tests/behaviour.
#include "sheet_fixture.h"
#include "tests/support/questionnaires.h"

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

const Lines& kThreeKinds = mirunea::test::kThreeKindsQuestionnaire;

} // namespace

class SheetSetupTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void answerControlsHoldTheChoicesInOrder();
    void accessibleNamesAreTheQuestionTexts();
    void missingQuestionnaireShowsErrorBoxThenDesignTimeWindow_data();
    void missingQuestionnaireShowsErrorBoxThenDesignTimeWindow();
};

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

void SheetSetupTest::accessibleNamesAreTheQuestionTexts()
{
    SetUpSheet s(Lines{"t", "d", "お&名前", "[R]好きな&色", "赤", "", "[C]A&&B", "x", "", "[T]ご意見(&O)"});
    QVERIFY(s.readyWithoutBox());
    QCOMPARE(s.sheet->control(QStringLiteral("Ename"))->accessibleName(), QString::fromUtf8("お名前"));
    QCOMPARE(s.control(QStringLiteral("RadioGroup"), 1)->accessibleName(), QString::fromUtf8("好きな色"));
    QCOMPARE(s.control(QStringLiteral("CheckListBox"), 2)->accessibleName(), QStringLiteral("A&B"));
    QCOMPARE(s.control(QStringLiteral("Edit"), 3)->accessibleName(), QString::fromUtf8("ご意見(O)"));
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
