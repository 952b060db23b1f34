// The answer sheet window as designed: places, sizes, fonts, texts and
// colours; the self-sizing labels beneath the other controls.
#include "behaviour.h"

#include "app/text/cp932.h"

#include <algorithm>

using namespace mirunea;
using namespace mirunea::test;

namespace {

struct Placed
{
    std::string name;
    std::string parent;
    Rect geometry; // labels size themselves: width and height -1, not checked
};

std::vector<Placed> layoutTable()
{
    std::vector<Placed> table = {
        {"Label1", "", {8, 0, -1, -1}},   {"Label2", "", {16, 32, -1, -1}},    {"Label3", "", {24, 56, -1, -1}},
        {"Ename", "", {80, 56, 217, 23}}, {"Button1", "", {800, 40, 177, 41}},
    };
    for (int q = 1; q <= 10; ++q) {
        const std::string n = std::to_string(q);
        const std::string panel = "GroupBox" + n;
        table.push_back({panel, "", {q <= 5 ? 8 : 504, 88 + 120 * ((q - 1) % 5), 481, 113}});
        table.push_back({"Lbl" + n, panel, {8, 32, -1, -1}});
        table.push_back({"RadioGroup" + n, panel, {88, 16, 385, 89}});
        table.push_back({"CheckListBox" + n, panel, {88, 24, 385, 81}});
        table.push_back({"Edit" + n, panel, {88, 32, 385, 23}});
    }
    return table;
}

std::string longCaption(const char* piece, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i)
        text += mirunea::cp932::fromUtf8(piece);
    return text;
}

} // namespace

TEST_CASE("every control of the layout table stands at its place, visible")
{
    DesignedWindow designed;
    REQUIRE(designed.shown);
    WindowDriver& driver = *designed.driver;
    for (const Placed& control : layoutTable()) {
        CAPTURE(control.name);
        CHECK(driver.parentOf(control.name) == control.parent);
        const Rect place = driver.geometry(control.name);
        CHECK(place.left == control.geometry.left);
        CHECK(place.top == control.geometry.top);
        if (control.geometry.width >= 0) {
            CHECK(place.width == control.geometry.width);
            CHECK(place.height == control.geometry.height);
        }
        CHECK(driver.isVisible(control.name));
    }
}

TEST_CASE("fonts have their pixel heights and weights")
{
    DesignedWindow designed;
    REQUIRE(designed.shown);
    struct Font
    {
        const char* name;
        int pixels;
        bool bold;
    };
    const Font fonts[] = {
        {"Label1", 27, true},       {"Label2", 13, false},        {"Label3", 16, false},     {"Ename", 15, false},
        {"Button1", 19, true},      {"GroupBox1", 15, false},     {"GroupBox10", 15, false}, {"Lbl4", 15, false},
        {"RadioGroup4", 15, false}, {"CheckListBox4", 15, false}, {"Edit4", 15, false},
    };
    for (const Font& expected : fonts) {
        CAPTURE(std::string(expected.name));
        const FontInfo font = designed.driver->font(expected.name);
        CHECK(font.pixels == expected.pixels);
        CHECK(font.bold == expected.bold);
        CHECK(font.face == "ＭＳ Ｐゴシック");
    }
}

TEST_CASE("design-time texts are shown")
{
    DesignedWindow designed;
    REQUIRE(designed.shown);
    WindowDriver& driver = *designed.driver;
    std::vector<std::pair<std::string, std::string>> texts = {
        {"Label1", "Label1"},
        {"Label2", "このアンケートの説明"},
        {"Label3", "氏名"},
        {"Ename", ""},
        {"Button1", "入力終了（送信）"},
        // As designed: panel 2 has its own name, panels 3 to 10 repeat panel 1's.
        {"GroupBox1", "GroupBox1"},
        {"GroupBox2", "GroupBox2"},
    };
    for (int q = 3; q <= 10; ++q)
        texts.emplace_back("GroupBox" + std::to_string(q), "GroupBox1");
    for (int q = 1; q <= 10; ++q) {
        texts.emplace_back("Lbl" + std::to_string(q), "複数選択可");
        texts.emplace_back("Edit" + std::to_string(q), "Edit1");
    }
    for (const auto& [name, text] : texts) {
        CAPTURE(name);
        CHECK(driver.shownText(name) == text);
    }
    for (int q = 1; q <= 10; ++q) {
        CHECK(driver.itemTexts("RadioGroup" + std::to_string(q)).empty());
        CHECK(driver.itemTexts("CheckListBox" + std::to_string(q)).empty());
    }
}

TEST_CASE("the window opens with its caption at its place, no scroll bars")
{
    DesignedWindow designed;
    REQUIRE(designed.shown);
    WindowDriver& driver = *designed.driver;
    CHECK(driver.windowCaption() == "校内アンケート\u3000ミルネア");
    CHECK(driver.framePosition() == Point{9, 10});
    CHECK_FALSE(driver.horizontalBarShown());
    CHECK_FALSE(driver.verticalBarShown());
    // The client area holds every control of the window.
    const Point size = driver.clientSize();
    const Rect client{0, 0, size.x, size.y};
    for (const Placed& control : layoutTable()) {
        if (!control.parent.empty())
            continue;
        CAPTURE(control.name);
        CHECK(client.contains(driver.placeInClient(control.name)));
    }
}

TEST_CASE("the topmost control: panels over the window, the edit over its panel's other answer controls")
{
    DesignedWindow designed;
    REQUIRE(designed.shown);
    WindowDriver& driver = *designed.driver;
    struct Probe
    {
        Point point; // in the client area
        const char* control;
    };
    const Probe probes[] = {
        {{600, 20}, ""},
        {{496, 300}, ""},
        {{8 + 40, 88 + 80}, "GroupBox1"},
        {{8 + 300, 328 + 40}, "Edit3"}, // the three answer controls overlap, the edit created last on top
        {{8 + 300, 328 + 80}, "CheckListBox3"},
        {{8 + 300, 328 + 20}, "RadioGroup3"},
        {{8 + 20, 328 + 38}, "Lbl3"},
        {{880, 60}, "Button1"},
        {{180, 66}, "Ename"},
    };
    for (const Probe& probe : probes) {
        CAPTURE(probe.point);
        CHECK(driver.topmostAt(probe.point) == probe.control);
    }
}

TEST_CASE("colours as designed, sampled from the drawn window")
{
    DesignedWindow designed;
    REQUIRE(designed.shown);
    WindowDriver& driver = *designed.driver;
    struct Sample
    {
        const char* what;
        Point point;
        toolkit::Rgb colour;
    };
    const Sample samples[] = {
        {"client between controls", {600, 20}, kPaleGreen},
        {"client beneath the panels", {300, 684}, kPaleGreen},
        {"client at the right edge", {988, 300}, kPaleGreen},
        {"between the columns", {496, 300}, kPaleGreen},
        {"inside panel 1 left of the controls", {8 + 40, 88 + 80}, kSilver},
        {"inside panel 10 left of the controls", {504 + 40, 568 + 95}, kSilver},
        {"name edit", {80 + 200, 56 + 12}, kWhite},
        {"edit of panel 2", {8 + 88 + 370, 208 + 32 + 12}, kWhite},
        {"check list of panel 6", {504 + 88 + 370, 88 + 90}, kWhite},
        {"radio group of panel 6 beside the list", {504 + 88 + 370, 88 + 20}, kSilver},
    };
    for (const Sample& sample : samples) {
        CAPTURE(std::string(sample.what));
        CHECK(colourName(driver.pixelAt(sample.point)) == colourName(sample.colour));
    }
}

TEST_CASE("labels grow to the right on one line")
{
    for (const char* name : {"Label1", "Label2", "Label3", "Lbl5"}) {
        CAPTURE(std::string(name));
        DesignedWindow designed;
        REQUIRE(designed.shown);
        WindowDriver& driver = *designed.driver;
        const Rect before = driver.geometry(name);
        driver.window().control<toolkit::Label>(name).setCaption(longCaption("長いタイトル ", 60));
        driver.processEvents();
        const Rect after = driver.geometry(name);
        CHECK(after.left == before.left);
        CHECK(after.top == before.top);
        CHECK(after.width > 1000);
        CHECK(after.height == before.height); // not wrapped
        CHECK(driver.isVisible(name));
    }
}

TEST_CASE("grown labels lie beneath the send button, the name edit and a panel's edit")
{
    struct Overlap
    {
        const char* label;
        const char* cover; // the control that must cover the grown label
        Rect overlap;      // in the client area, inside both
    };
    const Overlap overlaps[] = {
        {"Label3", "Ename", {90, 59, 190, 10}}, // clear of the edit's caret
        {"Label2", "Button1", {806, 42, 160, 3}},
        {"Label3", "Button1", {806, 58, 160, 10}},
        {"Lbl2", "Edit2", {8 + 92, 208 + 35, 200, 10}},
    };
    for (const Overlap& case_ : overlaps) {
        CAPTURE(std::string(case_.label));
        CAPTURE(std::string(case_.cover));
        DesignedWindow designed;
        REQUIRE(designed.shown);
        WindowDriver& driver = *designed.driver;
        const std::vector<toolkit::Rgb> coverAlone = driver.pixels(case_.overlap);

        // Solid squares, so that a label on top would leave its marks.
        driver.window().control<toolkit::Label>(case_.label).setCaption(longCaption("■", 80));
        driver.processEvents();
        REQUIRE(driver.placeInClient(case_.label).contains(case_.overlap));

        const std::vector<toolkit::Rgb> grown = driver.pixels(case_.overlap);
        CHECK(std::equal(grown.begin(), grown.end(), coverAlone.begin(), coverAlone.end(),
                         [](const toolkit::Rgb& a, const toolkit::Rgb& b) {
                             return a.red == b.red && a.green == b.green && a.blue == b.blue;
                         }));
        for (const Point corner : {Point{case_.overlap.left, case_.overlap.top}, centre(case_.overlap),
                                   Point{case_.overlap.right() - 1, case_.overlap.bottom() - 1}}) {
            CAPTURE(corner);
            CHECK(driver.topmostAt(corner) == case_.cover);
        }
        // Where nothing covers it, the grown label is on top.
        const Rect label = driver.placeInClient(case_.label);
        CHECK(driver.topmostAt({label.left + 3, label.top + label.height / 2}) == case_.label);
    }
}

TEST_CASE("a long name prompt and description from data.txt run beneath the name edit and the send button")
{
    // A name prompt longer than the gap before the edit, a description that
    // reaches under the send button.
    OpenSheet sheet(Lines{"校内アンケート", std::string(150, 'd'), "あなたの氏名を入力してください", "[T]感想"});
    REQUIRE(sheet.readyWithoutBox());
    struct Probe
    {
        const char* what;
        Point point;
        const char* control;
    };
    const Probe probes[] = {
        {"name edit over the prompt", {84, 66}, "Ename"},
        {"name edit's middle", {180, 66}, "Ename"},
        {"send button over the description", {806, 43}, "Button1"},
        {"prompt where nothing covers it", {30, 62}, "Label3"},
        {"description where nothing covers it", {400, 38}, "Label2"},
    };
    for (const Probe& probe : probes) {
        CAPTURE(std::string(probe.what));
        CHECK(sheet->topmostAt(probe.point) == probe.control);
    }
    // A click where the prompt runs under the edit goes to the edit.
    sheet->press(Key::Tab);
    REQUIRE(sheet->focused() == "Edit1");
    sheet->click({200, 66});
    CHECK(sheet->focused() == "Ename");
}

TEST_CASE("a grown hint lies beneath its panel's radio group and check list")
{
    OpenSheet sheet(Lines{"t", "d", "n", "[R]r", "a", "b", "", "[C]c", "x", "y"});
    REQUIRE(sheet.readyWithoutBox());
    for (const char* label : {"Lbl1", "Lbl2"}) {
        CAPTURE(std::string(label));
        sheet->window().control<toolkit::Label>(label).setCaption(longCaption("■", 60));
        sheet->processEvents();
        const Rect hint = sheet->placeInClient(label);
        REQUIRE(hint.width > 400);
        const Point under{hint.left + 200, hint.top + hint.height / 2};
        CHECK(sheet->topmostAt(under) == (std::string(label) == "Lbl1" ? "RadioGroup1" : "CheckListBox2"));
        CHECK(sheet->topmostAt({hint.left + 10, under.y}) == label);
    }
    // Beside its two items the radio group shows its own silver, not the hint's marks.
    const Rect group = sheet->placeInClient("RadioGroup1");
    const Rect hint = sheet->placeInClient("Lbl1");
    CHECK(colourName(sheet->pixelAt({group.right() - 20, hint.top + hint.height / 2})) == colourName(kSilver));
}
