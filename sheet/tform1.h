#pragma once

#include "app/toolkit/toolkit.h"
#include "questionnaire/questionnaire.h"

#include <array>
#include <memory>
#include <string>

namespace mirunea {

struct AnswerRecord;

// The answer sheet window Form1: its fixed controls, the sheet set-up run at
// its creation, and the send action of its button.
class TForm1
{
public:
    // Creates the window and runs its creation handler; a failure there is
    // reported and the window is complete all the same.
    explicit TForm1(toolkit::Application& app);

    [[nodiscard]] toolkit::Window& window() { return *m_window; }
    [[nodiscard]] const std::array<std::string, kSlotCount>& typeCodes() const { return m_typeCodes; }

    // Event handlers, named after their events.
    void FormCreate();
    void Button1Click();

private:
    // The controls of question panel q.
    struct QuestionPanel
    {
        toolkit::GroupBox* GroupBox;
        toolkit::Label* Lbl;
        toolkit::RadioGroup* RadioGroup;
        toolkit::CheckListBox* CheckListBox;
        toolkit::Edit* Edit;
    };

    [[nodiscard]] QuestionPanel& panel(int q) { return m_panels.at(static_cast<std::size_t>(q - 1)); }
    void setUpPanel(int q, const QuestionSlot& slot);
    [[nodiscard]] AnswerRecord collectAnswers();

    toolkit::Application& m_app;
    std::unique_ptr<toolkit::Window> m_window;
    toolkit::Label* Label1;
    toolkit::Label* Label2;
    toolkit::Label* Label3;
    toolkit::Edit* Ename;
    toolkit::Button* Button1;
    std::array<QuestionPanel, kSlotCount> m_panels;
    std::array<std::string, kSlotCount> m_typeCodes; // empty until the set-up stores them
};

} // namespace mirunea
