#pragma once

#include "questionnaire/questionnaire.h"

#include <string>
#include <string_view>
#include <vector>

// The questionnaire file walked line by line with the reader's rules, keeping
// for every line what the sheet makes of it. Written apart from the reader on
// purpose, so that the two can be compared; the walk also goes on past where
// the reader stops, to say what is ignored.
namespace mirunea::tally {

enum class LineRole {
    Title,
    Description,
    NamePrompt,
    Question,            // a marker line that fills a slot
    Choice,              // one of the first five lines of a choice list
    BeforeFirstQuestion, // from line 4 up to the first marker line
    ExtraChoice,         // the sixth and later lines of a choice list
    AfterTextQuestion,   // between a "[T]" line and the next marker line
    AfterChoiceList,     // the empty line that ended a choice list, and the lines up to the next marker line
    AfterTenthQuestion,  // every line after the tenth question is complete
};

struct WalkedLine
{
    int number;
    std::string bytes; // the line as the reader takes it (no line break, no CR)
    LineRole role;
    int slot =
        0; // Question, Choice, ExtraChoice, AfterTextQuestion, AfterChoiceList: 1..10; 11.. for a marker past the tenth
    int choice = 0;  // Choice and ExtraChoice: 1..
    char marker = 0; // 'R', 'C' or 'T' on a marker line (counted or not)
};

struct LineWalk
{
    std::vector<WalkedLine> lines;       // lines 1 to at most 100
    int lineCount = 0;                   // every line up to the end (or a Ctrl-Z), past the 100th too
    int firstNonEmptyPastHundred = 0;    // 0: none
    int ctrlZLine = 0;                   // the line a Ctrl-Z at its start ended the file at; 0: none
    bool markerAfterCtrlZ = false;       // a marker line stands in what the Ctrl-Z cut off
    bool textAfterCtrlZ = false;         // anything but line breaks and blanks stands there
    std::vector<int> lineJoinedByLoneCr; // lines that hold a lone CR between text (two lines joined)
    bool onlyCrBreaks = false;           // lone CRs and no LF: the whole file is one line
    Questionnaire questionnaire;         // what the walk says the reader returns
};

[[nodiscard]] LineWalk walkLines(std::string_view fileBytes);

} // namespace mirunea::tally
