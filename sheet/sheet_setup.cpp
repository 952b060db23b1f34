#include "sheet/tform1.h"

#include "app/text/cp932.h"
#include "questionnaire/questionnaire_reader.h"

#include <array>

namespace mirunea {

void TForm1::FormCreate()
{
    for (int q = 1; q <= kSlotCount; ++q)
        panel(q).GroupBox->hide();

    const Questionnaire questionnaire = readQuestionnaire();

    Label1->setCaption(questionnaire.title);
    Label2->setCaption(questionnaire.description);
    if (!questionnaire.namePrompt.empty()) {
        Label3->setCaption(questionnaire.namePrompt);
        Ename->show();
    } else {
        Label3->setCaption("");
        Ename->hide();
    }
    Ename->setAccessibleName(questionnaire.namePrompt);

    for (int q = 1; q <= kSlotCount; ++q) {
        const QuestionSlot& slot = questionnaire.questionSlots.at(static_cast<std::size_t>(q - 1));
        if (!slot.typeCode.empty())
            setUpPanel(q, slot);
    }

    for (int q = 1; q <= kSlotCount; ++q) {
        const std::string& code = m_typeCodes.at(static_cast<std::size_t>(q - 1));
        if (code == "R" || code == "C" || code == "T")
            panel(q).GroupBox->show();
    }
}

void TForm1::setUpPanel(int q, const QuestionSlot& slot)
{
    QuestionPanel& p = panel(q);
    toolkit::Control* answerControl = nullptr;
    const char* hintUtf8 = "";
    if (slot.typeCode == "R") {
        answerControl = p.RadioGroup;
        hintUtf8 = "一つ選択";
    } else if (slot.typeCode == "C") {
        answerControl = p.CheckListBox;
        hintUtf8 = "複数選択可";
    } else if (slot.typeCode == "T") {
        answerControl = p.Edit;
        hintUtf8 = "ここに入力";
    }
    if (answerControl) {
        // The panel shows the one control that takes its kind of answer.
        const std::array<toolkit::Control*, 3> answerControls{p.RadioGroup, p.CheckListBox, p.Edit};
        for (toolkit::Control* control : answerControls) {
            if (control == answerControl)
                control->show();
            else
                control->hide();
        }
        p.Lbl->setCaption(cp932::fromUtf8(hintUtf8));
    }
    for (const std::string& choice : slot.choices) {
        if (answerControl == p.RadioGroup)
            p.RadioGroup->appendItem(choice);
        else if (answerControl == p.CheckListBox)
            p.CheckListBox->appendItem(choice);
    }
    if (answerControl == p.Edit)
        p.Edit->setText("");
    p.GroupBox->setCaption(slot.questionText);
    if (answerControl)
        answerControl->setAccessibleName(slot.questionText);
    m_typeCodes.at(static_cast<std::size_t>(q - 1)) = slot.typeCode;
}

} // namespace mirunea
