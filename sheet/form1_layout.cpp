#include "sheet/form1_layout.h"

#include "app/text/cp932.h"
#include "app/toolkit/design_look.h"
#include "questionnaire/question_panel.h"
#include "questionnaire/questionnaire.h"

#include <string>

namespace mirunea {

namespace {

using toolkit::Background;
using toolkit::ControlKind;

constexpr auto Label = ControlKind::Label;
constexpr auto Edit = ControlKind::Edit;
constexpr auto Panel = ControlKind::GroupBox;
constexpr auto Radio = ControlKind::RadioGroup;
constexpr auto CheckList = ControlKind::CheckListBox;
constexpr auto Button = ControlKind::Button;
constexpr auto Parent = Background::Parent;
constexpr auto Silver = Background::Silver;
constexpr auto Window = Background::SystemWindow;
constexpr bool Bold = true;
constexpr bool Regular = false;
constexpr int NoTab = -1;
// The question panel's numbers the teacher's tool reads too.
constexpr int PanelW = kQuestionPanel.width;
constexpr int PanelPx = kQuestionPanel.fontPixels;
constexpr int InnerL = kQuestionPanel.innerLeft;
constexpr int AnswerW = kQuestionPanel.answerWidth;

struct Row
{
    const char* name;
    ControlKind kind;
    int left, top, width, height;
    int fontPixels;
    bool bold;
    const char* text; // UTF-8 here, Shift-JIS in the window
    int tabOrder;
    Background background;
};

// Top-level controls in creation order. Question panels carry the inner
// controls of kPanelInner; the send button sits between the two columns.
// The tables stay aligned in columns.
// clang-format off
constexpr Row kTopLevel[] = {
    // name        kind    left  top   width height    font bold     design-time text     tab  background
    {"Label1",     Label,     8,   0,     81,    27,      27, Bold,    "Label1",            NoTab, Parent},
    {"Label2",     Label,    16,  32,    117,    13,      13, Regular, "このアンケートの説明", NoTab, Parent},
    {"Label3",     Label,    24,  56,     32,    16,      16, Regular, "氏名",              NoTab, Parent},
    {"Ename",      Edit,     80,  56,    217,    23,      15, Regular, "",                      0, Window},
    {"GroupBox1",  Panel,     8,  88, PanelW,   113, PanelPx, Regular, "GroupBox1",             1, Silver},
    {"GroupBox2",  Panel,     8, 208, PanelW,   113, PanelPx, Regular, "GroupBox2",             2, Silver},
    {"GroupBox3",  Panel,     8, 328, PanelW,   113, PanelPx, Regular, "GroupBox1",             3, Silver},
    {"GroupBox4",  Panel,     8, 448, PanelW,   113, PanelPx, Regular, "GroupBox1",             4, Silver},
    {"GroupBox5",  Panel,     8, 568, PanelW,   113, PanelPx, Regular, "GroupBox1",             5, Silver},
    {"Button1",    Button,  800,  40,    177,    41,      19, Bold,    "入力終了（送信）",        6, Parent},
    {"GroupBox6",  Panel,   504,  88, PanelW,   113, PanelPx, Regular, "GroupBox1",             7, Silver},
    {"GroupBox7",  Panel,   504, 208, PanelW,   113, PanelPx, Regular, "GroupBox1",             8, Silver},
    {"GroupBox8",  Panel,   504, 328, PanelW,   113, PanelPx, Regular, "GroupBox1",             9, Silver},
    {"GroupBox9",  Panel,   504, 448, PanelW,   113, PanelPx, Regular, "GroupBox1",            10, Silver},
    {"GroupBox10", Panel,   504, 568, PanelW,   113, PanelPx, Regular, "GroupBox1",            11, Silver},
};

// The same four controls inside every question panel q, named with q appended.
// The three answer controls overlap; the sheet set-up shows one at most.
constexpr Row kPanelInner[] = {
    // name          kind         left top    width height    font bold     design-time text  tab  background
    {"Lbl",          Label,     InnerL, 32,      75,    15, PanelPx, Regular, "複数選択可",     NoTab, Parent},
    {"RadioGroup",   Radio,         88, 16, AnswerW,    89, PanelPx, Regular, "",                  0, Parent},
    {"CheckListBox", CheckList,     88, 24, AnswerW,    81, PanelPx, Regular, "",                  1, Window},
    {"Edit",         Edit,          88, 32, AnswerW,    23, PanelPx, Regular, "Edit1",             2, Window},
};
// clang-format on

toolkit::ControlSpec specOf(const Row& row, const std::string& nameSuffix, const std::string& parent)
{
    return toolkit::ControlSpec{
        .name = row.name + nameSuffix,
        .kind = row.kind,
        .parent = parent,
        .left = row.left,
        .top = row.top,
        .width = row.width,
        .height = row.height,
        .fontPixels = row.fontPixels,
        .bold = row.bold,
        .text = cp932::fromUtf8(row.text),
        .tabOrder = row.tabOrder,
        .background = row.background,
    };
}

} // namespace

toolkit::WindowSpec form1WindowSpec()
{
    return toolkit::WindowSpec{
        .name = "Form1",
        .caption = cp932::fromUtf8("校内アンケート\u3000ミルネア"),
        .left = 9,
        .top = 10,
        .outerWidth = 1006,
        .outerHeight = 727,
        // The outer size less a resizable frame and caption bar.
        .clientWidth = 990,
        .clientHeight = 689,
        .background = {192, 220, 192},
        .fontFace = toolkit::design::fontFace(),
        .fontPixels = toolkit::design::kFontPixels,
    };
}

std::vector<toolkit::ControlSpec> form1Controls()
{
    std::vector<toolkit::ControlSpec> designs;
    for (const Row& row : kTopLevel) {
        designs.push_back(specOf(row, "", ""));
        if (row.kind != Panel)
            continue;
        const std::string panelName = row.name;
        const std::string q = panelName.substr(std::string("GroupBox").size());
        for (const Row& inner : kPanelInner)
            designs.push_back(specOf(inner, q, panelName));
    }
    return designs;
}

} // namespace mirunea
