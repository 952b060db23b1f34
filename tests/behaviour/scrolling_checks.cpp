// The client area scrolls when the window is smaller than its controls; the
// controls keep their places on the scrolled area.
#include "behaviour.h"

using namespace mirunea;
using namespace mirunea::test;

namespace {

// The scrolled area: the bounding box of the window's controls as designed.
constexpr int kAreaWidth = 504 + 481;
constexpr int kAreaHeight = 568 + 113;

} // namespace

TEST_CASE("a smaller window scrolls both ways, the controls keep their places, the bars go away again")
{
    DesignedWindow designed;
    REQUIRE(designed.shown);
    WindowDriver& driver = *designed.driver;
    const Point designedSize = driver.clientSize();
    REQUIRE_FALSE(driver.horizontalBarShown());
    REQUIRE_FALSE(driver.verticalBarShown());

    driver.resizeClient(600, 400);
    CHECK(waitUntil(driver, [&] { return driver.horizontalBarShown() && driver.verticalBarShown(); }));
    CHECK(driver.scrollPosition() == Point{0, 0});
    CHECK(driver.placeInClient("Button1") == Rect{800, 40, 177, 41});

    // Scrolled to the far corner: the last panel comes into view, and every
    // control keeps its place on the scrolled area.
    driver.scrollToEnd();
    const Point visible = driver.clientSize();
    CHECK(visible.x < 600);
    CHECK(visible.y < 400);
    CHECK(driver.scrollPosition() == Point{kAreaWidth - visible.x, kAreaHeight - visible.y});
    CHECK(driver.geometry("Button1") == Rect{800, 40, 177, 41});
    CHECK(driver.geometry("GroupBox10") == Rect{504, 568, 481, 113});
    const Rect panel10 = driver.placeInClient("GroupBox10");
    CHECK(panel10.right() == visible.x);
    CHECK(panel10.bottom() == visible.y);
    CHECK(driver.topmostAt({panel10.left + 40, panel10.top + 80}) == "GroupBox10");
    CHECK(colourName(driver.pixelAt({panel10.left + 40, panel10.top + 80})) == colourName(kSilver));

    driver.scrollToStart();
    CHECK(driver.scrollPosition() == Point{0, 0});
    CHECK(driver.placeInClient("Button1") == Rect{800, 40, 177, 41});

    // Large enough again: the bars go, nothing stays scrolled.
    driver.scrollToEnd();
    driver.resizeClient(designedSize.x, designedSize.y);
    CHECK(waitUntil(driver, [&] { return !driver.horizontalBarShown() && !driver.verticalBarShown(); }));
    CHECK(driver.scrollPosition() == Point{0, 0});
    CHECK(driver.placeInClient("Button1") == Rect{800, 40, 177, 41});

    driver.resizeClient(1200, 900);
    CHECK(waitUntil(driver, [&] { return driver.clientSize() == Point{1200, 900}; }));
    CHECK_FALSE(driver.horizontalBarShown());
    CHECK_FALSE(driver.verticalBarShown());
    CHECK(driver.placeInClient("Button1") == Rect{800, 40, 177, 41});
    CHECK(colourName(driver.pixelAt({1150, 850})) == colourName(kPaleGreen));

    // Narrower only: the right column needs a horizontal bar, and only that.
    driver.resizeClient(900, 1000);
    CHECK(waitUntil(driver, [&] { return driver.horizontalBarShown(); }));
    CHECK_FALSE(driver.verticalBarShown());
    driver.scrollToEnd();
    CHECK(driver.scrollPosition().x == kAreaWidth - driver.clientSize().x);
    CHECK(driver.scrollPosition().y == 0);
}

TEST_CASE("the scrolled extent follows the shown controls")
{
    // The header and the left column's first two panels: 977 x 321, the send
    // button the rightmost; the hidden panels do not count.
    OpenSheet sheet(Lines{"t", "d", "n", "[T]1", "[T]2"});
    REQUIRE(sheet.readyWithoutBox());
    sheet->resizeClient(1010, 300);
    CHECK(waitUntil(*sheet, [&] { return sheet->verticalBarShown(); }));
    CHECK_FALSE(sheet->horizontalBarShown());
    sheet->scrollToEnd();
    CHECK(sheet->scrollPosition() == Point{0, 321 - sheet->clientSize().y});

    sheet->resizeClient(700, 689);
    CHECK(waitUntil(*sheet, [&] { return sheet->horizontalBarShown() && !sheet->verticalBarShown(); }));
    sheet->scrollToEnd();
    CHECK(sheet->scrollPosition() == Point{977 - sheet->clientSize().x, 0});
}

TEST_CASE("Tab or an access key to a control out of view scrolls it into view")
{
    OpenSheet sheet(
        Lines{"t", "d", "n", "[T]1", "[T]2", "[T]3", "[T]4", "[T]5", "[T]6", "[T]7", "[T]8", "[T]9", "[T]10(&Z)"});
    REQUIRE(sheet.readyWithoutBox());
    sheet->resizeClient(600, 400);
    REQUIRE(waitUntil(*sheet, [&] { return sheet->verticalBarShown(); }));
    clickOn(*sheet, "Ename");
    for (int i = 0; i < 5; ++i)
        sheet->press(Key::Tab);
    REQUIRE(sheet->focused() == "Edit5");
    const Point size = sheet->clientSize();
    const Rect client{0, 0, size.x, size.y};
    CHECK(client.contains(sheet->placeInClient("Edit5")));
    sheet->press(Key::Tab);
    REQUIRE(sheet->focused() == "Button1");
    CHECK(client.contains(sheet->placeInClient("Button1")));
    sheet->scrollToStart();
    sheet->pressLetter('Z', Alt);
    REQUIRE(sheet->focused() == "Edit10");
    // At least where typing starts: its left end, whole in height.
    const Rect edit = sheet->placeInClient("Edit10");
    CAPTURE(edit);
    CHECK(client.contains({edit.left, edit.top, 1, edit.height}));
}
