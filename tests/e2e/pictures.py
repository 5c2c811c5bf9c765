"""Pictures: screenshots as RGB bytes, read from PPM or RGBA, counted by colour, saved as PNG."""

import re
import struct
import zlib

from e2e.report import check


class Colour:
    """The colours whose red, green and blue each lie within their (low, high) bounds."""

    def __init__(self, *bounds):
        # Per channel a table that turns a value into 1 inside its bounds and 0 outside.
        self.tables = [bytes(low <= v <= high for v in range(256)) for low, high in bounds]


def exactly(red, green, blue):
    return Colour((red, red), (green, green), (blue, blue))


BLACK = exactly(0, 0, 0)
RED = exactly(255, 0, 0)
YELLOW = exactly(255, 255, 0)
# Text is drawn white with softened edges: its core is light.
LIGHT = Colour((171, 255), (171, 255), (171, 255))
DARK = Colour((0, 79), (0, 79), (0, 79))


class Picture:
    """An RGB picture; boxes are (x, y, width, height) and are cut to the picture."""

    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, bytes(rgb[:3 * width * height])
        self.channels = (self.rgb[0::3], self.rgb[1::3], self.rgb[2::3])

    @classmethod
    def from_ppm(cls, data):
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", data)
        check(header, "the screenshot is not an 8-bit binary PPM")
        return cls(int(header[1]), int(header[2]), data[header.end():])

    @classmethod
    def from_rgba(cls, width, height, rgba):
        rgb = bytearray(3 * width * height)
        rgb[0::3], rgb[1::3], rgb[2::3] = rgba[0::4], rgba[1::4], rgba[2::4]
        return cls(width, height, rgb)

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.rgb[i:i + 3])

    def _box(self, box):
        x, y, w, h = box or (0, 0, self.width, self.height)
        x0, y0 = max(x, 0), max(y, 0)
        return x0, y0, max(min(x + w, self.width) - x0, 0), max(min(y + h, self.height) - y0, 0)

    def _bits(self, colour, box):
        """The box's pixels of the colour as the bits of an integer, row by row, first pixel
        highest; and the box cut to the picture."""
        x, y, w, h = box = self._box(box)
        bits = -1
        for channel, table in zip(self.channels, colour.tables):
            area = b"".join(channel[row * self.width + x:row * self.width + x + w]
                            for row in range(y, y + h))
            bits &= int.from_bytes(area.translate(table), "big")
        return max(bits, 0), box

    def count(self, colour, box=None):
        return self._bits(colour, box)[0].bit_count()

    def positions(self, colour, box=None):
        """(x, y) of the box's pixels of the colour."""
        bits, (x, y, w, h) = self._bits(colour, box)
        marks = bits.to_bytes(w * h, "big")
        found, i = [], marks.find(1)
        while i >= 0:
            found.append((x + i % w, y + i // w))
            i = marks.find(1, i + 1)
        return found

    def save_png(self, path):
        raw = b"".join(b"\x00" + self.rgb[3 * y * self.width:3 * (y + 1) * self.width]
                       for y in range(self.height))

        def chunk(kind, data):
            return struct.pack(">I", len(data)) + kind + data + struct.pack(
                ">I", zlib.crc32(kind + data))

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)
        with open(path, "wb") as out:
            out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                      chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b""))
