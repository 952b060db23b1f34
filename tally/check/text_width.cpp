#include "tally/check/text_width.h"

#include "questionnaire/question_panel.h"

namespace mirunea::tally {

namespace {

// Where the window rules place a radio item in its group: 8 px from the
// left, 2 px short of the right edge.
constexpr int kRadioItemInset = 8 + 2;
// The radio circle or the check box and the gap before the text, as both
// toolkits draw them at 96 dots per inch (13 px and a few px around it).
constexpr int kIndicatorPixels = 20;
// A list box's sunken frame, both sides.
constexpr int kListFramePixels = 4;

[[nodiscard]] bool isHalfWidth(char32_t c)
{
    return c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F);
}

} // namespace

PanelRoom panelRoom()
{
    // The caption keeps the panel's inner margin on both sides.
    return PanelRoom{
        .fontPixels = kQuestionPanel.fontPixels,
        .captionPixels = kQuestionPanel.width - 2 * kQuestionPanel.innerLeft,
        .radioItemPixels = kQuestionPanel.answerWidth - kRadioItemInset - kIndicatorPixels,
        .checkListItemPixels = kQuestionPanel.answerWidth - kListFramePixels - kIndicatorPixels,
    };
}

int radioItemWidth(int textPixels)
{
    return textPixels + kIndicatorPixels;
}

int estimatedWidth(std::u32string_view text, int fontPixels)
{
    int halves = 0;
    for (const char32_t c : text)
        halves += isHalfWidth(c) ? 1 : 2;
    return (halves * fontPixels + 1) / 2;
}

int fullWidthCharactersIn(int pixels, int fontPixels)
{
    return fontPixels > 0 ? pixels / fontPixels : 0;
}

} // namespace mirunea::tally
