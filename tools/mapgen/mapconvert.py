#!/usr/bin/env python3
"""Turn multi-segment lon/lat dumps of `gmt coast -M` into one Orvane map file.

Usage:
    mapconvert.py FEATURE OUT DUMP... [--minus DUMP...]

FEATURE is one of COAST, ISLAND, LAKE, RIVER, COUNTRY, STATE; it decides which
segments are taken (by the kind and level in their headers: Shore, River or
Border; segments of another level are passed over, another kind is an error)
and which feature code each gets. Segments
of the --minus dumps are taken away from the others first (as exact text, one
copy each): ISLAND is every level-1 shoreline less those of the large land
masses that COAST holds.

The output is a sequence of little-endian line records: featureCode and
pointCount (signed 16-bit), four reserved 16-bit words (zero), then pointCount
pairs of (longitude, latitude) in whole minutes of arc.

Conversion, in order:
  * lines that step across the date line (more than 180 degrees of longitude
    between two points) are cut there, each side ending at +-180 degrees;
  * coordinates are rounded to whole minutes, consecutive equal points dropped;
  * pieces of the same feature code that meet end to end are joined (GMT cuts
    every line at its 1-, 2- or 5-degree storage bins);
  * records longer than 32767 points are split (the parts share a point);
  * records of fewer than two points are dropped.
Statistics go to standard error.
"""

import math
import re
import struct
import sys
from array import array
from collections import Counter, defaultdict

MAX_POINTS = 32767
HALF_TURN = 10800  # 180 degrees in minutes

KIND = {"COAST": "Shore", "ISLAND": "Shore", "LAKE": "Shore",
        "RIVER": "River", "COUNTRY": "Border", "STATE": "Border"}

HEADER = re.compile(r"^>\s*(Shore|River|Border) Bin # \d+, Level (\d+)\s*$")


def code_for(feature, kind, level):
    """Feature code of a segment, or None when the segment does not belong here."""
    if feature == "COAST" and kind == "Shore" and level == 1:
        return 1001
    if feature == "ISLAND" and kind == "Shore" and level in (1, 3):
        return 1002 if level == 1 else 1003  # 1003: islands in lakes
    if feature == "LAKE" and kind == "Shore" and level in (2, 4):
        return 3000 + level
    if feature == "RIVER" and kind == "River" and 0 <= level <= 99:
        return 3100 + level
    if feature == "COUNTRY" and kind == "Border" and level == 1:
        return 2001
    if feature == "STATE" and kind == "Border" and level == 2:
        return 4002
    return None


def read_segments(path):
    """The segments of a dump as (header, text of its points) in file order."""
    with open(path, encoding="ascii") as f:
        data = f.read()
    if not data.strip():
        return []
    if not data.startswith(">"):
        sys.exit(f"{path}: points before the first segment header")
    segments = []
    for chunk in data[1:].split("\n>"):
        header, _, points = chunk.partition("\n")
        segments.append((">" + header.rstrip(), points))
    return segments


def parse_points(text, where):
    points = []
    for line in text.splitlines():
        parts = line.split()
        if len(parts) < 2:
            sys.exit(f"{where}: bad point line {line!r}")
        lon, lat = float(parts[0]), float(parts[1])
        if not (-180.0 <= lon <= 180.0 and -90.0 <= lat <= 90.0):
            sys.exit(f"{where}: point out of range {line!r}")
        points.append((lon, lat))
    return points


def cut_at_date_line(points):
    """Pieces of a line with no step of more than 180 degrees of longitude."""
    pieces = [[points[0]]] if points else []
    for (lon0, lat0), (lon1, lat1) in zip(points, points[1:]):
        step = lon1 - lon0
        if abs(step) > 180.0:
            # The short way round crosses the date line: end this piece on it
            # and start the next one on its other side.
            edge = 180.0 if step < 0 else -180.0
            lon1_unwrapped = lon1 + (360.0 if step < 0 else -360.0)
            t = (edge - lon0) / (lon1_unwrapped - lon0)
            lat = lat0 + t * (lat1 - lat0)
            pieces[-1].append((edge, lat))
            pieces.append([(-edge, lat)])
        pieces[-1].append((lon1, lat1))
    return pieces


def to_minutes(points):
    out = []
    for lon, lat in points:
        p = (int(math.floor(lon * 60.0 + 0.5)), int(math.floor(lat * 60.0 + 0.5)))
        if not out or out[-1] != p:
            out.append(p)
    return out


def join_pieces(pieces):
    """Chains of pieces that meet end to end, in order of first appearance."""
    by_end = defaultdict(list)  # point -> indices of pieces starting or ending there
    for i, piece in enumerate(pieces):
        by_end[piece[0]].append(i)
        by_end[piece[-1]].append(i)
    used = [False] * len(pieces)

    def take(point):
        for i in by_end[point]:
            if not used[i]:
                used[i] = True
                piece = pieces[i]
                return piece if piece[0] == point else piece[::-1]
        return None

    chains = []
    for i, piece in enumerate(pieces):
        if used[i]:
            continue
        used[i] = True
        chain = list(piece)
        while chain[0] != chain[-1]:
            nxt = take(chain[-1])
            if nxt is None:
                break
            chain.extend(nxt[1:])
        while chain[0] != chain[-1]:
            prv = take(chain[0])
            if prv is None:
                break
            chain[:0] = prv[::-1][:-1]
        chains.append(chain)
    return chains


def main(argv):
    if "--minus" in argv:
        k = argv.index("--minus")
        args, minus = argv[:k], argv[k + 1:]
    else:
        args, minus = argv, []
    if len(args) < 3:
        sys.exit(__doc__)
    feature, out_path, dumps = args[0], args[1], args[2:]

    removed = Counter()
    for path in minus:
        removed.update(read_segments(path))

    pieces_by_code = defaultdict(list)
    segments_in = skipped = 0
    for path in dumps:
        for n, (header, text) in enumerate(read_segments(path)):
            if removed[(header, text)] > 0:
                removed[(header, text)] -= 1
                continue
            m = HEADER.match(header)
            if not m:
                sys.exit(f"{path}: unknown segment header {header!r}")
            kind, level = m.group(1), int(m.group(2))
            if kind != KIND[feature]:
                sys.exit(f"{path}: a {kind} segment cannot go into {feature}")
            code = code_for(feature, kind, level)
            if code is None:
                skipped += 1  # e.g. the lakes in a dump of every shoreline level
                continue
            segments_in += 1
            for piece in cut_at_date_line(parse_points(text, f"{path} segment {n}")):
                minutes = to_minutes(piece)
                if len(minutes) >= 2:
                    pieces_by_code[code].append(minutes)
    if sum(removed.values()):
        sys.exit(f"{sum(removed.values())} segments to take away were not found")

    records = []
    for code in sorted(pieces_by_code):
        for chain in join_pieces(pieces_by_code[code]):
            start = 0
            while len(chain) - start >= 2:
                part = chain[start:start + MAX_POINTS]
                records.append((code, part))
                start += len(part) - 1  # the next part begins where this one ends

    points_out = 0
    with open(out_path, "wb") as f:
        for code, part in records:
            f.write(struct.pack("<hhhhhh", code, len(part), 0, 0, 0, 0))
            flat = array("h", [v for p in part for v in p])
            if sys.byteorder != "little":
                flat.byteswap()
            f.write(flat.tobytes())
            points_out += len(part)
    print(f"{out_path}: {segments_in} segments (of {segments_in + skipped}) -> "
          f"{len(records)} records, {points_out} points", file=sys.stderr)


if __name__ == "__main__":
    main(sys.argv[1:])
