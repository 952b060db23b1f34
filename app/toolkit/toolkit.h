#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

// The toolkit operations the program relies on. Every text passed in or read
// back is a Shift-JIS byte string; a backend that works in another encoding
// converts at its edge. The window code reaches its controls only through
// these interfaces, so a second backend needs nothing else.
namespace mirunea::toolkit {

enum class ControlKind { Label, Edit, GroupBox, RadioGroup, CheckListBox, Button };

// The colour a control's background takes.
enum class Background {
    Parent,       // shows what lies behind it
    Silver,       // design::kSilver (design_look.h)
    SystemWindow, // the system's colour for edit fields
};

struct Rgb
{
    int red;
    int green;
    int blue;
};

// One control of a fixed layout. Positions are pixels relative to the
// parent's client area at 96 dots per inch.
struct ControlSpec
{
    std::string name;
    ControlKind kind;
    std::string parent; // empty: the window itself
    int left;
    int top;
    int width;
    int height;
    int fontPixels;
    bool bold;
    std::string text; // design-time text (Shift-JIS)
    int tabOrder;     // among its siblings; -1 takes no part
    Background background;
};

struct WindowSpec
{
    std::string name;
    std::string caption; // Shift-JIS
    int left;
    int top;
    int outerWidth;
    int outerHeight;
    int clientWidth; // used where no window manager draws a frame
    int clientHeight;
    Rgb background;
    std::string fontFace; // Shift-JIS
    int fontPixels;
};

class Control
{
public:
    virtual ~Control() = default;
    virtual void show() = 0;
    virtual void hide() = 0;
    // What a screen reader announces for the control ("&" marks removed).
    virtual void setAccessibleName(const std::string& text) = 0;
};

// Captions: "&" marks the next character as access key, "&&" shows one "&".
class Label : public Control
{
public:
    virtual void setCaption(const std::string& text) = 0; // resizes to the text, one line
};

class GroupBox : public Control
{
public:
    virtual void setCaption(const std::string& text) = 0;
};

class RadioGroup : public Control
{
public:
    virtual void appendItem(const std::string& text) = 0;
    [[nodiscard]] virtual int itemCount() const = 0;
    [[nodiscard]] virtual std::optional<int> selectedItem() const = 0; // from 1
};

// Item texts are shown unchanged, "&" included.
class CheckListBox : public Control
{
public:
    virtual void appendItem(const std::string& text) = 0;
    [[nodiscard]] virtual int itemCount() const = 0;
    [[nodiscard]] virtual bool isItemTicked(int item) const = 0; // from 1
};

// A single line: text read back never holds a line break.
class Edit : public Control
{
public:
    virtual void setText(const std::string& text) = 0;
    [[nodiscard]] virtual std::string text() const = 0;
};

class Button : public Control
{
public:
    virtual void setCaption(const std::string& text) = 0;
    virtual void setClickHandler(std::function<void()> handler) = 0;
};

class Window
{
public:
    virtual ~Window() = default;
    // Controls are added parents first, without their design-time texts
    // (applyDesignTimeText gives them); finishLayout() applies the stacking and
    // the tab order of the window rules.
    virtual Control& addControl(const ControlSpec& design) = 0;
    virtual void finishLayout() = 0;
    [[nodiscard]] virtual Control* findControl(std::string_view name) = 0;

    template<class T>
    [[nodiscard]] T& control(std::string_view name)
    {
        auto* typed = dynamic_cast<T*>(findControl(name));
        if (!typed)
            throw std::logic_error("no control of that kind: " + std::string(name));
        return *typed;
    }
};

class Application
{
public:
    virtual ~Application() = default;
    virtual void setTitle(const std::string& title) = 0;
    [[nodiscard]] virtual const std::string& title() const = 0;
    [[nodiscard]] virtual std::unique_ptr<Window> createWindow(const WindowSpec& design) = 0;
    // Shows the window and runs the event loop until it is closed.
    virtual void run(Window& mainWindow) = 0;

    // Modal: stop icon, one "OK" button.
    virtual void showErrorBox(const std::string& caption, const std::string& text) = 0;
    // Modal: no icon, one "OK" button that Enter and Escape also press; centred on the screen.
    virtual void showMessageDialog(const std::string& caption, const std::string& text) = 0;
    virtual void releaseMouseCapture() = 0;
};

} // namespace mirunea::toolkit
