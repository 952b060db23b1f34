// Runs the answer writer in a process of its own, so that tests can place it
// in a private mount namespace (a read-only folder, a full disk) or under a
// chosen host name.
//   mirunea_answer_write_probe send <computer-name> <text-length>...
//     one send per length: a record whose slot 1 is a "T" answer of that many
//     "x"; prints "ok <file bytes in hex>" or "failed <code> <message in hex>".
//   mirunea_answer_write_probe send-local <text-length>...
//     the same under the local computer name.
//   mirunea_answer_write_probe computer-name
//     prints the local computer name.
// Started like the program: a file-size limit fails a write, it does not kill.
#include "answers/answer_file.h"
#include "app/failure/io_failure.h"
#include "app/platform/computer_name.h"
#include "app/platform/posix/file_names_posix.h"
#include "app/platform/process.h"
#include "tests/support/printable.h"

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>

using mirunea::test::hex;

namespace {

std::string fileBytes(const std::string& name)
{
    std::ifstream in(mirunea::fileSystemName(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void send(const std::string& computerName, std::size_t textLength)
{
    mirunea::SlotAnswer typed;
    typed.typeCode = "T";
    typed.text.assign(textLength, 'x');
    mirunea::AnswerRecord record;
    record.computerName = computerName;
    record.slotAnswers[0] = std::move(typed);
    try {
        mirunea::writeAnswerFile(record);
        std::cout << "ok " << hex(fileBytes(mirunea::answerFileName(computerName))) << '\n';
    } catch (const mirunea::IoFailure& failure) {
        std::cout << "failed " << failure.code() << ' ' << hex(failure.message()) << '\n';
    }
}

} // namespace

int main(int argc, char** argv)
{
    mirunea::prepareProcess();
    const std::string_view command = argc > 1 ? argv[1] : "";
    if (command == "computer-name" && argc == 2) {
        std::cout << mirunea::localComputerName() << '\n';
        return 0;
    }
    if (command == "send" && argc > 3) {
        for (int i = 3; i < argc; ++i)
            send(argv[2], std::strtoul(argv[i], nullptr, 10));
        return 0;
    }
    if (command == "send-local" && argc > 2) {
        for (int i = 2; i < argc; ++i)
            send(mirunea::localComputerName(), std::strtoul(argv[i], nullptr, 10));
        return 0;
    }
    std::cerr << "usage: mirunea_answer_write_probe send <computer-name> <text-length>...\n"
                 "       mirunea_answer_write_probe computer-name\n";
    return 2;
}
