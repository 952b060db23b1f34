"""A screenshot: the PNG on disk and its pixels, with the searches the tests make in them."""

import re
import subprocess

from .processes import HarnessError


class Image:
    """A screenshot: the PNG on disk and its pixels, read back through a PPM."""

    def __init__(self, path):
        self.path = path
        ppm = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True,
                             stdout=subprocess.PIPE).stdout
        fields = re.match(rb"P6\s+(\d+)\s+(\d+)\s+(\d+)\s", ppm)
        if not fields:
            raise HarnessError("unexpected image data from convert for %s" % path)
        self.width, self.height = int(fields.group(1)), int(fields.group(2))
        self.pixels = ppm[fields.end():]

    def pixel(self, x, y):
        """RGB triple at x, y."""
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise HarnessError("pixel %d,%d outside the %dx%d image" % (x, y, self.width, self.height))
        offset = (y * self.width + x) * 3
        return tuple(self.pixels[offset:offset + 3])

    def count(self, rgb, left, top, width, height):
        """How many pixels of the rectangle have exactly this colour."""
        return self.count_where(lambda pixel: pixel == tuple(rgb), left, top, width, height)

    def count_where(self, predicate, left=0, top=0, width=None, height=None):
        """How many pixels of the rectangle (the whole image by default) satisfy predicate(rgb)."""
        width = self.width - left if width is None else width
        height = self.height - top if height is None else height
        return sum(1 for y in range(top, top + height) for x in range(left, left + width)
                   if predicate(self.pixel(x, y)))

    def _is_light(self, x, y):
        return min(self.pixel(x, y)) > 240

    def find_indicators(self, left, top, width, height, scale=1):
        """Centres of the radio circles or check boxes in the leftmost 24 px of a control (times scale,
        as the sizes below, for a layout scaled to the screen's density).

        An indicator's empty inside is a light patch of 6 to 16 px, about as wide as it is high,
        closed by darker pixels all round; the column that crosses most such patches is the
        indicators' middle. Works on unchecked indicators only, so take the picture before clicking.
        """
        best = []
        for x in range(left + 1, left + min(width, round(25 * scale))):
            found, start = [], None
            for y in range(top, top + height + 1):
                light = y < top + height and self._is_light(x, y)
                if light and start is None:
                    start = y
                elif not light and start is not None:
                    if (start > top and y < top + height
                            and self._is_indicator(x, start, y - 1, left, width, scale)):
                        found.append((x, (start + y - 1) // 2))
                    start = None
            if best and len(found) == len(best[0]):
                best.append(found)
            elif len(found) > len(best[0] if best else []):
                best = [found]
        return best[len(best) // 2] if best else []

    def _is_indicator(self, x, first, last, left, width, scale):
        rows = last - first + 1
        if not 6 * scale <= rows <= 16 * scale:
            return False
        middle = (first + last) // 2
        west = east = x
        while west > left and self._is_light(west - 1, middle):
            west -= 1
        while east < left + width - 1 and self._is_light(east + 1, middle):
            east += 1
        return west > left and east < left + width - 1 and abs((east - west + 1) - rows) <= 3
