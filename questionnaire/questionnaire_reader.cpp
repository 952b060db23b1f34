#include "questionnaire/questionnaire_reader.h"

#include "app/platform/file_layer.h"
#include "questionnaire/line_reader.h"
#include "questionnaire/line_table.h"
#include "questionnaire/questionnaire_parser.h"

namespace mirunea {

Questionnaire readQuestionnaire()
{
    return readQuestionnaireFile(kQuestionnaireFileName);
}

Questionnaire readQuestionnaireFile(const std::string& fileName)
{
    // Any failure below leaves by exception; the file's destructor then
    // closes it, so a failed read does not keep other programs from writing.
    SharedReadFile file = SharedReadFile::open(fileName);
    LineReader reader(file);
    LineTable lines(reader);
    // Reads the file only as far as the result needs: what follows can
    // change nothing.
    Questionnaire questionnaire = parseQuestionnaire(lines);
    file.close();
    return questionnaire;
}

} // namespace mirunea
