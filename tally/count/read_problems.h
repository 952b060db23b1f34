#pragma once

#include "answers/answer_file_reader.h"
#include "app/platform/folder_files.h"

#include <string>

namespace mirunea::tally {

// Why a listed file could not be read, in UTF-8, for the teacher: what it is
// and what to do. Empty for a file that was read.
[[nodiscard]] std::string readProblem(const FolderEntry& entry, const ReadResult& result);

// Why the bytes read are no answer file to count; empty when they are.
[[nodiscard]] std::string contentProblem(const AnswerFileContent& content);

} // namespace mirunea::tally
