#pragma once

#include "app/toolkit/toolkit.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the window does, decided once for every toolkit backend: the stacking
// of its controls, the focus chain and first focus, access keys, the arrows in
// a radio group, the geometry of radio items and check-list rows, and the
// scroll range. A backend only realises the answers (create, move, stack,
// focus, draw).
namespace mirunea::toolkit::rules {

struct Rect
{
    int left;
    int top;
    int width;
    int height;

    [[nodiscard]] int right() const { return left + width; }
    [[nodiscard]] int bottom() const { return top + height; }
    [[nodiscard]] bool contains(const Rect& inner) const
    {
        return inner.left >= left && inner.top >= top && inner.right() <= right() && inner.bottom() <= bottom();
    }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// The containers of controls: the window itself ("") first, then every
// panel, in creation order.
[[nodiscard]] std::vector<std::string> containers(const std::vector<ControlSpec>& designs);

// The children of parent ("" for the window itself), topmost first: every
// control but the labels, the later created above the earlier (so the edit of
// a panel lies on its check-list box and radio group), then the labels
// beneath them all, whatever order they were created in. Indices into designs.
[[nodiscard]] std::vector<std::size_t> stackingTopToBottom(const std::vector<ControlSpec>& designs,
                                                           std::string_view parent);

// The controls that take part in Tab, in order: the window's controls by tab
// order, each panel's answer controls in its place. Indices into designs.
[[nodiscard]] std::vector<std::size_t> focusChain(const std::vector<ControlSpec>& designs);

// Whether the control at a place of the focus chain can take the focus now
// (shown, and for a radio group: an item selected).
using TakesFocus = std::function<bool(std::size_t place)>;

// The place Tab (or Shift+Tab) moves to from current, wrapping around;
// none when nothing can take the focus. From no place, Tab starts at the
// first and Shift+Tab at the last.
[[nodiscard]] std::optional<std::size_t> nextFocus(std::size_t chainLength, std::optional<std::size_t> current,
                                                   bool backwards, const TakesFocus& takesFocus);

// The first place that can take the focus, when the window first becomes active.
[[nodiscard]] std::optional<std::size_t> firstFocus(std::size_t chainLength, const TakesFocus& takesFocus);

// A caption's access key: the character after a single "&", upper-cased for
// Latin letters (half- and full-width); 0 when there is none. "&&" shows one "&" and marks nothing.
struct Caption
{
    std::u16string shown;                   // without the marks
    char16_t accessKey = 0;                 // 0: none
    std::optional<std::size_t> keyPosition; // of the access key in shown
};
[[nodiscard]] Caption parseCaption(std::u16string_view caption);
[[nodiscard]] char16_t normalisedKey(char16_t key);

// What an access key reaches, looked for in focus-chain order after the
// control that holds the focus. A label's key does nothing, a key that
// matches nothing does nothing.
struct AccessKeyTarget
{
    enum class Kind {
        Nothing,
        PanelAnswer, // the focus into the panel: its answer control, or an unanswered radio group as a whole
        RadioItem,   // that item, focused and selected
    };
    Kind kind = Kind::Nothing;
    std::size_t control = 0; // index into designs: the panel, or the radio group
    int item = 0;            // the radio item, from 0
    // For a panel: where its key sends the focus (panelAccessKeyTarget).
    std::optional<std::size_t> answer;
};
struct AccessKeyCandidates
{
    // For each index of designs: its caption's key (panels), and per item
    // the keys of a radio group's items; whether it is shown on the screen.
    std::function<char16_t(std::size_t)> panelKey;
    std::function<std::vector<char16_t>(std::size_t)> radioItemKeys;
    std::function<bool(std::size_t)> isShown;
};
[[nodiscard]] AccessKeyTarget accessKeyTarget(const std::vector<ControlSpec>& designs, char16_t key,
                                              std::optional<std::size_t> focusedControl,
                                              const AccessKeyCandidates& candidates);

// Where a panel's access key sends the focus, as Tab into the panel would:
// the first of its controls in the focus chain that is shown, an unanswered
// radio group included (it takes the focus as a whole); none when the panel
// shows none. Indices into designs.
[[nodiscard]] std::optional<std::size_t> panelAccessKeyTarget(const std::vector<ControlSpec>& designs,
                                                              std::size_t panel,
                                                              const std::function<bool(std::size_t)>& isShown);

// Right/Down (+1) and Left/Up (-1) in a radio group: the item reached,
// wrapping around; from no selection Down selects the first and Up the last.
[[nodiscard]] std::optional<int> radioArrow(int itemCount, std::optional<int> current, int step);

// The layout is designed for 96 dots per inch and scaled in proportion on a
// denser screen. Every length goes through scaled(), rounded to the nearest
// pixel, halves away from zero, so that a rectangle's four numbers, a font
// height and a margin all round alike; at 96 nothing changes.
inline constexpr int kDesignDpi = 96;
[[nodiscard]] constexpr int scaled(int designPixels, int dpi)
{
    const long long product = static_cast<long long>(designPixels) * dpi;
    const long long half = kDesignDpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / kDesignDpi : -((-product + half) / kDesignDpi));
}
[[nodiscard]] Rect scaled(const Rect& design, int dpi);
// A control's place and font height at the given density; the rest unchanged.
[[nodiscard]] ControlSpec scaled(const ControlSpec& design, int dpi);
// The frame's place and outer size, the client size and the font height.
[[nodiscard]] WindowSpec scaled(const WindowSpec& design, int dpi);

// Radio items inside their group: one column from the top, spread evenly
// over the height, at most 24 px each (scaled with the density), each as
// wide as its text.
[[nodiscard]] std::vector<Rect> radioItemPlaces(int groupWidth, int groupHeight, const std::vector<int>& itemWidths,
                                                int dpi = kDesignDpi);

// Where the frame goes on the monitor it opens on, in screen pixels. The
// designed frame (its place and outer size, scaled to the density) stays as
// it is, to the pixel, wherever it fits in the work area (the screen less its
// task bars and panels). Where it does not, it is placed as close to its
// designed place as fits and shrunk to the work area, and the client area
// scrolls. An empty work area (none known) leaves the frame as designed.
[[nodiscard]] Rect fitFrame(const Rect& designed, const Rect& workArea);

// A panel's caption is drawn from its left margin, padded on both sides, and
// cut at the panel's right edge: the width its text has there.
inline constexpr int kPanelCaptionLeft = 8;
inline constexpr int kPanelCaptionPadding = 2;
// panelWidth: as drawn at dpi.
[[nodiscard]] int panelCaptionRoom(int panelWidth, int dpi = kDesignDpi);

// A text wider than the room it is drawn in is cut: hovering it shows the
// whole text as a tooltip. A text that fits shows none.
[[nodiscard]] constexpr bool isCut(int textWidth, int room)
{
    return textWidth > room;
}

// A check-list row is one line of its font.
[[nodiscard]] constexpr int checkListRowHeight(int fontPixels)
{
    return fontPixels;
}

// Gives a control the text it has at design time: a caption, or an edit's text.
void applyDesignTimeText(Control& control, const ControlSpec& design);

// Creates a window's controls as designed (parents first), each with its
// design-time text, then applies the stacking and the tab order.
void populate(Window& window, const std::vector<ControlSpec>& designs);

// The scrolled area: the bounding box of the visible top-level controls from
// the client area's origin.
struct Size
{
    int width;
    int height;
    friend bool operator==(const Size&, const Size&) = default;
};
[[nodiscard]] Size scrollRange(const std::vector<Rect>& visibleControls);

} // namespace mirunea::toolkit::rules
