"""The harness's reading of the layout table: what the other modules click and look at rests on it."""

import copy
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import HarnessError, Layout  # noqa: E402


def inside(inner, outer):
    return (outer[0] <= inner[0] and inner[0] + inner[2] <= outer[0] + outer[2]
            and outer[1] <= inner[1] and inner[1] + inner[3] <= outer[1] + outer[3])


class LayoutTest(unittest.TestCase):
    def setUp(self):
        self.layout = harness.layout_from_environment()
        # The table as printed, to change for the cases the harness must refuse.
        self.table = {"window": self.layout.window, "controls": copy.deepcopy(self.layout.controls)}

    def control(self, name):
        return next(c for c in self.table["controls"] if c["name"] == name)

    def test_controls_come_after_their_parents_and_answer_controls_lie_inside_their_panels(self):
        seen = set()
        for control in self.layout.controls:
            self.assertTrue(not control["parent"] or control["parent"] in seen, control["name"])
            seen.add(control["name"])
        self.assertEqual(self.layout.panel_count, 10)
        for q in range(1, self.layout.panel_count + 1):
            panel = self.layout.panel_rect(q)
            for rect in (self.layout.radio_group_rect(q), self.layout.check_list_rect(q), self.layout.edit_rect(q)):
                self.assertTrue(inside(rect, panel), (q, rect, panel))
        self.assertTrue(inside(self.layout.name_edit, (0, 0) + self.layout.client_size))
        self.assertTrue(inside(self.layout.send_button, (0, 0) + self.layout.client_size))

    def test_a_control_moved_onto_a_spot_the_tests_read_is_refused(self):
        spot = self.layout.empty_spot
        self.control("Button1").update(left=spot[0] - 1, top=spot[1] - 1)
        with self.assertRaisesRegex(HarnessError, "between the columns .* covered by \\['Button1'\\]"):
            Layout(self.table)

    def test_a_hint_label_that_leaves_no_room_below_it_in_its_panel_is_refused(self):
        self.control("Lbl3").update(height=200)
        with self.assertRaisesRegex(HarnessError, "in panel 3 .* lies outside it"):
            Layout(self.table)

    def test_a_kind_the_dump_tool_cannot_name_is_refused(self):
        self.control("Edit4")["kind"] = "unknown"
        with self.assertRaisesRegex(HarnessError, "Edit4"):
            Layout(self.table)


if __name__ == "__main__":
    harness.main()
