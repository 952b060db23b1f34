"""What the answer sheet looks like: the sample questionnaire filled in, and the sheet without "data.txt"."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import SILVER, Session  # noqa: E402

SAMPLE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples", "data.txt")

# The sample's questions in file order: (type code, number of choices).
SAMPLE_QUESTIONS = [("R", 5), ("C", 5), ("T", 0), ("R", 3), ("C", 4), ("R", 4), ("T", 0)]

WHITE = (255, 255, 255)


def empty_window_spots(layout):
    """Spots no control covers: between the two columns, halfway down and level with the last row
    of panels, and between the name edit and the send button."""
    last_row = layout.panel_rect(layout.panel_count // 2)
    name_edit, send_button = layout.name_edit, layout.send_button
    return [layout.empty_spot, (layout.empty_spot[0], harness.centre(last_row)[1]),
            ((name_edit[0] + name_edit[2] + send_button[0]) // 2, harness.centre(name_edit)[1])]


class SheetTest(unittest.TestCase):
    def setUp(self):
        self.session = self.enterContext(Session(harness.program_from_environment(), hostname="PC05"))

    def assertPixel(self, image, point, rgb, what):
        self.assertEqual(image.pixel(*point), rgb, "%s at %s in %s" % (what, point, image.path))

    def test_sample_questionnaire_shows_its_questions_in_panels_from_the_top_left(self):
        s = self.session
        with open(SAMPLE, "rb") as f:
            s.folder.write_data(f.read())
        window = s.launch()
        s.windows.screenshot("sample-screen")
        sheet = s.windows.screenshot("sample-window", window)
        layout, pale_green = s.layout, s.layout.background
        self.assertEqual((sheet.width, sheet.height), layout.client_size)

        for spot in empty_window_spots(layout):
            self.assertPixel(sheet, spot, pale_green, "window background")
        for q in range(1, 11):
            shown = q <= len(SAMPLE_QUESTIONS)
            self.assertPixel(sheet, layout.panel_empty_spot(q), SILVER if shown else pale_green,
                             "panel %d %s" % (q, "shown" if shown else "hidden"))

        for q, (kind, choices) in enumerate(SAMPLE_QUESTIONS, start=1):
            with self.subTest(panel=q, kind=kind):
                # The check-list box is white, the radio group takes the panel's silver.
                list_left, list_top = layout.check_list_rect(q)[:2]
                far_right = (list_left + 300, list_top + 60)
                if kind == "R":
                    self.assertPixel(sheet, far_right, SILVER, "radio group")
                    self.assertEqual(len(sheet.find_indicators(*layout.radio_group_rect(q))), choices)
                elif kind == "C":
                    self.assertPixel(sheet, far_right, WHITE, "check-list box")
                    self.assertEqual(len(sheet.find_indicators(*layout.check_list_rect(q))), choices)
                    # Five lines of 15 px fit the box: no scroll bar along its right edge.
                    left, top, width, height = layout.check_list_rect(q)
                    self.assertEqual(sheet.count(WHITE, left + width - 18, top + 2, 16, height - 4), 16 * (height - 4),
                                     "check-list box %d shows a scroll bar" % q)
                else:
                    self.assertPixel(sheet, harness.centre(layout.edit_rect(q)), WHITE, "empty edit")

    def test_missing_data_shows_the_error_box_first_then_the_sheet_without_panels(self):
        s = self.session
        s.program.start()
        box = s.wait_dialog()
        self.assertEqual(s.windows.visible(s.layout.caption), [], "the sheet was shown before the error box")
        s.windows.screenshot("missing-data-error-screen")
        picture = s.windows.screenshot("missing-data-error-box", box)
        self.assertGreater(picture.count_where(lambda rgb: rgb[0] > 200 and rgb[1] < 80 and rgb[2] < 80), 50,
                           "the error box shows no (red) stop icon")
        s.input.key("Return")
        window = s.wait_main_window()
        s.wait_dialog_gone()
        s.windows.screenshot("missing-data-screen")
        sheet = s.windows.screenshot("missing-data-window", window)

        layout, pale_green = s.layout, s.layout.background
        for spot in empty_window_spots(layout):
            self.assertPixel(sheet, spot, pale_green, "window background")
        for q in range(1, 11):
            self.assertPixel(sheet, layout.panel_empty_spot(q), pale_green, "panel %d hidden" % q)
        self.assertPixel(sheet, (layout.name_edit[0] + 150, layout.name_edit[1] + 11), WHITE, "name edit shown")


if __name__ == "__main__":
    harness.main()
