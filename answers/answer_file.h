#pragma once

#include "answers/answer_record.h"

#include <string>
#include <string_view>
#include <vector>

namespace mirunea {

class WriteFileLayer;

// The computer name followed by ".ans", made safe to stay in the working
// directory (bytes a file name cannot carry are replaced) and to name a file
// on Windows (a device name such as "CON" gets "_": "CON_.ans").
[[nodiscard]] std::string answerFileName(std::string_view computerName);

// The file's lines, without their CR LF.
[[nodiscard]] std::vector<std::string> answerFileLines(const AnswerRecord& record);

// Creates the answer file in the working directory or replaces it as a whole;
// throws IoFailure, and a failed send leaves the previous file as it was.
void writeAnswerFile(const AnswerRecord& record);

// The same through another file layer (tests).
void writeAnswerFile(const AnswerRecord& record, WriteFileLayer& files);

} // namespace mirunea
