// What only the Qt backend has of the window as designed: the object name,
// the window state, the face that stands in for the designed one. The
// window's layout, texts, colours and scrolling are checked on every
// backend by tests/behaviour.
#include "app/toolkit/qt/qt_application.h"
#include "app/toolkit/qt/qt_window.h"
#include "app/toolkit/window_rules.h"
#include "records.h"
#include "sheet/form1_layout.h"

#include <QFontInfo>
#include <QTest>

#include <memory>

using mirunea::test::sjis;

namespace {

// The window as designed, without the sheet set-up.
class DesignedWindow
{
public:
    DesignedWindow()
    {
        m_app.setTitle(sjis("ミルネア"));
        m_window = m_app.createWindow(mirunea::form1WindowSpec());
        mirunea::toolkit::rules::populate(*m_window, mirunea::form1Controls());
    }

    [[nodiscard]] mirunea::qt::FormWidget* window() { return static_cast<mirunea::qt::QtWindow&>(*m_window).widget(); }
    template<class W = QWidget>
    [[nodiscard]] W* control(const QString& name)
    {
        return window()->findChild<W*>(name);
    }
    [[nodiscard]] bool showExposed()
    {
        window()->show();
        return QTest::qWaitForWindowExposed(window());
    }

private:
    mirunea::qt::QtApplication m_app;
    std::unique_ptr<mirunea::toolkit::Window> m_window;
};

} // namespace

class WindowLayoutTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void designedFaceIsDrawnWithTheJapaneseStandIn_data();
    void designedFaceIsDrawnWithTheJapaneseStandIn();
    void windowIsForm1InTheNormalState();
};

void WindowLayoutTest::designedFaceIsDrawnWithTheJapaneseStandIn_data()
{
    QTest::addColumn<QString>("name");

    for (const char* name : {"Label1", "Label2", "Label3", "Ename", "Button1", "GroupBox1", "GroupBox10", "Lbl4",
                             "RadioGroup4", "CheckListBox4", "Edit4"})
        QTest::newRow(name) << name;
}

void WindowLayoutTest::designedFaceIsDrawnWithTheJapaneseStandIn()
{
    QFETCH(QString, name);

    DesignedWindow designed;
    const QWidget* control = designed.control(name);
    QVERIFY(control);
    // The designed face is not on Linux; a Japanese proportional sans-serif stands in.
    QCOMPARE(control->font().family(), QString::fromUtf8("ＭＳ Ｐゴシック"));
    QCOMPARE(QFontInfo(control->font()).family(), QStringLiteral("IPAPGothic"));
}

void WindowLayoutTest::windowIsForm1InTheNormalState()
{
    DesignedWindow designed;
    QVERIFY(designed.showExposed());
    QCOMPARE(designed.window()->objectName(), QStringLiteral("Form1"));
    QCOMPARE(designed.window()->windowState(), Qt::WindowNoState);
}

QTEST_MAIN(WindowLayoutTest)
#include "tst_window_layout.moc"
