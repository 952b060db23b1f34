#pragma once

#include <sstream>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

// A small test runner for the Windows build, where Qt Test is not available.
// Tests register themselves with MT_TEST; a failed MT_CHECK is reported with
// its file, line and the current row tag and the test goes on; MT_REQUIRE
// ends the test. Data-driven tests loop over a table and open an MT_ROW(tag)
// scope per row.
namespace mirunea::test {

using TestFunction = void (*)();

bool registerTest(const char* name, TestFunction function);
void reportFailure(const char* file, int line, const std::string& message);
[[nodiscard]] std::string currentTag();

struct RequireFailed
{
};

class RowScope
{
public:
    explicit RowScope(std::string tag);
    ~RowScope();
    RowScope(const RowScope&) = delete;
    RowScope& operator=(const RowScope&) = delete;

private:
    std::string m_previous;
};

// Printable form of bytes, escaping everything outside printable ASCII.
[[nodiscard]] std::string printable(std::string_view bytes);
[[nodiscard]] std::string printable(std::u16string_view text);

template<class T>
[[nodiscard]] std::string describe(const T& value)
{
    if constexpr (std::is_convertible_v<const T&, std::string_view>) {
        return printable(std::string_view(value));
    } else if constexpr (std::is_convertible_v<const T&, std::u16string_view>) {
        return printable(std::u16string_view(value));
    } else {
        std::ostringstream out;
        out << value;
        return out.str();
    }
}

template<class A, class B>
[[nodiscard]] bool checkEqual(const A& actual, const B& expected, const char* file, int line, const char* text)
{
    if (actual == expected)
        return true;
    reportFailure(file, line,
                  std::string(text) + "\n      actual:   " + describe(actual)
                      + "\n      expected: " + describe(expected));
    return false;
}

} // namespace mirunea::test

#define MT_CONCAT_INNER(a, b) a##b
#define MT_CONCAT(a, b) MT_CONCAT_INNER(a, b)

#define MT_TEST(name)                                                                                                  \
  static void name();                                                                                                  \
  [[maybe_unused]] static const bool MT_CONCAT(name, _registered) = mirunea::test::registerTest(#name, &name);         \
  static void name()

#define MT_ROW(tag) const mirunea::test::RowScope MT_CONCAT(mtRow, __LINE__)(tag)

#define MT_CHECK(condition)                                                                                            \
  do {                                                                                                                 \
    if (!(condition))                                                                                                  \
      mirunea::test::reportFailure(__FILE__, __LINE__, #condition);                                                    \
  } while (false)

#define MT_CHECK_MSG(condition, message)                                                                               \
  do {                                                                                                                 \
    if (!(condition))                                                                                                  \
      mirunea::test::reportFailure(__FILE__, __LINE__, std::string(#condition) + ": " + (message));                    \
  } while (false)

#define MT_CHECK_EQ(actual, expected)                                                                                  \
  static_cast<void>(mirunea::test::checkEqual((actual), (expected), __FILE__, __LINE__, #actual " == " #expected))

#define MT_REQUIRE(condition)                                                                                          \
  do {                                                                                                                 \
    if (!(condition)) {                                                                                                \
      mirunea::test::reportFailure(__FILE__, __LINE__, #condition);                                                    \
      throw mirunea::test::RequireFailed{};                                                                            \
    }                                                                                                                  \
  } while (false)
