#include "sheet/tform1.h"

#include "app/text/cp932.h"
#include "questionnaire/questionnaire_reader.h"

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
    if (slot.typeCode == "R") {
        p.RadioGroup->show();
        p.CheckListBox->hide();
        p.Edit->hide();
        p.Lbl->setCaption(cp932::fromUtf8("一つ選択"));
        for (const std::string& choice : slot.choices)
            p.RadioGroup->appendItem(choice);
        answerControl = p.RadioGroup;
    } else if (slot.typeCode == "C") {
        p.RadioGroup->hide();
        p.CheckListBox->show();
        p.Edit->hide();
        p.Lbl->setCaption(cp932::fromUtf8("複数選択可"));
        for (const std::string& choice : slot.choices)
            p.CheckListBox->appendItem(choice);
        answerControl = p.CheckListBox;
    } else if (slot.typeCode == "T") {
        p.RadioGroup->hide();
        p.CheckListBox->hide();
        p.Edit->show();
        p.Lbl->setCaption(cp932::fromUtf8("ここに入力"));
        p.Edit->setText("");
        answerControl = p.Edit;
    }
    p.GroupBox->setCaption(slot.questionText);
    if (answerControl)
        answerControl->setAccessibleName(slot.questionText);
    m_typeCodes.at(static_cast<std::size_t>(q - 1)) = slot.typeCode;
}

} // namespace mirunea
