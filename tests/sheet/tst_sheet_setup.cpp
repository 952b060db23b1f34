// What only the Qt backend has of the sheet set-up: the captions and items
// as Qt holds them, accessible names, and the error box Qt shows when
// data.txt cannot be read, closed every way it can be. The panels, texts,
// choices and colours the set-up gives, and the design-time window after a
// failed read, are checked on every backend by tests/behaviour.
#include "sheet_fixture.h"
#include "tests/support/questionnaires.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>

#include <optional>

using namespace mirunea::test;
using Lines = std::vector<std::string>;

namespace {

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
    void missingQuestionnaireShowsCriticalBoxBeforeTheWindow_data();
    void missingQuestionnaireShowsCriticalBoxBeforeTheWindow();
};

void SheetSetupTest::answerControlsHoldTheChoicesInOrder()
{
    OpenSheet s(kThreeKinds);
    QVERIFY(s.shownWithoutBox());

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
    OpenSheet s(Lines{"t", "d", "お&名前", "[R]好きな&色", "赤", "", "[C]A&&B", "x", "", "[T]ご意見(&O)"});
    QVERIFY(s.shownWithoutBox());
    QCOMPARE(s.control(QStringLiteral("Ename"))->accessibleName(), QString::fromUtf8("お名前"));
    QCOMPARE(s.control(QStringLiteral("RadioGroup"), 1)->accessibleName(), QString::fromUtf8("好きな色"));
    QCOMPARE(s.control(QStringLiteral("CheckListBox"), 2)->accessibleName(), QStringLiteral("A&B"));
    QCOMPARE(s.control(QStringLiteral("Edit"), 3)->accessibleName(), QString::fromUtf8("ご意見(O)"));
}

void SheetSetupTest::missingQuestionnaireShowsCriticalBoxBeforeTheWindow_data()
{
    QTest::addColumn<CloseBy>("closeBy");

    QTest::newRow("box closed by Return") << CloseBy::Return;
    QTest::newRow("box closed by Escape") << CloseBy::Escape;
    QTest::newRow("box closed by its button") << CloseBy::OkButton;
}

void SheetSetupTest::missingQuestionnaireShowsCriticalBoxBeforeTheWindow()
{
    QFETCH(CloseBy, closeBy);

    OpenSheet s(std::nullopt, closeBy);
    QVERIFY(s.shown());

    // The box came during the window's creation, before the window was shown.
    QCOMPARE(s.boxesBeforeShow(), 1u);
    QCOMPARE(s.boxes().size(), 1u);
    const mirunea::test::SeenQtBox& box = s.boxes().front();
    QCOMPARE(QString::fromStdString(box.caption), QString::fromUtf8("ミルネア"));
    QCOMPARE(QString::fromStdString(box.text), QString::fromUtf8("ファイルが見つかりません."));
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.buttonTexts, QStringList{"OK"});
    QVERIFY(!box.buttonHasIcon);
    QVERIFY(!box.sheetWindowVisible);

    // However the box was closed, the window comes up as designed, without panels.
    QCOMPARE(shownText(s.control<QLabel>(QStringLiteral("Label1"))), QStringLiteral("Label1"));
    for (int q = 1; q <= 10; ++q)
        QVERIFY2(!s.control(QStringLiteral("GroupBox"), q)->isVisible(), qPrintable(QString::number(q)));
    QVERIFY(!s.folder().hasAnswerFile());
}

QTEST_MAIN(SheetSetupTest)
#include "tst_sheet_setup.moc"
