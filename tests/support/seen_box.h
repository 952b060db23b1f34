#pragma once

#include <string>

namespace mirunea::test {

// A message box the program showed, as the test that closed it saw it (UTF-8).
// What only one backend can tell of a box extends this.
struct SeenBox
{
    std::string caption;
    std::string text;
};

} // namespace mirunea::test
