// Prints the answer sheet's layout table as JSON (UTF-8), so that the end-to-end
// tests place their clicks and read their pixels where the window really puts
// its controls instead of at numbers copied by hand:
//   {"window": {...the window's design...}, "controls": [{...}, ...]}
// Controls come parents first, positions relative to the parent's client area.
#include "app/cp932.h"
#include "sheet/form1_layout.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace {

using mirunea::toolkit::Background;
using mirunea::toolkit::ControlKind;

std::string quoted(std::string_view utf8)
{
    std::string out = "\"";
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string text(std::string_view sjis)
{
    return quoted(mirunea::cp932::toUtf8(sjis));
}

std::string kindName(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Label:
        return "label";
    case ControlKind::Edit:
        return "edit";
    case ControlKind::GroupBox:
        return "group box";
    case ControlKind::RadioGroup:
        return "radio group";
    case ControlKind::CheckListBox:
        return "check list box";
    case ControlKind::Button:
        return "button";
    }
    return "unknown";
}

std::string backgroundName(Background background)
{
    switch (background) {
    case Background::Parent:
        return "parent";
    case Background::Silver:
        return "silver";
    case Background::SystemWindow:
        return "system window";
    }
    return "unknown";
}

// The members of one JSON object, in the order added.
class Members
{
public:
    Members& add(std::string_view name, const std::string& json)
    {
        text_ += (text_.empty() ? "{" : ", ") + quoted(name) + ": " + json;
        return *this;
    }
    Members& add(std::string_view name, int value) { return add(name, std::to_string(value)); }
    [[nodiscard]] std::string json() const { return text_ + "}"; }

private:
    std::string text_;
};

std::string windowJson(const mirunea::toolkit::WindowSpec& w)
{
    const auto& rgb = w.background;
    const std::string background = "[" + std::to_string(rgb.red) + ", " + std::to_string(rgb.green) + ", "
        + std::to_string(rgb.blue) + "]";
    return Members()
        .add("name", quoted(w.name))
        .add("caption", text(w.caption))
        .add("left", w.left)
        .add("top", w.top)
        .add("outerWidth", w.outerWidth)
        .add("outerHeight", w.outerHeight)
        .add("clientWidth", w.clientWidth)
        .add("clientHeight", w.clientHeight)
        .add("background", background)
        .add("fontFace", text(w.fontFace))
        .add("fontPixels", w.fontPixels)
        .json();
}

std::string controlJson(const mirunea::toolkit::ControlSpec& c)
{
    return Members()
        .add("name", quoted(c.name))
        .add("kind", quoted(kindName(c.kind)))
        .add("parent", quoted(c.parent))
        .add("left", c.left)
        .add("top", c.top)
        .add("width", c.width)
        .add("height", c.height)
        .add("fontPixels", c.fontPixels)
        .add("bold", c.bold ? "true" : "false")
        .add("text", text(c.text))
        .add("tabOrder", c.tabOrder)
        .add("background", quoted(backgroundName(c.background)))
        .json();
}

} // namespace

int main()
{
    std::string json = "{\"window\": " + windowJson(mirunea::form1WindowSpec()) + ",\n \"controls\": [";
    const char* separator = "\n  ";
    for (const auto& control : mirunea::form1Controls()) {
        json += separator + controlJson(control);
        separator = ",\n  ";
    }
    json += "]}\n";
    return std::fputs(json.c_str(), stdout) >= 0 && std::fflush(stdout) == 0 ? 0 : 1;
}
