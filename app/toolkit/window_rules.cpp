#include "app/toolkit/window_rules.h"

#include <algorithm>

namespace mirunea::toolkit::rules {

namespace {

// Inside a caption-less radio frame.
constexpr int kItemsTop = 9;
constexpr int kItemsBottomMargin = 2;
constexpr int kItemsLeft = 8;
constexpr int kItemsRightMargin = 2;
constexpr int kMaxItemHeight = 24;

std::vector<std::size_t> childrenByTabOrder(const std::vector<ControlSpec>& designs, std::string_view parent)
{
    std::vector<std::size_t> children;
    for (std::size_t i = 0; i < designs.size(); ++i) {
        if (designs[i].parent == parent && designs[i].tabOrder >= 0)
            children.push_back(i);
    }
    std::stable_sort(children.begin(), children.end(),
                     [&](std::size_t a, std::size_t b) { return designs[a].tabOrder < designs[b].tabOrder; });
    return children;
}

} // namespace

std::vector<std::string> containers(const std::vector<ControlSpec>& designs)
{
    std::vector<std::string> names{""};
    for (const ControlSpec& design : designs) {
        if (design.kind == ControlKind::GroupBox)
            names.push_back(design.name);
    }
    return names;
}

std::vector<std::size_t> stackingTopToBottom(const std::vector<ControlSpec>& designs, std::string_view parent)
{
    std::vector<std::size_t> others;
    std::vector<std::size_t> labels;
    for (std::size_t i = designs.size(); i-- > 0;) {
        if (designs[i].parent != parent)
            continue;
        (designs[i].kind == ControlKind::Label ? labels : others).push_back(i);
    }
    others.insert(others.end(), labels.begin(), labels.end());
    return others;
}

std::vector<std::size_t> focusChain(const std::vector<ControlSpec>& designs)
{
    std::vector<std::size_t> chain;
    for (std::size_t top : childrenByTabOrder(designs, "")) {
        if (designs[top].kind != ControlKind::GroupBox) {
            chain.push_back(top);
            continue;
        }
        for (std::size_t inner : childrenByTabOrder(designs, designs[top].name))
            chain.push_back(inner);
    }
    return chain;
}

std::optional<std::size_t> nextFocus(std::size_t chainLength, std::optional<std::size_t> current, bool backwards,
                                     const TakesFocus& takesFocus)
{
    if (chainLength == 0)
        return std::nullopt;
    const auto count = static_cast<long long>(chainLength);
    long long from = current && *current < chainLength ? static_cast<long long>(*current) : (backwards ? count : -1);
    for (long long step = 1; step <= count; ++step) {
        const long long place = ((from + (backwards ? -step : step)) % count + count) % count;
        if (takesFocus(static_cast<std::size_t>(place)))
            return static_cast<std::size_t>(place);
    }
    return std::nullopt;
}

std::optional<std::size_t> firstFocus(std::size_t chainLength, const TakesFocus& takesFocus)
{
    return nextFocus(chainLength, std::nullopt, false, takesFocus);
}

char16_t normalisedKey(char16_t key)
{
    if (key >= u'a' && key <= u'z')
        return static_cast<char16_t>(key - u'a' + u'A');
    if (key >= u'\uFF41' && key <= u'\uFF5A') // full-width letters, as typed through an input method
        return static_cast<char16_t>(key - u'\uFF41' + u'\uFF21');
    return key;
}

Caption parseCaption(std::u16string_view caption)
{
    Caption parsed;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] != u'&') {
            parsed.shown.push_back(caption[i]);
            continue;
        }
        if (i + 1 == caption.size())
            break; // a final "&" marks nothing and is not shown
        ++i;
        if (caption[i] != u'&' && !parsed.accessKey) {
            parsed.accessKey = normalisedKey(caption[i]);
            parsed.keyPosition = parsed.shown.size();
        }
        parsed.shown.push_back(caption[i]);
    }
    return parsed;
}

AccessKeyTarget accessKeyTarget(const std::vector<ControlSpec>& designs, char16_t key,
                                std::optional<std::size_t> focusedControl, const AccessKeyCandidates& candidates)
{
    key = normalisedKey(key);
    if (key == 0)
        return {};
    // Panels and radio groups in tab order; the search starts after the
    // focused control, as dialogs cycle through controls sharing a key.
    std::vector<std::size_t> order;
    for (std::size_t top : childrenByTabOrder(designs, "")) {
        order.push_back(top);
        for (std::size_t inner : childrenByTabOrder(designs, designs[top].name))
            order.push_back(inner);
    }
    std::size_t start = 0;
    if (focusedControl) {
        const auto found = std::find(order.begin(), order.end(), *focusedControl);
        if (found != order.end())
            start = static_cast<std::size_t>(found - order.begin()) + 1;
    }
    for (std::size_t step = 0; step < order.size(); ++step) {
        const std::size_t control = order[(start + step) % order.size()];
        if (!candidates.isShown(control))
            continue;
        if (designs[control].kind == ControlKind::GroupBox && candidates.panelKey(control) == key)
            return {AccessKeyTarget::Kind::PanelAnswer, control, 0,
                    panelAccessKeyTarget(designs, control, candidates.isShown)};
        if (designs[control].kind == ControlKind::RadioGroup) {
            const std::vector<char16_t> keys = candidates.radioItemKeys(control);
            for (std::size_t item = 0; item < keys.size(); ++item) {
                if (keys[item] == key)
                    return {AccessKeyTarget::Kind::RadioItem, control, static_cast<int>(item), std::nullopt};
            }
        }
    }
    return {};
}

std::optional<std::size_t> panelAccessKeyTarget(const std::vector<ControlSpec>& designs, std::size_t panel,
                                                const std::function<bool(std::size_t)>& isShown)
{
    for (std::size_t inner : focusChain(designs)) {
        if (designs[inner].parent == designs[panel].name && isShown(inner))
            return inner;
    }
    return std::nullopt;
}

std::optional<int> radioArrow(int itemCount, std::optional<int> current, int step)
{
    if (itemCount <= 0)
        return std::nullopt;
    const int from = current ? *current : (step > 0 ? -1 : itemCount);
    return ((from + step) % itemCount + itemCount) % itemCount;
}

Rect scaled(const Rect& design, int dpi)
{
    return {scaled(design.left, dpi), scaled(design.top, dpi), scaled(design.width, dpi), scaled(design.height, dpi)};
}

ControlSpec scaled(const ControlSpec& design, int dpi)
{
    ControlSpec result = design;
    const Rect place = scaled(Rect{design.left, design.top, design.width, design.height}, dpi);
    result.left = place.left;
    result.top = place.top;
    result.width = place.width;
    result.height = place.height;
    result.fontPixels = scaled(design.fontPixels, dpi);
    return result;
}

WindowSpec scaled(const WindowSpec& design, int dpi)
{
    WindowSpec result = design;
    result.left = scaled(design.left, dpi);
    result.top = scaled(design.top, dpi);
    result.outerWidth = scaled(design.outerWidth, dpi);
    result.outerHeight = scaled(design.outerHeight, dpi);
    result.clientWidth = scaled(design.clientWidth, dpi);
    result.clientHeight = scaled(design.clientHeight, dpi);
    result.fontPixels = scaled(design.fontPixels, dpi);
    return result;
}

Rect fitFrame(const Rect& designed, const Rect& workArea)
{
    if (workArea.width <= 0 || workArea.height <= 0 || workArea.contains(designed))
        return designed;
    Rect fitted = designed;
    fitted.width = std::min(designed.width, workArea.width);
    fitted.height = std::min(designed.height, workArea.height);
    fitted.left = std::clamp(designed.left, workArea.left, workArea.right() - fitted.width);
    fitted.top = std::clamp(designed.top, workArea.top, workArea.bottom() - fitted.height);
    return fitted;
}

int panelCaptionRoom(int panelWidth, int dpi)
{
    return std::max(0, panelWidth - scaled(kPanelCaptionLeft, dpi) - 2 * scaled(kPanelCaptionPadding, dpi));
}

std::vector<Rect> radioItemPlaces(int groupWidth, int groupHeight, const std::vector<int>& itemWidths, int dpi)
{
    std::vector<Rect> places;
    if (itemWidths.empty())
        return places;
    const int top = scaled(kItemsTop, dpi);
    const int left = scaled(kItemsLeft, dpi);
    const int count = static_cast<int>(itemWidths.size());
    const int available = std::max(0, groupHeight - top - scaled(kItemsBottomMargin, dpi));
    const int itemHeight = std::min(scaled(kMaxItemHeight, dpi), std::max(1, available / count));
    const int maxWidth = std::max(0, groupWidth - left - scaled(kItemsRightMargin, dpi));
    for (int i = 0; i < count; ++i) {
        const int width = std::min(maxWidth, itemWidths[static_cast<std::size_t>(i)]);
        places.push_back({left, top + i * itemHeight, width, itemHeight});
    }
    return places;
}

void applyDesignTimeText(Control& control, const ControlSpec& design)
{
    if (auto* label = dynamic_cast<Label*>(&control))
        label->setCaption(design.text);
    else if (auto* panel = dynamic_cast<GroupBox*>(&control))
        panel->setCaption(design.text);
    else if (auto* edit = dynamic_cast<Edit*>(&control))
        edit->setText(design.text);
    else if (auto* button = dynamic_cast<Button*>(&control))
        button->setCaption(design.text);
}

void populate(Window& window, const std::vector<ControlSpec>& designs)
{
    for (const ControlSpec& design : designs)
        applyDesignTimeText(window.addControl(design), design);
    window.finishLayout();
}

Size scrollRange(const std::vector<Rect>& visibleControls)
{
    Size range{0, 0};
    for (const Rect& place : visibleControls) {
        range.width = std::max(range.width, place.right());
        range.height = std::max(range.height, place.bottom());
    }
    return range;
}

} // namespace mirunea::toolkit::rules
