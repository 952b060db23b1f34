// Pressing the send button on the Qt backend: Qt's message boxes, the
// confirmation centred on the screen and closed every way it can be, the
// critical box of a write that fails. What reaches the answer file, a second
// send, and the answers kept after a failed one are checked on every backend
// by tests/behaviour.
#include "sheet_fixture.h"
#include "tests/support/questionnaires.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QTest>

#include <filesystem>

using namespace mirunea::test;
using Lines = std::vector<std::string>;

namespace {

const Lines& kThreeKinds = mirunea::test::kPlainThreeKindsQuestionnaire;

// Types as the respondent does, by keys.
void typeInto(OpenSheet& s, const QString& editName, const QString& text)
{
    auto* edit = s.control<QLineEdit>(editName);
    edit->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(edit, text);
}

void send(OpenSheet& s)
{
    QTest::mouseClick(s.control(QStringLiteral("Button1")), Qt::LeftButton);
}

} // namespace

class SendActionTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void confirmationIsCentredAndClosesEveryWay_data();
    void confirmationIsCentredAndClosesEveryWay();
    void failedWriteShowsCriticalBox();
};

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

    OpenSheet s(kThreeKinds, closeBy);
    QVERIFY(s.shownWithoutBox());
    QTest::mouseClick(radioItem(s.control(QStringLiteral("RadioGroup"), 1), 2), Qt::LeftButton);
    typeInto(s, QStringLiteral("Edit2"), QStringLiteral("kept"));
    send(s); // returns once the confirmation is closed

    QCOMPARE(s.boxes().size(), 1u);
    const SeenQtBox& box = s.boxes().front();
    QCOMPARE(QString::fromStdString(box.caption), QString::fromUtf8("ミルネア"));
    QCOMPARE(QString::fromStdString(box.text), QString::fromUtf8("送信しました"));
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
    QVERIFY(s.window()->isVisible());
    QVERIFY(radioItem(s.control(QStringLiteral("RadioGroup"), 1), 2)->isChecked());
    QCOMPARE(s.control<QLineEdit>(QStringLiteral("Edit2"))->text(), QStringLiteral("kept"));
}

void SendActionTest::failedWriteShowsCriticalBox()
{
    OpenSheet s(kThreeKinds);
    QVERIFY(s.shownWithoutBox());
    // A folder of the answer file's name denies its creation.
    std::filesystem::create_directory(s.folder().path() / SheetFolder::answerFileName());
    send(s);

    // Its caption and text are checked on every backend by tests/behaviour.
    QCOMPARE(s.boxes().size(), 1u);
    const SeenQtBox& box = s.boxes().front();
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.buttonTexts, QStringList{"OK"});
    QVERIFY(!box.buttonHasIcon);
    QVERIFY(box.sheetWindowVisible);
    QVERIFY(s.window()->isVisible());
}

QTEST_MAIN(SendActionTest)
#include "tst_send_action.moc"
