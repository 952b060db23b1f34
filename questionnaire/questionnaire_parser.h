#pragma once

#include "questionnaire/line_table.h"
#include "questionnaire/questionnaire.h"

namespace mirunea {

// Turns the line table into the questionnaire: lines 1 to 3 are the title,
// description and name prompt; from line 4 on, up to ten question blocks,
// each a marker line ("[R]", "[C]" or "[T]") and, for "[R]" and "[C]", up to
// five choice lines. Reads the table no further than the result needs.
[[nodiscard]] Questionnaire parseQuestionnaire(LineTable& lines);

} // namespace mirunea
