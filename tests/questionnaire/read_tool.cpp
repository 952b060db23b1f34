// Reads each file named on the command line as the questionnaire and prints
// one line per file: "ok", or the Windows error code of the failure. Lets a
// test read as another user.
#include "app/failure/io_failure.h"
#include "app/platform/process.h"
#include "questionnaire/questionnaire_reader.h"

#include <iostream>

int main(int argc, char** argv)
{
    mirunea::prepareProcess();
    for (int i = 1; i < argc; ++i) {
        try {
            (void)mirunea::readQuestionnaireFile(argv[i]);
            std::cout << "ok\n";
        } catch (const mirunea::IoFailure& failure) {
            std::cout << failure.code() << '\n';
        }
    }
    return 0;
}
