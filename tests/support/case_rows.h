#pragma once

#include <doctest/doctest.h>

#include <string>
#include <vector>

// Table-driven cases: each row names what goes in and what must come out,
// and its tag is captured so that a failing check says which row it was.
namespace mirunea::test {

template<class Input, class Expected>
struct CaseRow
{
    const char* tag;
    Input input;
    Expected expected;
};

template<class Input, class Expected>
using CaseRows = std::vector<CaseRow<Input, Expected>>;

// Runs the check on every row with the row's tag captured.
template<class Rows, class Check>
void forEachRow(const Rows& rows, Check&& check)
{
    for (const auto& row : rows) {
        const std::string tag = row.tag;
        CAPTURE(tag);
        check(row);
    }
}

} // namespace mirunea::test
