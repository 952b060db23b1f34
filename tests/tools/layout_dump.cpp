// Prints the answer sheet's layout table as JSON (UTF-8), so that the end-to-end
// tests place their clicks and read their pixels where the window really puts
// its controls instead of at numbers copied by hand:
//   {"window": {...the window's design...}, "controls": [{...}, ...]}
// Controls come parents first, positions relative to the parent's client area.
#include "app/text/cp932.h"
#include "sheet/form1_layout.h"

#include <cstdio>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

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

constexpr std::pair<ControlKind, const char*> kKindNames[] = {
    {ControlKind::Label, "label"},
    {ControlKind::Edit, "edit"},
    {ControlKind::GroupBox, "group box"},
    {ControlKind::RadioGroup, "radio group"},
    {ControlKind::CheckListBox, "check list box"},
    {ControlKind::Button, "button"},
};

constexpr std::pair<Background, const char*> kBackgroundNames[] = {
    {Background::Parent, "parent"},
    {Background::Silver, "silver"},
    {Background::SystemWindow, "system window"},
};

// "unknown" for a value the tables above lack: the harness refuses it.
template<typename Enum, std::size_t N>
std::string nameOf(Enum value, const std::pair<Enum, const char*> (&names)[N])
{
    for (const auto& [known, name] : names) {
        if (known == value)
            return name;
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
    Members& add(std::initializer_list<std::pair<std::string_view, int>> numbers)
    {
        for (const auto& [name, value] : numbers)
            add(name, std::to_string(value));
        return *this;
    }
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
        .add({{"left", w.left},
              {"top", w.top},
              {"outerWidth", w.outerWidth},
              {"outerHeight", w.outerHeight},
              {"clientWidth", w.clientWidth},
              {"clientHeight", w.clientHeight}})
        .add("background", background)
        .add("fontFace", text(w.fontFace))
        .add({{"fontPixels", w.fontPixels}})
        .json();
}

std::string controlJson(const mirunea::toolkit::ControlSpec& c)
{
    return Members()
        .add("name", quoted(c.name))
        .add("kind", quoted(nameOf(c.kind, kKindNames)))
        .add("parent", quoted(c.parent))
        .add({{"left", c.left}, {"top", c.top}, {"width", c.width}, {"height", c.height}, {"fontPixels", c.fontPixels}})
        .add("bold", c.bold ? "true" : "false")
        .add("text", text(c.text))
        .add({{"tabOrder", c.tabOrder}})
        .add("background", quoted(nameOf(c.background, kBackgroundNames)))
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
