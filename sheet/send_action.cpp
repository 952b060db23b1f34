#include "sheet/tform1.h"

#include "answers/answer_file.h"
#include "answers/answer_record.h"
#include "app/platform/computer_name.h"
#include "app/text/cp932.h"

namespace mirunea {

void TForm1::Button1Click()
{
    writeAnswerFile(collectAnswers());
    m_app.showMessageDialog(m_app.title(), cp932::fromUtf8("送信しました"));
}

AnswerRecord TForm1::collectAnswers()
{
    AnswerRecord record;
    record.computerName = localComputerName();
    record.respondentName = Ename->text(); // read even when the name field is hidden
    for (int q = 1; q <= kSlotCount; ++q) {
        const auto index = static_cast<std::size_t>(q - 1);
        SlotAnswer& answer = record.slotAnswers.at(index);
        answer.typeCode = m_typeCodes.at(index);
        const QuestionPanel& p = panel(q);
        if (answer.typeCode == "R") {
            answer.choiceCount = p.RadioGroup->itemCount();
            answer.selected = p.RadioGroup->selectedItem();
        } else if (answer.typeCode == "C") {
            for (int i = 1; i <= p.CheckListBox->itemCount(); ++i)
                answer.ticked.push_back(p.CheckListBox->isItemTicked(i));
        } else if (answer.typeCode == "T") {
            answer.text = p.Edit->text();
        }
    }
    return record;
}

} // namespace mirunea
