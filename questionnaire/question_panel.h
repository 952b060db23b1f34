#pragma once

// The room the answer sheet gives a question's texts, at 96 dots per inch:
// the sheet's layout table is built from these numbers, and the teacher's
// tool estimates from them which question texts and choices will be cut.
namespace mirunea {

struct QuestionPanelGeometry
{
    int width;       // the panel: a group box with the question text as its caption
    int fontPixels;  // of the panel and every control in it
    int innerLeft;   // where the hint label starts: the panel's inner margin
    int answerWidth; // the radio group, the check-list box and the edit alike
};

inline constexpr QuestionPanelGeometry kQuestionPanel{
    .width = 481,
    .fontPixels = 15,
    .innerLeft = 8,
    .answerWidth = 385,
};

} // namespace mirunea
