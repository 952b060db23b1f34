#pragma once

#include <string_view>

// How wide a text of the questionnaire is drawn in a question panel, and how
// much room the panel gives it, at 96 dots per inch.
namespace mirunea::tally {

struct PanelRoom
{
    int fontPixels;          // the panel's font height
    int captionPixels;       // the question text in the panel's top edge
    int radioItemPixels;     // a radio choice's text beside its circle
    int checkListItemPixels; // a check-list choice's text beside its box
};

// From the question panel's geometry, the sheet's own numbers.
[[nodiscard]] PanelRoom panelRoom();

// A radio item's width for a text of textPixels: the text with its circle.
[[nodiscard]] int radioItemWidth(int textPixels);

// An estimate: half-width characters (ASCII, half-width katakana) half the
// font's height wide, all others as wide as it is high, as in the design's
// Japanese face.
[[nodiscard]] int estimatedWidth(std::u32string_view text, int fontPixels);

// How many full-width characters fit into pixels.
[[nodiscard]] int fullWidthCharactersIn(int pixels, int fontPixels);

} // namespace mirunea::tally
