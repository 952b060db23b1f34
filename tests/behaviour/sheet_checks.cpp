// The sheet set-up from data.txt for the three kinds of question, the
// design-time window after a failed read, and the send action with the
// answer file compared byte for byte with the golden files.
#include "behaviour.h"
#include "tests/support/questionnaires.h"

#include "app/text/cp932.h"
#include "sheet/tform1.h"

#include <filesystem>
#include <map>
#include <stdexcept>

using namespace mirunea;
using namespace mirunea::test;

namespace {

const std::filesystem::path kData = MIRUNEA_BEHAVIOUR_DATA;

// "R", "C", "T" for the answer control shown in panel q, "-" for a hidden
// panel, "?" for none or several shown.
std::string shownKind(WindowDriver& driver, int q)
{
    const std::string n = std::to_string(q);
    if (!driver.isVisible("GroupBox" + n))
        return "-";
    std::string kinds;
    if (driver.isVisible("RadioGroup" + n))
        kinds += 'R';
    if (driver.isVisible("CheckListBox" + n))
        kinds += 'C';
    if (driver.isVisible("Edit" + n))
        kinds += 'T';
    return kinds.size() == 1 ? kinds : "?";
}

std::string shownKinds(WindowDriver& driver)
{
    std::string kinds;
    for (int q = 1; q <= 10; ++q)
        kinds += shownKind(driver, q);
    return kinds;
}

const Lines& kThreeKinds = mirunea::test::kThreeKindsQuestionnaire;
const Lines& kPlainThreeKinds = mirunea::test::kPlainThreeKindsQuestionnaire;

Lines tenTextQuestions()
{
    Lines lines{"title", "description", "name"};
    for (int q = 1; q <= 10; ++q)
        lines.push_back("[T]question " + std::to_string(q));
    return lines;
}

Lines tenQuestionsLastChoice()
{
    Lines lines{"t", "d", "n"};
    for (int q = 1; q <= 9; ++q)
        lines.push_back("[T]q" + std::to_string(q));
    lines.insert(lines.end(), {"[R]q10", "a", "b"});
    return lines;
}

// Answers as a person gives them, by clicks and typing: "name=…",
// "R<q>=<item>" (chooses), "C<q>=<row>" (toggles the tick), "T<q>=…".
void answer(WindowDriver& driver, const std::string& action)
{
    const std::string key = action.substr(0, action.find('='));
    const std::string value = action.substr(key.size() + 1);
    const std::string q = key.substr(1);
    if (key == "name") {
        clickOn(driver, "Ename");
        driver.type(value);
    } else if (key[0] == 'R') {
        clickOn(driver, "RadioGroup" + q + "/" + value);
    } else if (key[0] == 'C') {
        driver.click(driver.checkBoxOf("CheckListBox" + q, std::stoi(value)));
    } else if (key[0] == 'T') {
        clickOn(driver, "Edit" + q);
        driver.type(value);
    } else {
        throw std::logic_error("no such answer: " + action);
    }
}

// Tab once round the sheet from the name field.
std::vector<std::string> tabRound(WindowDriver& driver, std::size_t stops)
{
    std::vector<std::string> order{driver.focused()};
    for (std::size_t i = 0; i < stops; ++i) {
        driver.press(Key::Tab);
        order.push_back(driver.focused());
    }
    return order;
}

} // namespace

TEST_CASE("panels show the questions only, with the hint of their kind")
{
    struct Case
    {
        const char* what;
        Lines questionnaire;
        const char* kinds; // per panel 1 to 10, as shownKind() gives them
    };
    const Case cases[] = {
        {"three kinds", kThreeKinds, "RTC-------"},
        {"ten text questions", tenTextQuestions(), "TTTTTTTTTT"},
        {"eleven questions keep ten",
         {"t", "d", "n", "[C]1", "[C]2", "[C]3", "[C]4", "[C]5", "[R]6", "[R]7", "[R]8", "[R]9", "[T]10", "[T]11"},
         "CCCCCRRRRT"},
        {"no questions", {"title", "description", "name"}, "----------"},
        {"empty file", {}, "----------"},
        {"sixth panel is the top of the right column",
         {"t", "d", "", "[T]1", "[T]2", "[T]3", "[T]4", "[T]5", "[R]6", "x"},
         "TTTTTR----"},
    };
    const std::map<char, std::string> hintOf{{'R', "一つ選択"}, {'C', "複数選択可"}, {'T', "ここに入力"}};
    for (const Case& c : cases) {
        CAPTURE(std::string(c.what));
        OpenSheet sheet(c.questionnaire);
        REQUIRE(sheet.readyWithoutBox());
        const std::string kinds = shownKinds(*sheet);
        CHECK(kinds == c.kinds);
        for (int q = 1; q <= 10; ++q) {
            const char kind = kinds[static_cast<std::size_t>(q - 1)];
            if (kind == '-')
                continue;
            CAPTURE(q);
            CHECK(sheet->isVisible("Lbl" + std::to_string(q)));
            CHECK(sheet->shownText("Lbl" + std::to_string(q)) == hintOf.at(kind));
        }
    }
}

TEST_CASE("the labels and the name field show the header")
{
    struct Case
    {
        const char* what;
        Lines questionnaire;
        const char* title;
        const char* description;
        const char* prompt;
        bool nameField;
    };
    const Case cases[] = {
        {"all three", kThreeKinds, "給食アンケート", "正直に答えてください", "氏名", true},
        {"empty line 3 hides the name field", {"t", "d", "", "[T]q"}, "t", "d", "", false},
        {"file of one line", {"only a title"}, "only a title", "", "", false},
        // "ソ" and "表" end in byte 5C, the code of "\" in ASCII.
        {"Shift-JIS trail bytes 5C", {"ソフト表示", "能力", "出席番号"}, "ソフト表示", "能力", "出席番号", true},
        {"access key marks", {"&Title", "A&&B", "&Name"}, "Title", "A&B", "Name", true},
        {"markers in the header are text", {"[R]t", "[C]d", "[T]n"}, "[R]t", "[C]d", "[T]n", true},
    };
    for (const Case& c : cases) {
        CAPTURE(std::string(c.what));
        OpenSheet sheet(c.questionnaire);
        REQUIRE(sheet.readyWithoutBox());
        CHECK(sheet->shownText("Label1") == c.title);
        CHECK(sheet->shownText("Label2") == c.description);
        CHECK(sheet->shownText("Label3") == c.prompt);
        CHECK(sheet->isVisible("Ename") == c.nameField);
        // Without a prompt the label stays, blank.
        CHECK(sheet->isVisible("Label3"));
    }
}

TEST_CASE("answer controls hold the choices in order, nothing chosen; unused controls keep their design-time state")
{
    OpenSheet sheet(kThreeKinds);
    REQUIRE(sheet.readyWithoutBox());
    // Radio items take "&" as an access-key mark, check-list items show it.
    CHECK(sheet->itemTexts("RadioGroup1") == std::vector<std::string>{"春", "夏秋", "冬"});
    CHECK(sheet->itemTexts("CheckListBox3") == std::vector<std::string>{"美術", "A&B"});
    CHECK(sheet->shownText("Edit2").empty());
    CHECK(sheet->shownText("GroupBox1") == "好きな季節は？");
    CHECK(sheet->shownText("GroupBox2") == "ご意見");
    CHECK(sheet->shownText("GroupBox3") == "クラブ");
    CHECK(selectedItem(*sheet, 1) == 0);
    CHECK(ticks(*sheet, 3) == "00");

    // The edits of choice panels and of hidden panels keep their text, hidden.
    for (int q : {1, 3, 4, 10}) {
        CAPTURE(q);
        CHECK(sheet->shownText("Edit" + std::to_string(q)) == "Edit1");
        CHECK_FALSE(sheet->isVisible("Edit" + std::to_string(q)));
    }
    // Hidden panels keep their design-time caption and hint.
    for (int q : {4, 10}) {
        CAPTURE(q);
        CHECK(sheet->shownText("GroupBox" + std::to_string(q)) == "GroupBox1");
        CHECK(sheet->shownText("Lbl" + std::to_string(q)) == "複数選択可");
    }
    CHECK(sheet->itemTexts("RadioGroup3").empty());
    CHECK(sheet->itemTexts("CheckListBox1").empty());

    // The set-up's controls at their places, the hidden ones covering nothing.
    CHECK(sheet->topmostAt({8 + 300, 88 + 80}) == "RadioGroup1");
    CHECK(sheet->topmostAt({8 + 300, 208 + 40}) == "Edit2");
    CHECK(sheet->topmostAt({8 + 300, 208 + 80}) == "GroupBox2");
    CHECK(sheet->topmostAt({8 + 300, 328 + 40}) == "CheckListBox3");
    CHECK(sheet->topmostAt({8 + 300, 448 + 40}).empty());
}

TEST_CASE("a questionnaire text longer than 4,096 characters shows its first 4,096, on every kind of control")
{
    const auto times = [](const std::string& piece, int count) {
        std::string text;
        for (int i = 0; i < count; ++i)
            text += piece;
        return text;
    };
    // Fewer bytes than twice the bound, and double-byte characters that end
    // just at it and just past it.
    const std::string title = times("t", 5000);
    const std::string description = times("説", 5000);
    const std::string question = times("q", 4095) + "問x";
    const std::string choice = times("c", 4094) + "選択肢";
    OpenSheet sheet(Lines{title, description, times("n", 4097), "[R]" + question, choice, "short", "", "[C]" + question,
                          choice, "", "[T]" + question});
    REQUIRE(sheet.readyWithoutBox());
    CHECK(sheet->shownText("Label1") == times("t", 4096));
    CHECK(sheet->shownText("Label2") == times("説", 4096));
    CHECK(sheet->shownText("Label3") == times("n", 4096));
    const std::string shownQuestion = times("q", 4095) + "問";
    const std::string shownChoice = times("c", 4094) + "選択";
    for (int q = 1; q <= 3; ++q) {
        CAPTURE(q);
        CHECK(sheet->shownText("GroupBox" + std::to_string(q)) == shownQuestion);
    }
    CHECK(sheet->itemTexts("RadioGroup1") == std::vector<std::string>{shownChoice, "short"});
    CHECK(sheet->itemTexts("CheckListBox2") == std::vector<std::string>{shownChoice});
}

TEST_CASE("a choice question without choices shows an empty control")
{
    for (const std::string marker : {"[R]", "[C]"}) {
        CAPTURE(marker);
        const std::string control = marker == "[R]" ? "RadioGroup" : "CheckListBox";
        // The first question ends at once, at the next marker line.
        OpenSheet sheet(Lines{"t", "d", "n", marker + "empty", marker + "two", "a", "b"});
        REQUIRE(sheet.readyWithoutBox());
        CHECK(shownKind(*sheet, 1) == marker.substr(1, 1));
        CHECK(sheet->isVisible(control + "1"));
        CHECK(sheet->itemTexts(control + "1").empty());
        CHECK(sheet->itemTexts(control + "2") == std::vector<std::string>{"a", "b"});
    }
}

TEST_CASE("answer controls take their colours")
{
    OpenSheet sheet(kThreeKinds);
    REQUIRE(sheet.readyWithoutBox());
    struct Sample
    {
        const char* control;
        Point point; // inside that control, clear of text and frame
        toolkit::Rgb colour;
    };
    const Sample samples[] = {
        {"RadioGroup1", {370, 70}, kSilver}, {"Lbl1", {0, 0}, kSilver},    {"CheckListBox3", {370, 70}, kWhite},
        {"Edit2", {370, 11}, kWhite},        {"Ename", {200, 11}, kWhite}, {"Label3", {0, 0}, kPaleGreen},
    };
    for (const Sample& sample : samples) {
        CAPTURE(std::string(sample.control));
        const Rect place = sheet->placeInClient(sample.control);
        CHECK(colourName(sheet->pixelAt({place.left + sample.point.x, place.top + sample.point.y}))
              == colourName(sample.colour));
    }
    // A hidden panel leaves the window's colour.
    CHECK(colourName(sheet->pixelAt({8 + 40, 448 + 80})) == colourName(kPaleGreen));
}

TEST_CASE("a missing questionnaire shows the error box, then the design-time window, which sends the name alone")
{
    OpenSheet sheet(std::nullopt);
    REQUIRE(sheet.shown);
    // The box came during the window's creation, before the window was shown.
    CHECK(sheet.boxesBeforeShow == 1u);
    REQUIRE(sheet->seenBoxes().size() == 1u);
    CHECK(sheet->seenBoxes().front().caption == "ミルネア");
    CHECK(sheet->seenBoxes().front().text == "ファイルが見つかりません.");

    CHECK(sheet->shownText("Label1") == "Label1");
    CHECK(sheet->shownText("Label2") == "このアンケートの説明");
    CHECK(sheet->shownText("Label3") == "氏名");
    CHECK(sheet->isVisible("Ename"));
    CHECK(sheet->isVisible("Button1"));
    CHECK(shownKinds(*sheet) == "----------");
    for (const std::string& code : sheet->form()->typeCodes())
        CHECK(code.empty());
    // The name field has the first focus; Tab goes to the button and back.
    CHECK(waitUntil(*sheet, [&] { return sheet->focused() == "Ename"; }));
    CHECK(tabRound(*sheet, 2) == std::vector<std::string>{"Ename", "Button1", "Ename"});
    CHECK(!sheet.folder.hasAnswerFile());

    // The name alone is sent.
    answer(*sheet, "name=Jiro");
    clickOn(*sheet, "Button1");
    REQUIRE(sheet->seenBoxes().size() == 2u);
    CHECK(sheet->seenBoxes().back().text == "送信しました");
    CHECK(sheet.folder.answerFileBytes() == expectedAnswerFile({"Jiro", "[END]"}));
}

TEST_CASE("tab order and first focus after the set-up of the three kinds")
{
    OpenSheet sheet(kThreeKinds);
    REQUIRE(sheet.readyWithoutBox());
    CHECK(waitUntil(*sheet, [&] { return sheet->focused() == "Ename"; }));
    // The unanswered radio group 1 is passed by.
    CHECK(tabRound(*sheet, 4) == std::vector<std::string>{"Ename", "Edit2", "CheckListBox3", "Button1", "Ename"});
}

TEST_CASE("answered by clicks and keys, the sheet sends the golden answer file")
{
    OpenSheet sheet(std::filesystem::path(MIRUNEA_EXAMPLES) / "data.txt");
    REQUIRE(sheet.readyWithoutBox());
    REQUIRE(waitUntil(*sheet, [&] { return sheet->focused() == "Ename"; }));
    sheet->type("Taro");              // the name field has the first focus
    clickOn(*sheet, "RadioGroup1/3"); // Q1: the third choice
    for (int row : {1, 3, 5})
        sheet->click(sheet->checkBoxOf("CheckListBox2", row)); // Q2: tick 1, 3, 5 ...
    sheet->click(sheet->checkBoxOf("CheckListBox2", 5));       // ... and untick 5
    CHECK(ticks(*sheet, 2) == "10100");
    clickOn(*sheet, "Edit3");
    sheet->type("文化祭の劇ソ表");
    clickOn(*sheet, "RadioGroup4/1"); // Q4: the first choice ...
    sheet->press(Key::Up);            // ... Up wraps round to the third
    CHECK(selectedItem(*sheet, 4) == 3);
    sheet->press(Key::Tab); // Q5: tick 1 and 3 by keys
    REQUIRE(sheet->focused() == "CheckListBox5");
    sheet->press(Key::Space);
    sheet->press(Key::Down);
    sheet->press(Key::Down);
    sheet->press(Key::Space);
    CHECK(ticks(*sheet, 5) == "1010");
    // A text with a line break set from outside, as another program can.
    sheet->window().control<toolkit::Edit>("Edit7").setText("line1\r\nline2");
    sheet->press(Key::Tab); // the send button, then Enter
    REQUIRE(sheet->focused() == "Button1");
    sheet->press(Key::Return);

    REQUIRE(sheet->seenBoxes().size() == 1u);
    CHECK(sheet->seenBoxes().front().caption == "ミルネア");
    CHECK(sheet->seenBoxes().front().text == "送信しました");
    REQUIRE(sheet.folder.hasAnswerFile());
    CHECK(sheet.folder.answerFileBytes() == goldenForThisComputer(kData / "e2e_send.ans"));
}

TEST_CASE("answers are written to the file as the controls show them")
{
    struct Case
    {
        const char* what;
        Lines questionnaire;
        std::vector<std::string> answers;
        Lines fileAfterName; // the lines after the computer name
    };
    const Case cases[] = {
        {"every kind answered",
         kPlainThreeKinds,
         {"name=山田 太郎", "R1=2", "T2=とても良い", "C3=1", "C3=3"},
         {"山田 太郎", "[Q1R]", "0", "1", "0", "[Q2T]", "とても良い", "[Q3C]", "1", "0", "1", "[END]"}},
        {"nothing answered",
         kPlainThreeKinds,
         {},
         {"", "[Q1R]", "0", "0", "0", "[Q2T]", "", "[Q3C]", "0", "0", "0", "[END]"}},
        {"ticked and unticked again",
         kPlainThreeKinds,
         {"name=Taro", "C3=2", "C3=2", "C3=3", "R1=1", "R1=3"},
         {"Taro", "[Q1R]", "0", "0", "1", "[Q2T]", "", "[Q3C]", "0", "0", "1", "[END]"}},
        {"texts that read like section lines",
         kPlainThreeKinds,
         {"name=[Q1R]", "T2=[END]"},
         {"[Q1R]", "[Q1R]", "0", "0", "0", "[Q2T]", "[END]", "[Q3C]", "0", "0", "0", "[END]"}},
        // "ソ" 83 5C and "表" 95 5C: trail bytes that read as "\".
        {"Shift-JIS text",
         kPlainThreeKinds,
         {"name=能登", "T2=ソフト表示"},
         {"能登", "[Q1R]", "0", "0", "0", "[Q2T]", "ソフト表示", "[Q3C]", "0", "0", "0", "[END]"}},
        {"name field hidden", {"t", "d", "", "[T]q"}, {"T1=x"}, {"", "[Q1T]", "x", "[END]"}},
        {"choice questions without choices",
         {"t", "d", "n", "[R]r", "[C]c", "", "[T]t"},
         {"T3=z"},
         {"", "[Q1R]", "[Q2C]", "[Q3T]", "z", "[END]"}},
        {"ten questions",
         tenQuestionsLastChoice(),
         {"T1=first", "T9=ninth", "R10=2"},
         {"", "[Q1T]", "first", "[Q2T]", "", "[Q3T]", "",      "[Q4T]",  "",  "[Q5T]", "",     "[Q6T]",
          "", "[Q7T]", "",      "[Q8T]", "", "[Q9T]", "ninth", "[Q10R]", "0", "1",     "[END]"}},
    };
    for (const Case& c : cases) {
        CAPTURE(std::string(c.what));
        OpenSheet sheet(c.questionnaire);
        REQUIRE(sheet.readyWithoutBox());
        for (const std::string& action : c.answers)
            answer(*sheet, action);
        clickOn(*sheet, "Button1");
        REQUIRE(sheet->seenBoxes().size() == 1u);
        CHECK(sheet->seenBoxes().front().text == "送信しました");
        REQUIRE(sheet.folder.hasAnswerFile());
        CHECK(sheet.folder.answerFileBytes() == expectedAnswerFile(c.fileAfterName));
    }
}

TEST_CASE("worked by keys only, the sheet sends the golden answer file, after a failed send")
{
    OpenSheet sheet(kData / "e2e_keyboard.txt");
    REQUIRE(sheet.readyWithoutBox());
    REQUIRE(waitUntil(*sheet, [&] { return sheet->focused() == "Ename"; }));
    sheet->type("K");
    sheet->pressLetter('Q', Alt); // panel 1: the unanswered group itself; Down selects the first
    sheet->press(Key::Down);
    sheet->pressLetter('U', Alt); // the item "S&ummer": focused and selected
    sheet->pressLetter('I', Alt); // the title label's key does nothing: "y" reaches no edit
    sheet->type("y");
    sheet->pressLetter('C', Alt); // panel 3's edit; Enter there sends nothing
    sheet->type("x");
    sheet->press(Key::Return);
    CHECK(sheet->seenBoxes().empty());
    CHECK(sheet->shownText("Edit3") == "x");
    CHECK(selectedItem(*sheet, 1) == 2);

    // A folder in place of the answer file: the send fails, the error box
    // shows, and the window carries on with its answers.
    const std::filesystem::path blocker = sheet.folder.path() / SheetFolder::answerFileName();
    std::filesystem::create_directory(blocker);
    sheet->press(Key::Tab); // the unanswered group 2 is skipped: the button
    REQUIRE(sheet->focused() == "Button1");
    sheet->press(Key::Return);
    REQUIRE(sheet->seenBoxes().size() == 1u);
    CHECK(sheet->seenBoxes().back().caption == "ミルネア");
    CHECK(sheet->seenBoxes().back().text == "ファイルへのアクセスが拒否されました.");
    // Nothing was written in the folder's place; the answers stay.
    CHECK(std::filesystem::is_directory(blocker));
    CHECK(sheet->shownText("Ename") == "K");
    CHECK(sheet->shownText("Edit3") == "x");
    CHECK(selectedItem(*sheet, 1) == 2);

    std::filesystem::remove(blocker);
    CHECK(waitUntil(*sheet, [&] { return sheet->focused() == "Button1"; }));
    sheet->press(Key::Return); // the button has the focus again: send once more
    REQUIRE(sheet->seenBoxes().size() == 2u);
    CHECK(sheet->seenBoxes().back().text == "送信しました");
    CHECK(sheet.folder.answerFileBytes() == goldenForThisComputer(kData / "e2e_keyboard.ans"));
}

TEST_CASE("a second send replaces the first answer file")
{
    OpenSheet sheet(Lines{"t", "d", "n", "[R]q", "a", "b", "", "[T]t", "[C]c", "x", "y"});
    REQUIRE(sheet.readyWithoutBox());
    clickOn(*sheet, "Ename");
    sheet->type("Hanako Yamada");
    clickOn(*sheet, "RadioGroup1/1");
    clickOn(*sheet, "Edit2");
    sheet->type("a much longer first comment");
    sheet->click(sheet->checkBoxOf("CheckListBox3", 1));
    sheet->click(sheet->checkBoxOf("CheckListBox3", 2));
    clickOn(*sheet, "Button1");
    REQUIRE(sheet->seenBoxes().size() == 1u);
    CHECK(sheet.folder.answerFileBytes()
          == expectedAnswerFile({"Hanako Yamada", "[Q1R]", "1", "0", "[Q2T]", "a much longer first comment", "[Q3C]",
                                 "1", "1", "[END]"}));

    sheet->window().control<toolkit::Edit>("Ename").setText("Hanako");
    clickOn(*sheet, "RadioGroup1/2");
    sheet->window().control<toolkit::Edit>("Edit2").setText("short");
    sheet->click(sheet->checkBoxOf("CheckListBox3", 1));
    clickOn(*sheet, "Button1");
    REQUIRE(sheet->seenBoxes().size() == 2u);
    CHECK(sheet->seenBoxes().back().text == "送信しました");
    CHECK(sheet.folder.answerFileBytes()
          == expectedAnswerFile({"Hanako", "[Q1R]", "0", "1", "[Q2T]", "short", "[Q3C]", "0", "1", "[END]"}));
}

TEST_CASE("a character Shift-JIS cannot hold shows at once as what will be sent")
{
    OpenSheet sheet(Lines{"t", "d", "n", "[T]q"});
    REQUIRE(sheet.readyWithoutBox());
    clickOn(*sheet, "Ename");
    sheet->type("𠮷田"); // an input method's commit
    CHECK(sheet->shownText("Ename") == "?田");
    clickOn(*sheet, "Edit1");
    sheet->paste("〜−‖¢£¬—😀𠮷한é");
    // The seven read back as the characters their bytes are; the rest one "?" a code point.
    CHECK(sheet->shownText("Edit1") == "～－∥￠￡￢―????");
    sheet->type("x"); // the caret stands after the replaced paste
    CHECK(sheet->shownText("Edit1") == "～－∥￠￡￢―????x");
    clickOn(*sheet, "Button1");
    REQUIRE(sheet->seenBoxes().size() == 1u);
    CHECK(sheet->seenBoxes().front().text == "送信しました");
    CHECK(sheet.folder.answerFileBytes()
          == expectedAnswerFile({"?田", "[Q1T]"})
              + "\x81\x60\x81\x7c\x81\x61\x81\x91\x81\x92\x81\xca\x81\x5c????x\r\n[END]\r\n");
}
