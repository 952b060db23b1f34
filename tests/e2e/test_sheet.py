"""What the answer sheet looks like: the sample questionnaire filled in, and the sheet without "data.txt"."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import PALE_GREEN, SILVER, Session  # noqa: E402

SAMPLE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples", "data.txt")

# The sample's questions in file order: (type code, number of choices).
SAMPLE_QUESTIONS = [("R", 5), ("C", 5), ("T", 0), ("R", 3), ("C", 4), ("R", 4), ("T", 0)]

WHITE = (255, 255, 255)
# Spots no control covers: between the two columns, and right of the name edit.
EMPTY_WINDOW_SPOTS = [harness.EMPTY_SPOT, (496, 640), (700, 75)]


class SheetTest(unittest.TestCase):
    def setUp(self):
        self.session = self.enterContext(Session(harness.program_from_environment(), hostname="PC05"))

    def assertPixel(self, image, point, rgb, what):
        self.assertEqual(image.pixel(*point), rgb, "%s at %s in %s" % (what, point, image.path))

    def test_sample_questionnaire_shows_its_questions_in_panels_from_the_top_left(self):
        s = self.session
        with open(SAMPLE, "rb") as f:
            s.write_data(f.read())
        window = s.launch()
        s.screenshot("sample-screen")
        sheet = s.screenshot("sample-window", window)
        self.assertEqual((sheet.width, sheet.height), harness.CLIENT_SIZE)

        for spot in EMPTY_WINDOW_SPOTS:
            self.assertPixel(sheet, spot, PALE_GREEN, "window background")
        for q in range(1, 11):
            shown = q <= len(SAMPLE_QUESTIONS)
            self.assertPixel(sheet, harness.panel_empty_spot(q), SILVER if shown else PALE_GREEN,
                             "panel %d %s" % (q, "shown" if shown else "hidden"))

        for q, (kind, choices) in enumerate(SAMPLE_QUESTIONS, start=1):
            with self.subTest(panel=q, kind=kind):
                # The check-list box is white, the radio group takes the panel's silver.
                list_left, list_top = harness.check_list_rect(q)[:2]
                far_right = (list_left + 300, list_top + 60)
                if kind == "R":
                    self.assertPixel(sheet, far_right, SILVER, "radio group")
                    self.assertEqual(len(sheet.find_indicators(*harness.radio_group_rect(q))), choices)
                elif kind == "C":
                    self.assertPixel(sheet, far_right, WHITE, "check-list box")
                    self.assertEqual(len(sheet.find_indicators(*harness.check_list_rect(q))), choices)
                    # Five lines of 15 px fit the box: no scroll bar along its right edge.
                    left, top, width, height = harness.check_list_rect(q)
                    self.assertEqual(sheet.count(WHITE, left + width - 18, top + 2, 16, height - 4), 16 * (height - 4),
                                     "check-list box %d shows a scroll bar" % q)
                else:
                    self.assertPixel(sheet, harness.centre(harness.edit_rect(q)), WHITE, "empty edit")

    def test_missing_data_shows_the_error_box_first_then_the_sheet_without_panels(self):
        s = self.session
        s.start_program()
        box = s.wait_dialog()
        self.assertEqual(s.visible_windows(harness.MAIN_CAPTION), [], "the sheet was shown before the error box")
        s.screenshot("missing-data-error-screen")
        picture = s.screenshot("missing-data-error-box", box)
        self.assertGreater(picture.count_where(lambda rgb: rgb[0] > 200 and rgb[1] < 80 and rgb[2] < 80), 50,
                           "the error box shows no (red) stop icon")
        s.key("Return")
        window = s.wait_main_window()
        s.wait_dialog_gone()
        s.screenshot("missing-data-screen")
        sheet = s.screenshot("missing-data-window", window)

        for spot in EMPTY_WINDOW_SPOTS:
            self.assertPixel(sheet, spot, PALE_GREEN, "window background")
        for q in range(1, 11):
            self.assertPixel(sheet, harness.panel_empty_spot(q), PALE_GREEN, "panel %d hidden" % q)
        self.assertPixel(sheet, (harness.NAME_EDIT[0] + 150, harness.NAME_EDIT[1] + 11), WHITE, "name edit shown")


if __name__ == "__main__":
    harness.main()
