#pragma once

#include "sheet_folder.h"
#include "window_driver.h"

#include <doctest/doctest.h>

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

// Lists of names and texts in failure messages.
template<>
struct doctest::StringMaker<std::vector<std::string>>
{
    static doctest::String convert(const std::vector<std::string>& texts)
    {
        std::string out = "{";
        for (const std::string& text : texts)
            out += (out.size() > 1 ? ", \"" : "\"") + text + "\"";
        return (out + "}").c_str();
    }
};

// What the window behaviour checks share: the window opened in a fresh
// working folder through the backend's driver.
// Where failure messages find it: beside the type.
namespace mirunea::toolkit::rules {
inline std::ostream& operator<<(std::ostream& out, const Rect& rect)
{
    return out << "(" << rect.left << ", " << rect.top << ", " << rect.width << " x " << rect.height << ")";
}
} // namespace mirunea::toolkit::rules

namespace mirunea::test {

using Lines = std::vector<std::string>;

inline std::ostream& operator<<(std::ostream& out, const Point& point)
{
    return out << "(" << point.x << ", " << point.y << ")";
}

[[nodiscard]] inline std::string colourName(const toolkit::Rgb& colour)
{
    return "rgb(" + std::to_string(colour.red) + ", " + std::to_string(colour.green) + ", "
        + std::to_string(colour.blue) + ")";
}

inline const toolkit::Rgb kPaleGreen{192, 220, 192};
inline const toolkit::Rgb kSilver{192, 192, 192};
inline const toolkit::Rgb kWhite{255, 255, 255};

// The designed window (every control, design-time texts, no set-up), shown.
struct DesignedWindow
{
    DesignedWindow()
        : driver(makeWindowDriver())
    {
        driver->openDesigned();
        shown = driver->showActive();
    }
    std::unique_ptr<WindowDriver> driver;
    bool shown = false;
};

// The sheet opened in a fresh folder holding the questionnaire given (none
// for std::nullopt), shown and active; message boxes are closed and kept.
struct OpenSheet
{
    explicit OpenSheet(const std::optional<Lines>& questionnaire)
    {
        if (questionnaire)
            folder.writeQuestionnaire(*questionnaire);
        open();
    }
    explicit OpenSheet(const std::filesystem::path& questionnaireFile)
    {
        folder.copyQuestionnaire(questionnaireFile);
        open();
    }

    [[nodiscard]] bool readyWithoutBox() const { return shown && driver->seenBoxes().empty(); }
    [[nodiscard]] WindowDriver& operator*() { return *driver; }
    [[nodiscard]] WindowDriver* operator->() { return driver.get(); }

    SheetFolder folder;
    std::unique_ptr<WindowDriver> driver;
    std::size_t boxesBeforeShow = 0;
    bool shown = false;

private:
    void open()
    {
        driver = makeWindowDriver();
        driver->openSheet();
        boxesBeforeShow = driver->seenBoxes().size();
        shown = driver->showActive();
    }
};

// The selected item of radio group q through the seam, 0 for none.
[[nodiscard]] inline int selectedItem(WindowDriver& driver, int q)
{
    return driver.window().control<toolkit::RadioGroup>("RadioGroup" + std::to_string(q)).selectedItem().value_or(0);
}

// The ticks of check-list q as "0"/"1" per row, through the seam.
[[nodiscard]] inline std::string ticks(WindowDriver& driver, int q)
{
    auto& list = driver.window().control<toolkit::CheckListBox>("CheckListBox" + std::to_string(q));
    std::string marks;
    for (int row = 1; row <= list.itemCount(); ++row)
        marks += list.isItemTicked(row) ? '1' : '0';
    return marks;
}

// The middle of a control (or radio item) in client coordinates, for a click.
[[nodiscard]] inline Point centreOf(WindowDriver& driver, const std::string& name)
{
    return centre(driver.placeInClient(name));
}

// Focuses a control as a person does: clicks it.
inline void clickOn(WindowDriver& driver, const std::string& name)
{
    driver.click(centreOf(driver, name));
}

} // namespace mirunea::test
