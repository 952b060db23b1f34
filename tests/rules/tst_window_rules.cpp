#include "app/toolkit/window_rules.h"
#include "case_rows.h"
#include "sheet/form1_layout.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

using namespace mirunea;
using namespace mirunea::toolkit;
using rules::Rect;

namespace {

std::vector<std::string> namesOf(const std::vector<ControlSpec>& designs, const std::vector<std::size_t>& indices)
{
    std::vector<std::string> names;
    for (std::size_t i : indices)
        names.push_back(designs[i].name);
    return names;
}

std::size_t indexOf(const std::vector<ControlSpec>& designs, const std::string& name)
{
    for (std::size_t i = 0; i < designs.size(); ++i) {
        if (designs[i].name == name)
            return i;
    }
    FAIL("no control " << name);
    return 0;
}

ControlSpec control(std::string name, ControlKind kind, std::string parent = "", int tabOrder = -1)
{
    return ControlSpec{std::move(name),   kind, std::move(parent), 0, 0, 10, 10, 12, false, "", tabOrder,
                       Background::Parent};
}

} // namespace

TEST_CASE("labels lie beneath every other control, whatever order they were created in")
{
    const std::vector<ControlSpec> designs = {
        control("Edit", ControlKind::Edit),           control("Title", ControlKind::Label),
        control("Panel", ControlKind::GroupBox),      control("Prompt", ControlKind::Label),
        control("Inner", ControlKind::Edit, "Panel"), control("Send", ControlKind::Button),
    };
    CHECK(namesOf(designs, rules::stackingTopToBottom(designs, ""))
          == std::vector<std::string>{"Send", "Panel", "Edit", "Prompt", "Title"});
    CHECK(namesOf(designs, rules::stackingTopToBottom(designs, "Panel")) == std::vector<std::string>{"Inner"});

    // The window as designed: in every panel the edit lies on the check-list
    // box, which lies on the radio group, all above the hint label.
    const std::vector<ControlSpec> form = form1Controls();
    const auto top = namesOf(form, rules::stackingTopToBottom(form, ""));
    REQUIRE(top.size() == 15);
    CHECK(std::vector<std::string>(top.end() - 3, top.end()) == std::vector<std::string>{"Label3", "Label2", "Label1"});
    CHECK(namesOf(form, rules::stackingTopToBottom(form, "GroupBox4"))
          == std::vector<std::string>{"Edit4", "CheckListBox4", "RadioGroup4", "Lbl4"});
}

TEST_CASE("the containers are the window and its panels, in creation order")
{
    const std::vector<ControlSpec> designs = {
        control("Title", ControlKind::Label),         control("Panel", ControlKind::GroupBox),
        control("Inner", ControlKind::Edit, "Panel"), control("Radio", ControlKind::RadioGroup, "Panel"),
        control("Send", ControlKind::Button),         control("Last", ControlKind::GroupBox),
    };
    CHECK(rules::containers(designs) == std::vector<std::string>{"", "Panel", "Last"});
    CHECK(rules::containers({}) == std::vector<std::string>{""});

    const std::vector<ControlSpec> form = form1Controls();
    const std::vector<std::string> containers = rules::containers(form);
    REQUIRE(containers.size() == 11);
    CHECK(containers.front().empty());
    for (int q = 1; q <= 10; ++q)
        CHECK(containers[static_cast<std::size_t>(q)] == "GroupBox" + std::to_string(q));
}

TEST_CASE("the focus chain runs through the answer controls with the send button between the columns")
{
    const std::vector<ControlSpec> form = form1Controls();
    const auto chain = namesOf(form, rules::focusChain(form));
    REQUIRE(chain.size() == 1 + 10 * 3 + 1);
    CHECK(chain.front() == "Ename");
    CHECK(std::vector<std::string>(chain.begin() + 1, chain.begin() + 4)
          == std::vector<std::string>{"RadioGroup1", "CheckListBox1", "Edit1"});
    CHECK(chain[16] == "Button1");
    CHECK(chain[17] == "RadioGroup6");
    CHECK(chain.back() == "Edit10");
    for (const std::string& name : chain)
        CHECK_MESSAGE(name.rfind("Lbl", 0) != 0, "a hint label in the chain: " << name);
}

TEST_CASE("Tab and Shift+Tab move to the next control that takes the focus, wrapping around")
{
    // Places 0..5, of which 1, 3 and 4 take the focus (hidden controls and
    // unanswered radio groups do not).
    const std::set<std::size_t> focusable{1, 3, 4};
    const rules::TakesFocus takes = [&](std::size_t place) { return focusable.count(place) > 0; };

    CHECK(rules::firstFocus(6, takes) == std::optional<std::size_t>(1));
    CHECK(rules::nextFocus(6, 1, false, takes) == std::optional<std::size_t>(3));
    CHECK(rules::nextFocus(6, 4, false, takes) == std::optional<std::size_t>(1));
    CHECK(rules::nextFocus(6, 1, true, takes) == std::optional<std::size_t>(4));
    CHECK(rules::nextFocus(6, 3, true, takes) == std::optional<std::size_t>(1));
    // From a control outside the chain: Tab starts at the first, Shift+Tab at the last.
    CHECK(rules::nextFocus(6, std::nullopt, false, takes) == std::optional<std::size_t>(1));
    CHECK(rules::nextFocus(6, std::nullopt, true, takes) == std::optional<std::size_t>(4));
    // The only control that takes the focus keeps it.
    const rules::TakesFocus onlyTwo = [](std::size_t place) { return place == 2; };
    CHECK(rules::nextFocus(6, 2, false, onlyTwo) == std::optional<std::size_t>(2));
    CHECK(rules::nextFocus(6, 2, true, onlyTwo) == std::optional<std::size_t>(2));
    // Nothing to focus at all.
    const rules::TakesFocus none = [](std::size_t) { return false; };
    CHECK_FALSE(rules::firstFocus(6, none));
    CHECK_FALSE(rules::nextFocus(0, std::nullopt, false, none));
}

TEST_CASE("first focus: the name edit, else the next control in tab order that takes it")
{
    const std::vector<ControlSpec> form = form1Controls();
    const std::vector<std::size_t> chain = rules::focusChain(form);
    const auto nameAt = [&](std::optional<std::size_t> place) {
        return place ? form[chain[*place]].name : std::string("(none)");
    };
    // Shown: the name edit, radio groups 1 and 2 (2 answered), edit 3.
    std::set<std::string> canFocus{"Ename", "RadioGroup2", "Edit3", "Button1"};
    const rules::TakesFocus takes = [&](std::size_t place) { return canFocus.count(form[chain[place]].name) > 0; };
    CHECK(nameAt(rules::firstFocus(chain.size(), takes)) == "Ename");
    canFocus.erase("Ename"); // no name asked for
    CHECK(nameAt(rules::firstFocus(chain.size(), takes)) == "RadioGroup2");
    canFocus = {"Button1"}; // every radio group unanswered, nothing else shown
    CHECK(nameAt(rules::firstFocus(chain.size(), takes)) == "Button1");
}

TEST_CASE("captions: a single & marks the access key, && shows one &")
{
    const auto parsed = rules::parseCaption(u"&Which season?");
    CHECK(parsed.shown == u"Which season?");
    CHECK(parsed.accessKey == u'W');
    CHECK(parsed.keyPosition == std::optional<std::size_t>(0));

    CHECK(rules::parseCaption(u"Tom && &jerry").shown == u"Tom & jerry");
    CHECK(rules::parseCaption(u"Tom && &jerry").accessKey == u'J');
    CHECK(rules::parseCaption(u"Tom && &jerry").keyPosition == std::optional<std::size_t>(6));
    CHECK(rules::parseCaption(u"a&&b").accessKey == 0);
    CHECK(rules::parseCaption(u"a&&b").shown == u"a&b");
    // Only the first single mark counts; a final "&" marks nothing and is not shown.
    CHECK(rules::parseCaption(u"&x&y").accessKey == u'X');
    CHECK(rules::parseCaption(u"&x&y").shown == u"xy");
    CHECK(rules::parseCaption(u"end&").shown == u"end");
    CHECK(rules::parseCaption(u"end&").accessKey == 0);
    // Full-width letters, as an input method types them, match either way.
    CHECK(rules::parseCaption(u"季節&ａ").accessKey == u'Ａ');
    CHECK(rules::normalisedKey(u'ａ') == u'Ａ');
    CHECK(rules::parseCaption(u"&季節").accessKey == u'季');
}

TEST_CASE("access keys: panels move into the panel, radio items select, labels and unknown keys do nothing")
{
    const std::vector<ControlSpec> form = form1Controls();
    const std::size_t panel1 = indexOf(form, "GroupBox1");
    const std::size_t panel2 = indexOf(form, "GroupBox2");
    const std::size_t radio2 = indexOf(form, "RadioGroup2");
    const std::size_t panel6 = indexOf(form, "GroupBox6");
    const std::size_t label1 = indexOf(form, "Label1");

    std::set<std::size_t> hidden{indexOf(form, "GroupBox9")};
    rules::AccessKeyCandidates candidates;
    candidates.isShown = [&](std::size_t i) { return hidden.count(i) == 0; };
    candidates.panelKey = [&](std::size_t i) -> char16_t {
        if (i == panel1)
            return u'A';
        if (i == panel6)
            return u'B';
        if (i == indexOf(form, "GroupBox9"))
            return u'Z';
        return 0;
    };
    candidates.radioItemKeys = [&](std::size_t i) {
        return i == radio2 ? std::vector<char16_t>{u'S', u'B'} : std::vector<char16_t>{};
    };
    using Kind = rules::AccessKeyTarget::Kind;

    auto target = rules::accessKeyTarget(form, u'a', std::nullopt, candidates);
    CHECK(target.kind == Kind::PanelAnswer);
    CHECK(target.control == panel1);
    CHECK(target.answer == std::optional<std::size_t>(indexOf(form, "RadioGroup1")));

    target = rules::accessKeyTarget(form, u's', std::nullopt, candidates);
    CHECK(target.kind == Kind::RadioItem);
    CHECK(target.control == radio2);
    CHECK(target.item == 0);

    // Two controls share "B": the first after the focused control wins, in turn.
    target = rules::accessKeyTarget(form, u'B', std::nullopt, candidates);
    CHECK(target.kind == Kind::RadioItem);
    CHECK(target.item == 1);
    target = rules::accessKeyTarget(form, u'B', radio2, candidates);
    CHECK(target.kind == Kind::PanelAnswer);
    CHECK(target.control == panel6);
    target = rules::accessKeyTarget(form, u'B', panel6, candidates);
    CHECK(target.kind == Kind::RadioItem);

    // A hidden panel's key, a label's and a key nobody has reach nothing.
    CHECK(rules::accessKeyTarget(form, u'Z', std::nullopt, candidates).kind == Kind::Nothing);
    CHECK(rules::accessKeyTarget(form, u'Q', label1, candidates).kind == Kind::Nothing);
    CHECK(rules::accessKeyTarget(form, 0, std::nullopt, candidates).kind == Kind::Nothing);
    static_cast<void>(panel2);
}

TEST_CASE("a panel's access key sends the focus where Tab into the panel would: its first shown control in tab order")
{
    // Created in another order than their tab order, with a label that takes no part.
    std::vector<ControlSpec> designs = {
        control("Before", ControlKind::Edit, "", 0),
        control("Panel", ControlKind::GroupBox, "", 1),
        control("Hint", ControlKind::Label, "Panel"),
        control("Text", ControlKind::Edit, "Panel", 2),
        control("List", ControlKind::CheckListBox, "Panel", 1),
        control("Radio", ControlKind::RadioGroup, "Panel", 0),
        control("Other", ControlKind::GroupBox, "", 2),
        control("OtherText", ControlKind::Edit, "Other", 0),
    };
    const std::size_t panel = indexOf(designs, "Panel");
    std::set<std::string> hidden;
    const auto isShown = [&](std::size_t i) { return hidden.count(designs[i].name) == 0; };
    const auto target = [&] {
        const auto answer = rules::panelAccessKeyTarget(designs, panel, isShown);
        return answer ? designs[*answer].name : std::string("(none)");
    };
    CHECK(target() == "Radio"); // an unanswered radio group included
    hidden = {"Radio"};
    CHECK(target() == "List");
    hidden = {"Radio", "List"};
    CHECK(target() == "Text");
    hidden = {"Radio", "List", "Text"}; // the label does not count, nor another panel's edit
    CHECK(target() == "(none)");
    CHECK(rules::panelAccessKeyTarget(designs, indexOf(designs, "Other"), isShown)
          == std::optional<std::size_t>(indexOf(designs, "OtherText")));

    // Through the access key: the same answer.
    rules::AccessKeyCandidates candidates;
    candidates.isShown = isShown;
    candidates.panelKey = [&](std::size_t i) { return i == panel ? u'P' : char16_t{0}; };
    candidates.radioItemKeys = [](std::size_t) { return std::vector<char16_t>{}; };
    hidden = {"Radio"};
    const auto reached = rules::accessKeyTarget(designs, u'p', std::nullopt, candidates);
    CHECK(reached.kind == rules::AccessKeyTarget::Kind::PanelAnswer);
    CHECK(reached.control == panel);
    CHECK(reached.answer == std::optional<std::size_t>(indexOf(designs, "List")));

    // The sheet: each panel's answer control that the set-up shows.
    const std::vector<ControlSpec> form = form1Controls();
    const std::set<std::string> shownInForm{"GroupBox3", "CheckListBox3", "GroupBox4", "Edit4", "Lbl4"};
    const auto formShown = [&](std::size_t i) { return shownInForm.count(form[i].name) > 0; };
    CHECK(rules::panelAccessKeyTarget(form, indexOf(form, "GroupBox3"), formShown)
          == std::optional<std::size_t>(indexOf(form, "CheckListBox3")));
    CHECK(rules::panelAccessKeyTarget(form, indexOf(form, "GroupBox4"), formShown)
          == std::optional<std::size_t>(indexOf(form, "Edit4")));
    CHECK_FALSE(rules::panelAccessKeyTarget(form, indexOf(form, "GroupBox5"), formShown));
}

TEST_CASE("radio arrows move and select with wrap-around, also from a group with nothing selected")
{
    CHECK(rules::radioArrow(3, 0, +1) == std::optional<int>(1));
    CHECK(rules::radioArrow(3, 2, +1) == std::optional<int>(0));
    CHECK(rules::radioArrow(3, 0, -1) == std::optional<int>(2));
    CHECK(rules::radioArrow(3, std::nullopt, +1) == std::optional<int>(0));
    CHECK(rules::radioArrow(3, std::nullopt, -1) == std::optional<int>(2));
    CHECK(rules::radioArrow(1, 0, +1) == std::optional<int>(0));
    CHECK_FALSE(rules::radioArrow(0, std::nullopt, +1));
}

TEST_CASE("radio items: one column, spread over the group's height, at most 24 px, as wide as their text")
{
    // The designed group: 385 x 89.
    auto places = rules::radioItemPlaces(385, 89, {50, 60, 70, 80, 900});
    REQUIRE(places.size() == 5);
    CHECK(places[0] == Rect{8, 9, 50, 15});
    CHECK(places[1] == Rect{8, 24, 60, 15});
    CHECK(places[4] == Rect{8, 69, 375, 15}); // cut at the frame
    for (const Rect& place : places)
        CHECK(place.bottom() <= 89);

    places = rules::radioItemPlaces(385, 89, {40, 40});
    CHECK(places[0] == Rect{8, 9, 40, 24});
    CHECK(places[1] == Rect{8, 33, 40, 24});
    CHECK(rules::radioItemPlaces(385, 89, {}).empty());
    // A group too small for its items still gives every item a row.
    places = rules::radioItemPlaces(100, 10, {40, 40});
    CHECK(places[1].height == 1);
}

TEST_CASE("radio items at a higher density: margins and the row cap scale with it")
{
    // The designed group at 144 dpi: 578 x 134.
    auto places = rules::radioItemPlaces(578, 134, {50, 60, 70, 80, 900}, 144);
    REQUIRE(places.size() == 5);
    CHECK(places[0] == Rect{12, 14, 50, 23}); // (134 - 14 - 3) / 5 rows
    CHECK(places[4] == Rect{12, 106, 563, 23});
    places = rules::radioItemPlaces(578, 134, {40, 40}, 144);
    CHECK(places[1] == Rect{12, 50, 40, 36}); // the 24 px cap, scaled
    // Explicitly at 96 the same as designed.
    CHECK(rules::radioItemPlaces(385, 89, {50, 60}, 96) == rules::radioItemPlaces(385, 89, {50, 60}));
}

TEST_CASE("scaling to the screen's density: nearest pixel, halves away from zero, nothing changes at 96")
{
    CHECK(rules::scaled(113, 144) == 170); // 169.5
    CHECK(rules::scaled(15, 144) == 23);   // 22.5
    CHECK(rules::scaled(12, 144) == 18);
    CHECK(rules::scaled(1, 120) == 1);   // 1.25
    CHECK(rules::scaled(2, 120) == 3);   // 2.5
    CHECK(rules::scaled(3, 120) == 4);   // 3.75
    CHECK(rules::scaled(-3, 144) == -5); // -4.5, as 4.5 the other way
    CHECK(rules::scaled(-1, 120) == -1);
    CHECK(rules::scaled(0, 192) == 0);
    CHECK(rules::scaled(727, 192) == 1454);
    CHECK(rules::scaled(40000, 480) == 200000); // no overflow on the way
    static_assert(rules::scaled(24, 144) == 36);

    // A rectangle's numbers round one by one, alike.
    CHECK(rules::scaled(Rect{8, 88, 481, 113}, 120) == Rect{10, 110, 601, 141});
    CHECK(rules::scaled(Rect{9, 10, 1006, 727}, 144) == Rect{14, 15, 1509, 1091});

    const toolkit::WindowSpec window = form1WindowSpec();
    const toolkit::WindowSpec at120 = rules::scaled(window, 120);
    CHECK(at120.left == 11);
    CHECK(at120.top == 13);
    CHECK(at120.outerWidth == 1258);
    CHECK(at120.outerHeight == 909);
    CHECK(at120.fontPixels == 15);
    CHECK(at120.fontFace == window.fontFace);
    CHECK(at120.caption == window.caption);

    const std::vector<ControlSpec> designs = form1Controls();
    for (const ControlSpec& design : designs) {
        CAPTURE(design.name);
        const ControlSpec same = rules::scaled(design, 96);
        CHECK(same.left == design.left);
        CHECK(same.top == design.top);
        CHECK(same.width == design.width);
        CHECK(same.height == design.height);
        CHECK(same.fontPixels == design.fontPixels);
        const ControlSpec twice = rules::scaled(design, 192);
        CHECK(twice.left == 2 * design.left);
        CHECK(twice.width == 2 * design.width);
        CHECK(twice.fontPixels == 2 * design.fontPixels);
        CHECK(twice.name == design.name);
        CHECK(twice.parent == design.parent);
        CHECK(twice.tabOrder == design.tabOrder);
    }
    const ControlSpec button = rules::scaled(designs[indexOf(designs, "Button1")], 144);
    CHECK(rules::Rect{button.left, button.top, button.width, button.height} == Rect{1200, 60, 266, 62});
    CHECK(button.fontPixels == 29); // 28.5
    CHECK(button.bold);
}

TEST_CASE("check-list rows are one line of the font; the scroll range is the visible controls' bounding box")
{
    CHECK(rules::checkListRowHeight(15) == 15);
    CHECK(rules::scrollRange({}) == rules::Size{0, 0});
    CHECK(rules::scrollRange({{8, 0, 81, 27}, {504, 568, 481, 113}, {800, 40, 177, 41}}) == rules::Size{985, 681});
    // A title grown past the window widens the range.
    CHECK(rules::scrollRange({{8, 0, 3000, 27}, {8, 88, 481, 113}}) == rules::Size{3008, 201});
}

TEST_CASE("the frame fits the work area: as designed where it fits, else moved as little as fits and shrunk to it")
{
    struct Fit
    {
        Rect designed;
        Rect workArea;
    };
    const Rect at96{9, 10, 1006, 727};
    const Rect at144 = rules::scaled(at96, 144); // 14, 15, 1509 x 1091
    const Rect at120 = rules::scaled(at96, 120); // 11, 13, 1258 x 909
    const Rect client120 = rules::scaled(Rect{9, 10, 990, 689}, 120);
    const test::CaseRows<Fit, Rect> rows = {
        {"fits: unchanged to the pixel", {at96, {0, 0, 1280, 1024}}, at96},
        {"fits exactly to its right and bottom edge", {at96, {9, 10, 1006, 727}}, at96},
        {"fits beside a left panel it does not reach", {at96, {5, 0, 1275, 1024}}, at96},
        {"at 150 % on 1280 x 1024: shrunk both ways, its place kept", {at144, {0, 0, 1280, 1024}}, {0, 0, 1280, 1024}},
        {"at 150 % on 1920 x 1040 (a task bar below): only the height shrinks",
         {at144, {0, 0, 1920, 1040}},
         {14, 0, 1509, 1040}},
        {"at 125 % on 1366 x 728: the width fits, the height shrinks", {at120, {0, 0, 1366, 728}}, {11, 0, 1258, 728}},
        {"a client area without a frame at 125 % on 1366 x 768", {client120, {0, 0, 1366, 768}}, {11, 0, 1238, 768}},
        {"too wide only: moved left as far as needed, its top kept",
         {{300, 10, 1006, 727}, {0, 0, 1280, 1024}},
         {274, 10, 1006, 727}},
        {"a top panel of 48 px: moved below it and shrunk to what is left",
         {at96, {0, 48, 1366, 720}},
         {9, 48, 1006, 720}},
        {"a left panel of 64 px: moved right of it", {at96, {64, 0, 1216, 1024}}, {64, 10, 1006, 727}},
        {"a work area not at the origin (a second monitor)", {at144, {1280, 0, 1280, 984}}, {1280, 0, 1280, 984}},
        {"no work area known: as designed", {at144, {0, 0, 0, 0}}, at144},
    };
    test::forEachRow(rows, [](const auto& row) {
        const Rect fitted = rules::fitFrame(row.input.designed, row.input.workArea);
        CHECK(fitted == row.expected);
        if (row.input.workArea.width > 0)
            CHECK(row.input.workArea.contains(fitted));
    });
}

TEST_CASE("a panel's caption is cut at the panel's edge: its room, and when a text counts as cut")
{
    CHECK(rules::panelCaptionRoom(481) == 481 - 8 - 2 * 2);
    CHECK(rules::panelCaptionRoom(rules::scaled(481, 144), 144) == 722 - 12 - 2 * 3);
    CHECK(rules::panelCaptionRoom(rules::scaled(481, 192), 192) == 2 * rules::panelCaptionRoom(481));
    CHECK(rules::panelCaptionRoom(5) == 0);
    CHECK_FALSE(rules::isCut(469, rules::panelCaptionRoom(481)));
    CHECK(rules::isCut(470, rules::panelCaptionRoom(481)));
    CHECK_FALSE(rules::isCut(0, 0));
}
