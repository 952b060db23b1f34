// The answer sheet window as designed: places, sizes, fonts, texts, colours,
// the self-sizing labels and the scrolling client area.
#include "app/toolkit/qt/qt_application.h"
#include "app/toolkit/qt/qt_window.h"
#include "app/window_rules.h"
#include "sheet/form1_layout.h"
#include "sheet_fixture.h"

#include <QFontInfo>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <memory>

using mirunea::test::sjis;

namespace {

// The window as designed, without the sheet set-up, which would hide the
// panels: every control visible with its design-time text.
class DesignedWindow
{
public:
    DesignedWindow()
    {
        m_app.setTitle(sjis("ミルネア"));
        m_window = m_app.createWindow(mirunea::form1WindowSpec());
        mirunea::toolkit::rules::populate(*m_window, mirunea::form1Controls());
    }

    [[nodiscard]] mirunea::toolkit::Window& toolkitWindow() { return *m_window; }
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

// The parent's child on top at a point (rather than one of that child's own parts).
QWidget* controlAt(QWidget* parent, const QPoint& point)
{
    QWidget* hit = parent->childAt(point);
    while (hit && hit->parentWidget() != parent)
        hit = hit->parentWidget();
    return hit;
}

const QRgb kPaleGreen = qRgb(192, 220, 192);
const QRgb kSilver = qRgb(192, 192, 192);
const QRgb kWhite = qRgb(255, 255, 255);

} // namespace

class WindowLayoutTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void controlsStandAtTheirPlaces_data();
    void controlsStandAtTheirPlaces();
    void fontsHaveTheirPixelHeights_data();
    void fontsHaveTheirPixelHeights();
    void designTimeTextsAreShown_data();
    void designTimeTextsAreShown();
    void everyControlIsVisibleAsDesigned();
    void windowOpensWithCaptionAtItsPlace();
    void clientAreaHoldsEveryControlWithoutScrollBars();
    void coloursAsDesigned_data();
    void coloursAsDesigned();
    void labelsGrowToTheRightOnOneLine_data();
    void labelsGrowToTheRightOnOneLine();
    void grownLabelsLieBeneathOtherControls_data();
    void grownLabelsLieBeneathOtherControls();
    void smallerWindowScrollsAndLargerWindowDoesNot();
};

void WindowLayoutTest::controlsStandAtTheirPlaces_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("geometry"); // labels size themselves: their width and height are not checked

    QTest::newRow("Label1") << "Label1"
                            << "" << QRect(8, 0, -1, -1);
    QTest::newRow("Label2") << "Label2"
                            << "" << QRect(16, 32, -1, -1);
    QTest::newRow("Label3") << "Label3"
                            << "" << QRect(24, 56, -1, -1);
    QTest::newRow("Ename") << "Ename"
                           << "" << QRect(80, 56, 217, 23);
    QTest::newRow("Button1") << "Button1"
                             << "" << QRect(800, 40, 177, 41);
    for (int q = 1; q <= 10; ++q) {
        const QString panel = QStringLiteral("GroupBox%1").arg(q);
        const int left = q <= 5 ? 8 : 504;
        const int top = 88 + 120 * ((q - 1) % 5);
        QTest::addRow("%s", qPrintable(panel)) << panel << "" << QRect(left, top, 481, 113);
        QTest::addRow("Lbl%d", q) << QStringLiteral("Lbl%1").arg(q) << panel << QRect(8, 32, -1, -1);
        QTest::addRow("RadioGroup%d", q) << QStringLiteral("RadioGroup%1").arg(q) << panel << QRect(88, 16, 385, 89);
        QTest::addRow("CheckListBox%d", q)
            << QStringLiteral("CheckListBox%1").arg(q) << panel << QRect(88, 24, 385, 81);
        QTest::addRow("Edit%d", q) << QStringLiteral("Edit%1").arg(q) << panel << QRect(88, 32, 385, 23);
    }
}

void WindowLayoutTest::controlsStandAtTheirPlaces()
{
    QFETCH(QString, name);
    QFETCH(QString, parent);
    QFETCH(QRect, geometry);

    DesignedWindow designed;
    QVERIFY(designed.showExposed());
    QWidget* control = designed.control(name);
    QVERIFY2(control, qPrintable(name));
    // Top-level controls are placed on the client area, inner ones on their panel.
    QWidget* expectedParent = parent.isEmpty() ? designed.window()->client() : designed.control(parent);
    QCOMPARE(control->parentWidget(), expectedParent);
    QCOMPARE(control->pos(), geometry.topLeft());
    if (geometry.width() >= 0)
        QCOMPARE(control->size(), geometry.size());
}

void WindowLayoutTest::fontsHaveTheirPixelHeights_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("pixels");
    QTest::addColumn<bool>("bold");

    QTest::newRow("title") << "Label1" << 27 << true;
    QTest::newRow("description") << "Label2" << 13 << false;
    QTest::newRow("name prompt") << "Label3" << 16 << false;
    QTest::newRow("name edit") << "Ename" << 15 << false;
    QTest::newRow("send button") << "Button1" << 19 << true;
    QTest::newRow("panel 1") << "GroupBox1" << 15 << false;
    QTest::newRow("panel 10") << "GroupBox10" << 15 << false;
    QTest::newRow("hint 4") << "Lbl4" << 15 << false;
    QTest::newRow("radio group 4") << "RadioGroup4" << 15 << false;
    QTest::newRow("check list 4") << "CheckListBox4" << 15 << false;
    QTest::newRow("edit 4") << "Edit4" << 15 << false;
}

void WindowLayoutTest::fontsHaveTheirPixelHeights()
{
    QFETCH(QString, name);
    QFETCH(int, pixels);
    QFETCH(bool, bold);

    DesignedWindow designed;
    const QWidget* control = designed.control(name);
    QVERIFY(control);
    QCOMPARE(control->font().pixelSize(), pixels);
    QCOMPARE(control->font().bold(), bold);
    // The designed face is not on Linux; a Japanese proportional sans-serif stands in.
    QCOMPARE(control->font().family(), QString::fromUtf8("ＭＳ Ｐゴシック"));
    QCOMPARE(QFontInfo(control->font()).family(), QStringLiteral("IPAPGothic"));
}

void WindowLayoutTest::designTimeTextsAreShown_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");

    QTest::newRow("title") << "Label1"
                           << "Label1";
    QTest::newRow("description") << "Label2" << QString::fromUtf8("このアンケートの説明");
    QTest::newRow("name prompt") << "Label3" << QString::fromUtf8("氏名");
    QTest::newRow("name edit empty") << "Ename"
                                     << "";
    QTest::newRow("send button") << "Button1" << QString::fromUtf8("入力終了（送信）");
    // As designed: panel 2 has its own name, panels 3 to 10 repeat panel 1's.
    QTest::newRow("panel 1") << "GroupBox1"
                             << "GroupBox1";
    QTest::newRow("panel 2") << "GroupBox2"
                             << "GroupBox2";
    for (int q = 3; q <= 10; ++q)
        QTest::addRow("panel %d", q) << QStringLiteral("GroupBox%1").arg(q) << "GroupBox1";
    QTest::newRow("hint 1") << "Lbl1" << QString::fromUtf8("複数選択可");
    QTest::newRow("hint 10") << "Lbl10" << QString::fromUtf8("複数選択可");
    QTest::newRow("edit 1") << "Edit1"
                            << "Edit1";
    QTest::newRow("edit 7") << "Edit7"
                            << "Edit1";
    QTest::newRow("edit 10") << "Edit10"
                             << "Edit1";
}

void WindowLayoutTest::designTimeTextsAreShown()
{
    QFETCH(QString, name);
    QFETCH(QString, text);

    DesignedWindow designed;
    QWidget* control = designed.control(name);
    QVERIFY(control);
    if (auto* label = qobject_cast<QLabel*>(control))
        QCOMPARE(mirunea::test::shownText(label), text);
    else if (auto* panel = qobject_cast<QGroupBox*>(control))
        QCOMPARE(panel->title(), text);
    else if (auto* edit = qobject_cast<QLineEdit*>(control))
        QCOMPARE(edit->text(), text);
    else if (auto* button = qobject_cast<QPushButton*>(control))
        QCOMPARE(button->text(), text);
    else
        QFAIL("unexpected kind of control");
}

void WindowLayoutTest::everyControlIsVisibleAsDesigned()
{
    DesignedWindow designed;
    QVERIFY(designed.showExposed());
    QStringList names = {"Label1", "Label2", "Label3", "Ename", "Button1"};
    for (int q = 1; q <= 10; ++q) {
        for (const char* stem : {"GroupBox", "Lbl", "RadioGroup", "CheckListBox", "Edit"})
            names << QStringLiteral("%1%2").arg(QLatin1String(stem)).arg(q);
    }
    for (const QString& name : names) {
        const QWidget* control = designed.control(name);
        QVERIFY2(control, qPrintable(name));
        QVERIFY2(control->isVisible(), qPrintable(name));
    }
    // The three answer controls overlap, the edit created last on top.
    QWidget* panel = designed.control(QStringLiteral("GroupBox3"));
    QCOMPARE(controlAt(panel, {300, 40}), designed.control(QStringLiteral("Edit3")));
    QCOMPARE(controlAt(panel, {300, 80}), designed.control(QStringLiteral("CheckListBox3")));
}

void WindowLayoutTest::windowOpensWithCaptionAtItsPlace()
{
    DesignedWindow designed;
    QVERIFY(designed.showExposed());
    QCOMPARE(designed.window()->objectName(), QStringLiteral("Form1"));
    QCOMPARE(designed.window()->windowTitle(), QString::fromUtf8("校内アンケート\u3000ミルネア"));
    QCOMPARE(designed.window()->frameGeometry().topLeft(), QPoint(9, 10));
    QCOMPARE(designed.window()->windowState(), Qt::WindowNoState);
}

void WindowLayoutTest::clientAreaHoldsEveryControlWithoutScrollBars()
{
    DesignedWindow designed;
    QVERIFY(designed.showExposed());
    mirunea::qt::FormWidget* window = designed.window();
    QVERIFY(!window->horizontalScrollBar()->isVisible());
    QVERIFY(!window->verticalScrollBar()->isVisible());
    const QRect visible = window->viewport()->rect();
    for (const QWidget* control : window->client()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QRect inViewport(control->mapTo(window->viewport(), QPoint(0, 0)), control->size());
        QVERIFY2(visible.contains(inViewport), qPrintable(control->objectName()));
    }
}

void WindowLayoutTest::coloursAsDesigned_data()
{
    QTest::addColumn<QPoint>("point"); // in the window's client area
    QTest::addColumn<QRgb>("colour");

    QTest::newRow("client between controls") << QPoint(600, 20) << kPaleGreen;
    QTest::newRow("client beneath the panels") << QPoint(300, 684) << kPaleGreen;
    QTest::newRow("client at the right edge") << QPoint(988, 300) << kPaleGreen;
    QTest::newRow("between the columns") << QPoint(496, 300) << kPaleGreen;
    QTest::newRow("inside panel 1 left of the controls") << QPoint(8 + 40, 88 + 80) << kSilver;
    QTest::newRow("inside panel 10 left of the controls") << QPoint(504 + 40, 568 + 95) << kSilver;
    QTest::newRow("name edit") << QPoint(80 + 200, 56 + 12) << kWhite;
    QTest::newRow("edit of panel 2") << QPoint(8 + 88 + 370, 208 + 32 + 12) << kWhite;
    QTest::newRow("check list of panel 6") << QPoint(504 + 88 + 370, 88 + 90) << kWhite;
}

void WindowLayoutTest::coloursAsDesigned()
{
    QFETCH(QPoint, point);
    QFETCH(QRgb, colour);

    DesignedWindow designed;
    QVERIFY(designed.showExposed());
    const QImage image = designed.window()->grab().toImage();
    QCOMPARE(QColor(image.pixel(point)).name(), QColor(colour).name());
}

void WindowLayoutTest::labelsGrowToTheRightOnOneLine_data()
{
    QTest::addColumn<QString>("name");

    QTest::newRow("title") << "Label1";
    QTest::newRow("description") << "Label2";
    QTest::newRow("name prompt") << "Label3";
    QTest::newRow("hint") << "Lbl5";
}

void WindowLayoutTest::labelsGrowToTheRightOnOneLine()
{
    QFETCH(QString, name);

    DesignedWindow designed;
    QVERIFY(designed.showExposed());
    auto* label = designed.control<QLabel>(name);
    QVERIFY(label);
    const QRect before = label->geometry();

    auto& toolkitLabel = designed.toolkitWindow().control<mirunea::toolkit::Label>(name.toStdString());
    std::string longText;
    for (int i = 0; i < 60; ++i)
        longText += sjis("長いタイトル ");
    toolkitLabel.setCaption(longText);

    QCOMPARE(label->pos(), before.topLeft());
    QVERIFY2(label->width() > 1000, qPrintable(QString::number(label->width())));
    QCOMPARE(label->height(), before.height()); // not wrapped
    QVERIFY(label->isVisible());
}

void WindowLayoutTest::grownLabelsLieBeneathOtherControls_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("cover"); // the control that must cover the grown label
    QTest::addColumn<QRect>("overlap"); // in the client area, inside both

    QTest::newRow("name prompt under the name edit") << "Label3"
                                                     << "Ename" << QRect(84, 59, 200, 10);
    QTest::newRow("description under the send button") << "Label2"
                                                       << "Button1" << QRect(806, 42, 160, 3);
    QTest::newRow("name prompt under the send button") << "Label3"
                                                       << "Button1" << QRect(806, 58, 160, 10);
}

void WindowLayoutTest::grownLabelsLieBeneathOtherControls()
{
    QFETCH(QString, label);
    QFETCH(QString, cover);
    QFETCH(QRect, overlap);

    DesignedWindow designed;
    QVERIFY(designed.showExposed());
    const QImage coverAlone = designed.window()->grab().toImage().copy(overlap);

    // Solid squares, so that a label on top would leave its marks.
    std::string blocks;
    for (int i = 0; i < 80; ++i)
        blocks += sjis("■");
    designed.toolkitWindow().control<mirunea::toolkit::Label>(label.toStdString()).setCaption(blocks);
    QVERIFY(designed.control(label)->geometry().contains(overlap));

    QWidget* client = designed.window()->client();
    QCOMPARE(designed.window()->grab().toImage().copy(overlap), coverAlone);
    QCOMPARE(controlAt(client, overlap.center()), designed.control(cover));
}

void WindowLayoutTest::smallerWindowScrollsAndLargerWindowDoesNot()
{
    DesignedWindow designed;
    QVERIFY(designed.showExposed());
    mirunea::qt::FormWidget* window = designed.window();
    QWidget* button = designed.control(QStringLiteral("Button1"));
    const QSize designedSize = window->size();

    window->resize(600, 400);
    QTRY_VERIFY(window->horizontalScrollBar()->isVisible());
    QTRY_VERIFY(window->verticalScrollBar()->isVisible());

    // Scrolled to the far corner, the controls keep their places on the client area.
    window->horizontalScrollBar()->setValue(window->horizontalScrollBar()->maximum());
    window->verticalScrollBar()->setValue(window->verticalScrollBar()->maximum());
    QCOMPARE(button->geometry(), QRect(800, 40, 177, 41));
    const QPoint panel10Corner = designed.control(QStringLiteral("GroupBox10"))->geometry().bottomRight();
    QVERIFY(window->viewport()->rect().contains(designed.window()->client()->mapTo(window->viewport(), panel10Corner)));

    window->resize(designedSize);
    QTRY_VERIFY(!window->horizontalScrollBar()->isVisible());
    QTRY_VERIFY(!window->verticalScrollBar()->isVisible());
    QCOMPARE(button->mapTo(window, QPoint(0, 0)), QPoint(800, 40));

    window->resize(1300, 900);
    QTRY_COMPARE(window->viewport()->size(), QSize(1300, 900));
    QVERIFY(!window->horizontalScrollBar()->isVisible());
    QVERIFY(!window->verticalScrollBar()->isVisible());
    QCOMPARE(button->mapTo(window, QPoint(0, 0)), QPoint(800, 40));

    // Narrower only: the controls of the right column need a horizontal bar.
    window->resize(900, 1000);
    QTRY_VERIFY(window->horizontalScrollBar()->isVisible());
}

QTEST_MAIN(WindowLayoutTest)
#include "tst_window_layout.moc"
