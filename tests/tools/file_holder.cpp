// Holds a file open the way the program does, so that tests can meet it from
// another process: "mirunea_file_holder write|read <path>". Prints "held" once
// the file is open and keeps it until stdin gets a line or closes; on failure
// prints the Windows error code and exits 1.
#include "app/failure/io_failure.h"
#include "app/platform/file_layer.h"

#include <iostream>
#include <string>
#include <string_view>

namespace {

void waitForRelease()
{
    std::cout << "held\n" << std::flush;
    std::string line;
    std::getline(std::cin, line);
}

} // namespace

int main(int argc, char** argv)
{
    const std::string_view mode = argc == 3 ? argv[1] : "";
    if (mode != "write" && mode != "read") {
        std::cerr << "usage: mirunea_file_holder write|read <path>\n";
        return 2;
    }
    const std::string path = argv[2];
    try {
        if (mode == "write") {
            auto file = mirunea::SharedWriteFile::create(path);
            waitForRelease();
            file.close();
        } else {
            auto file = mirunea::SharedReadFile::open(path);
            waitForRelease();
            file.close();
        }
    } catch (const mirunea::IoFailure& failure) {
        std::cout << failure.code() << '\n' << std::flush;
        return 1;
    }
    return 0;
}
