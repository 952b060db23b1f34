#include "sheet/tform1.h"

#include "app/toolkit/failure_report.h"
#include "app/toolkit/window_rules.h"
#include "sheet/form1_layout.h"

#include <string>

namespace mirunea {

TForm1::TForm1(toolkit::Application& app)
    : m_app(app)
    , m_window(app.createWindow(form1WindowSpec()))
{
    toolkit::rules::populate(*m_window, form1Controls());

    Label1 = &m_window->control<toolkit::Label>("Label1");
    Label2 = &m_window->control<toolkit::Label>("Label2");
    Label3 = &m_window->control<toolkit::Label>("Label3");
    Ename = &m_window->control<toolkit::Edit>("Ename");
    Button1 = &m_window->control<toolkit::Button>("Button1");
    for (int q = 1; q <= kSlotCount; ++q) {
        const std::string n = std::to_string(q);
        panel(q) = QuestionPanel{
            .GroupBox = &m_window->control<toolkit::GroupBox>("GroupBox" + n),
            .Lbl = &m_window->control<toolkit::Label>("Lbl" + n),
            .RadioGroup = &m_window->control<toolkit::RadioGroup>("RadioGroup" + n),
            .CheckListBox = &m_window->control<toolkit::CheckListBox>("CheckListBox" + n),
            .Edit = &m_window->control<toolkit::Edit>("Edit" + n),
        };
    }

    Button1->setClickHandler([this] { Button1Click(); });
    deliverEvent(m_app, [this] { FormCreate(); });
}

} // namespace mirunea
