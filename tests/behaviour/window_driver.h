#pragma once

#include "app/toolkit/toolkit.h"
#include "app/toolkit/window_rules.h"
#include "seen_box.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace mirunea {
class TForm1;
}

// What the window behaviour checks need of a toolkit backend beyond the
// seam: a person's keys and clicks, and what the screen shows. Each backend
// has one implementation; the checks are written once against it. Controls
// are named as in the layout table ("Label1", "Ename", "GroupBox3",
// "RadioGroup4", ...); a radio item is "RadioGroup4/2" (items from 1). Texts
// are UTF-8 here; points and rectangles are pixels.
namespace mirunea::test {

struct Point
{
    int x;
    int y;
    friend bool operator==(const Point&, const Point&) = default;
};

using Rect = toolkit::rules::Rect;

[[nodiscard]] inline Point centre(const Rect& rect)
{
    return {rect.left + rect.width / 2, rect.top + rect.height / 2};
}

enum class Key { Tab, Return, KeypadEnter, Escape, Space, Left, Right, Up, Down };

enum Modifier : unsigned { NoModifier = 0, Shift = 1, Ctrl = 2, Alt = 4 };
using Modifiers = unsigned;

struct FontInfo
{
    int pixels;
    bool bold;
    std::string face; // the face asked for
};

class WindowDriver
{
public:
    virtual ~WindowDriver() = default;

    // The window as the program creates it in the current working folder:
    // the application titled, Form1 created (its set-up reads data.txt there).
    // Message boxes are closed by OK as they come, and kept.
    virtual void openSheet() = 0;
    // The window as designed, without the set-up: every control visible with
    // its design-time text.
    virtual void openDesigned() = 0;
    // Shows the window, makes it active and waits until it is drawn; false
    // when it did not become active.
    [[nodiscard]] virtual bool showActive() = 0;

    [[nodiscard]] virtual toolkit::Window& window() = 0;
    [[nodiscard]] virtual TForm1* form() = 0; // null for the designed window
    // The message boxes shown so far, each closed by the driver as soon as it was up.
    [[nodiscard]] virtual const std::vector<SeenBox>& seenBoxes() const = 0;

    // Lets the window handle what is pending (input, painting, posted work).
    virtual void processEvents() = 0;

    // A key pressed and released with the modifiers held, as the keyboard
    // sends it to the focused control.
    virtual void press(Key key, Modifiers modifiers = NoModifier) = 0;
    // A letter key (A to Z) with the modifiers held: Alt+letter for access keys.
    virtual void pressLetter(char letter, Modifiers modifiers) = 0;
    // Text typed into the focused control (an input method's commit for
    // characters beyond ASCII).
    virtual void type(const std::string& utf8) = 0;
    // Text put on the clipboard and pasted into the focused control, as
    // Ctrl+V does.
    virtual void paste(const std::string& utf8) = 0;
    // A left click at a point of the window's client area.
    virtual void click(Point client) = 0;

    // The focused control's name, "RadioGroup4/2" for a radio item, "" for none.
    [[nodiscard]] virtual std::string focused() = 0;
    // What a control shows: captions without their "&" marks, an edit's text.
    [[nodiscard]] virtual std::string shownText(const std::string& name) = 0;
    // The texts of a radio group's items (marks removed) or a check list's rows.
    [[nodiscard]] virtual std::vector<std::string> itemTexts(const std::string& name) = 0;
    [[nodiscard]] virtual bool isVisible(const std::string& name) = 0;       // on screen, parents included
    [[nodiscard]] virtual std::string parentOf(const std::string& name) = 0; // "" for the window
    // Place and size relative to the parent: the scrolled area for the
    // window's own controls, the panel for inner ones.
    [[nodiscard]] virtual Rect geometry(const std::string& name) = 0;
    // Place in the window's client area as it is now (moves with scrolling).
    [[nodiscard]] virtual Rect placeInClient(const std::string& name) = 0;
    // Where a click ticks check-list row (from 1), in client coordinates.
    [[nodiscard]] virtual Point checkBoxOf(const std::string& list, int row) = 0;
    [[nodiscard]] virtual FontInfo font(const std::string& name) = 0;

    // The named control on top at a point of the client area, as a click
    // there finds it (a radio item counts as its group); "" for the window itself.
    [[nodiscard]] virtual std::string topmostAt(Point client) = 0;
    // The colours drawn in a rectangle of the client area, row by row.
    [[nodiscard]] virtual std::vector<toolkit::Rgb> pixels(Rect client) = 0;
    [[nodiscard]] toolkit::Rgb pixelAt(Point client) { return pixels({client.x, client.y, 1, 1}).front(); }
    // The tooltip hovering a point of the client area shows, as the toolkit
    // shows it once the pointer rests there; "" for none.
    [[nodiscard]] virtual std::string toolTipAt(Point client) = 0;

    [[nodiscard]] virtual std::string windowCaption() = 0;
    // The outer frame's top-left corner on the screen.
    [[nodiscard]] virtual Point framePosition() = 0;
    // The part of the client area the controls show in, without the scroll
    // bars (x: width, y: height).
    [[nodiscard]] virtual Point clientSize() = 0;
    // Resizes the window so that its client area, scroll bars included, is this size.
    virtual void resizeClient(int width, int height) = 0;
    [[nodiscard]] virtual bool horizontalBarShown() = 0;
    [[nodiscard]] virtual bool verticalBarShown() = 0;
    [[nodiscard]] virtual Point scrollPosition() = 0;
    // Drags both bars to their ends (far right and bottom) or back to the start.
    virtual void scrollToEnd() = 0;
    virtual void scrollToStart() = 0;
};

// The backend's driver; each test program links one implementation.
[[nodiscard]] std::unique_ptr<WindowDriver> makeWindowDriver();

// Repeats processEvents() until the condition holds or about two seconds pass.
template<class Condition>
bool waitUntil(WindowDriver& driver, Condition condition)
{
    for (int round = 0; round < 200; ++round) {
        if (condition())
            return true;
        driver.processEvents();
    }
    return condition();
}

} // namespace mirunea::test
