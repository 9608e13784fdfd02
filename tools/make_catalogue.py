#!/usr/bin/env python3
"""Writes the built-in comet catalogue (src/data/comet_catalogue.cpp).

Reads the Minor Planet Center's comet elements (the JSON form shipped in the
KStars data package, kept in tools/data/) and writes 588 fixed-width catalogue
lines as a C++ array. Standard library only; the output depends on nothing but
the input file, so running it twice gives the same bytes.

It also writes the comets' osculating elements with their epochs
(src/data/comet_epochs.cpp), one row per catalogue line in the same order, for
the integration of a comet's own orbit through time, and their total magnitude
laws (src/data/comet_magnitudes.cpp), for the dust production of trails.

Usage:
  python3 tools/make_catalogue.py --input tools/data/mpc-comet-elements.json \
      --output src/data/comet_catalogue.cpp --epochs-output src/data/comet_epochs.cpp \
      --magnitudes-output src/data/comet_magnitudes.cpp

The selection rule is described in tools/README.md.
"""

import argparse
import json
import re
import sys
import unicodedata

COMET_COUNT = 588

# Rows that are stored exactly as written here, in place of that comet's own
# (newer) elements from the source. Several tests and the start-up selection
# rely on them.
TELLING_ROWS = [
    "ATLAS......   5.65   3.170769  2.177643  0.313213   99.8886  252.3915   11.8503 20170727.9103 ATLAS P/2017 S5 (ATLAS)",
    "Catal......   4.44   2.699649  0.832820  0.691508  222.8530   95.6737    5.6760 201811 2.0772 Catal 300P/Catalina",
    "LINEA......   7.33   3.774619  1.785591  0.526948   12.5298  333.5209   15.6161 201912 2.1776 LINEA 160P/LINEAR",
    "LONEO......   7.65   3.881081  1.759620  0.546616  245.6368  272.4109   18.5091 20160724.6556 LONEO 150P/LONEOS",
    "NEAT ......   7.32   3.770311  2.066349  0.451942  349.7261  102.0954   12.7075 201908 5.3087 NEAT  163P/NEAT",
    "PANST......   6.46   3.469748  2.036725  0.413005  230.7266  146.8802    4.9404 201805 7.7356 PANST 253P/PANSTARRS",
    "SOHO ......   5.31   3.042025  0.053132  0.982534   57.2299   44.2099   12.9974 201607 1.4132 SOHO  342P/SOHO",
    "Space......   5.52   3.125020  1.520172  0.513548   87.1783  153.1777    9.9888 20180827.9528 Space 125P/Spacewatch",
    "WISE ......   8.12   4.039010  2.190254  0.457725  316.6930  316.6786   21.2008 201802 8.6829 WISE  245P/WISE",
]

# Inclusive limits every stored row keeps.
Q_RANGE = (0.039498, 11.741422)      # perihelion distance, AU
ECC_RANGE = (0.021223, 0.989858)
ANGLE_RANGE = (0.0, 360.0)           # argument of perihelion and node, degrees
INCL_RANGE = (0.2346, 172.5277)      # degrees
PERIOD_RANGE = (3.24, 366.57)        # years
YEAR_RANGE = (1986, 2092)            # year of the perihelion passage
LINE_LENGTH_RANGE = (107, 135)

NAME_START = 101                     # 1-based column where the designation begins
NAME_CHARS = re.compile(r"[A-Za-z0-9 '()/-]+")

# "300P/Catalina", "73P-B/Schwassmann-Wachmann", "282P" (no name).
NUMBERED = re.compile(r"^(\d+)([PD])(-[A-Z]+)?(?:/(.+))?$")
# "P/2017 S5 (ATLAS)", "C/2019 Y4-A (ATLAS)", "C/2018 F4-A" (no name).
PROVISIONAL = re.compile(r"^([PCDXAI])/(-?\d+) ([A-Z]{1,2})(\d*)(-[A-Z]+)?(?: \((.+)\))?$")


class Comet:
    """One candidate row: its designation parts and its elements."""

    def __init__(self, designation, name, numbered, number, year, half_month, order,
                 prefix, periodic, q, ecc, arg_peri, node, incl, peri_year, peri_month,
                 peri_day, line=None, epoch=None):
        self.designation = designation
        self.name = name
        self.numbered = numbered
        self.number = number
        self.year = year
        self.half_month = half_month
        self.order = order
        self.prefix = prefix
        self.periodic = periodic
        self.q = q
        self.ecc = ecc
        self.arg_peri = arg_peri
        self.node = node
        self.incl = incl
        self.peri_year = peri_year
        self.peri_month = peri_month
        self.peri_day = peri_day
        self._line = line
        # (year, month, day) of the osculating epoch, None when the source gives none.
        self.epoch = epoch
        # (H, G) of m = H + 5 log delta + 2.5 G log r, None when the source gives none.
        self.magnitude = None
        self.record = None

    @property
    def line(self):
        # Only formed for elliptic orbits; keeps_limits tests the eccentricity first.
        if self._line is None:
            self._line = self.format_line()
        return self._line

    @property
    def key(self):
        return self.name[:5].ljust(5)

    @property
    def semi_major_axis(self):
        return self.q / (1.0 - self.ecc)

    @property
    def period(self):
        return self.semi_major_axis ** 1.5

    def format_line(self):
        return (f"{self.key}...... {self.period:6.2f}  {self.semi_major_axis:9.6f}"
                f"{self.q:10.6f}{self.ecc:10.6f}{self.arg_peri:10.4f}{self.node:10.4f}"
                f"{self.incl:10.4f} {self.peri_year:4d}{self.peri_month:02d}"
                f"{self.peri_day:7.4f} {self.key} {self.designation}")

    def identity(self):
        """The comet itself, whichever of its designations a row carries."""
        if self.numbered:
            return ("numbered", self.number)
        return ("provisional", self.year, self.half_month, self.order)

    def sort_key(self):
        # Alphabetical by the discoverer or survey name; within one name the
        # numbered comets by number, then the provisional designations by year.
        if self.numbered:
            within = (0, self.number, "", 0, "")
        else:
            within = (1, self.year, self.half_month, self.order, self.prefix)
        return (self.name.casefold(), self.name, within)


def to_ascii(text):
    """Plain-ASCII spelling of a name (accents dropped), or None if there is none."""
    decomposed = unicodedata.normalize("NFKD", text)
    plain = "".join(c for c in decomposed if not unicodedata.combining(c))
    if not plain.isascii():
        return None
    return plain


def parse_designation(text):
    """(name, numbered, number, year, half_month, order, prefix, fragment) or None."""
    m = NUMBERED.match(text)
    if m:
        number, kind, fragment, name = m.groups()
        return (name, True, int(number), 0, "", 0, kind, fragment is not None)
    m = PROVISIONAL.match(text)
    if m:
        prefix, year, half_month, order, fragment, name = m.groups()
        return (name, False, 0, int(year), half_month, int(order or 0), prefix,
                fragment is not None)
    return None


def comet_from_record(record):
    designation = to_ascii(record["Designation_and_name"])
    if designation is None:
        return None
    parts = parse_designation(designation)
    if parts is None:
        return None
    name, numbered, number, year, half_month, order, prefix, fragment = parts
    if fragment or not name:
        return None
    epoch = None
    if "Epoch_year" in record:
        epoch = (int(record["Epoch_year"]), int(record["Epoch_month"]), int(record["Epoch_day"]))
    comet = Comet(designation, name, numbered, number, year, half_month, order, prefix,
                  record["Orbit_type"] == "P", float(record["Perihelion_dist"]),
                  float(record["e"]), float(record["Peri"]), float(record["Node"]),
                  float(record["i"]), int(record["Year_of_perihelion"]),
                  int(record["Month_of_perihelion"]), float(record["Day_of_perihelion"]),
                  epoch=epoch)
    if "H" in record and "G" in record:
        comet.magnitude = (float(record["H"]), float(record["G"]))
    return comet


def comet_from_row(row):
    """A telling row, stored as written; its values read back for the checks."""
    designation = row[NAME_START - 1:]
    name, numbered, number, year, half_month, order, prefix, _ = parse_designation(designation)
    return Comet(designation, name, numbered, number, year, half_month, order, prefix,
                 True, float(row[29:39]), float(row[39:49]), float(row[49:59]),
                 float(row[59:69]), float(row[69:79]), int(row[80:84]), int(row[84:86]),
                 float(row[86:93]), line=row)


def within(value, limits):
    return limits[0] <= value <= limits[1]


def keeps_limits(comet):
    if not (0.0 <= comet.ecc < 1.0):
        return False
    line = comet.line
    return (within(comet.q, Q_RANGE) and within(comet.ecc, ECC_RANGE)
            and within(comet.arg_peri, ANGLE_RANGE) and within(comet.node, ANGLE_RANGE)
            and within(comet.incl, INCL_RANGE) and within(comet.period, PERIOD_RANGE)
            and within(comet.peri_year, YEAR_RANGE)
            and 1 <= comet.peri_month <= 12 and 1.0 <= comet.peri_day < 32.0
            and within(len(line), LINE_LENGTH_RANGE)
            and NAME_CHARS.fullmatch(line[NAME_START - 1:]) is not None
            and line.isascii())


def select(records):
    telling = [comet_from_row(row) for row in TELLING_ROWS]
    told = {comet.identity() for comet in telling}

    candidates = {}
    sources = {}
    for record in records:
        comet = comet_from_record(record)
        if comet is not None and comet.identity() in told:
            # A telling row keeps its line; its epoch table row is the source's record.
            sources.setdefault(comet.identity(), comet)
        if comet is None or comet.identity() in told or not keeps_limits(comet):
            continue
        # One row per comet: a second record of the same comet is dropped.
        candidates.setdefault(comet.identity(), comet)

    # Numbered periodic comets first, then the other periodic ones, then the
    # rest; within each class the shorter period first.
    def preference(comet):
        rank = 0 if comet.numbered else (1 if comet.periodic else 2)
        return (rank, round(comet.period, 6), comet.sort_key())

    for comet in telling:
        comet.record = sources.get(comet.identity())
    ranked = sorted(candidates.values(), key=preference)
    chosen = telling + ranked[:COMET_COUNT - len(telling)]
    if len(chosen) != COMET_COUNT:
        raise SystemExit(f"only {len(chosen)} comets qualify, {COMET_COUNT} needed")
    return sorted(chosen, key=Comet.sort_key)


def check(comets):
    for comet in comets:
        line = comet.line
        assert keeps_limits(comet), line
        assert line[94:99] == line[0:5] and line[5:11] == "......", line
    for row in TELLING_ROWS:
        assert row in [comet.line for comet in comets], row


def cpp_table(input_name, about, header, declaration, rows):
    """A generated C++ source holding one constant array, one row per line."""
    out = ["// Generated by tools/make_catalogue.py from " + input_name + "; do not edit."]
    out += about
    out += [
        "",
        f'#include "{header}"',
        "",
        "namespace stelvo {",
        "",
        "// clang-format off",
        declaration + "{{",
    ]
    out += rows
    out += [
        "}};",
        "// clang-format on",
        "",
        "}  // namespace stelvo",
        "",
    ]
    return "\n".join(out)


def render(comets, input_name):
    return cpp_table(
        input_name,
        ["// Orbital elements: Minor Planet Center (MPC), as published in the KStars data package.",
         "// One fixed-width line per comet, in the stored order; see tools/README.md."],
        "data/comet_catalogue.h",
        "const std::array<std::string_view, kCometCount> kCometCatalogue",
        [f'    "{comet.line}",  // {index}' for index, comet in enumerate(comets)])


def epoch_row(comet):
    """The osculating elements with their epoch. A comet whose source gives no epoch
    (or a telling row absent from the source) is taken as osculating at perihelion."""
    source = comet.record if comet.record is not None else comet
    epoch = source.epoch
    given = epoch is not None
    if not given:
        epoch = (source.peri_year, source.peri_month, source.peri_day)
    return (f"{{{epoch[0]}, {epoch[1]}, {float(epoch[2])!r}, {'true' if given else 'false'}, "
            f"{source.q!r}, {source.ecc!r}, {source.incl!r}, {source.node!r}, "
            f"{source.arg_peri!r}, {source.peri_year}, {source.peri_month}, "
            f"{source.peri_day!r}}}")


def render_epochs(comets, input_name):
    return cpp_table(
        input_name,
        ["// Osculating elements and their epochs: Minor Planet Center (MPC), as published",
         "// in the KStars data package. One row per catalogue line, in the same order."],
        "data/comet_epochs.h",
        "const std::array<CometEpochElements, kCometCount> kCometEpochs",
        [f"    {epoch_row(comet)},  // {index} {comet.designation}"
         for index, comet in enumerate(comets)])


def magnitude_row(comet):
    """H and G of the total magnitude law; a comet without them is marked unknown."""
    source = comet.record if comet.record is not None else comet
    if source.magnitude is None:
        return "{0.0, 0.0, false}"
    return f"{{{source.magnitude[0]!r}, {source.magnitude[1]!r}, true}}"


def render_magnitudes(comets, input_name):
    return cpp_table(
        input_name,
        ["// Total magnitude laws m = H + 5 log10(delta) + 2.5 G log10(r): Minor Planet Center",
         "// (MPC), as published in the KStars data package. One row per catalogue line."],
        "data/comet_magnitudes.h",
        "const std::array<CometMagnitude, kCometCount> kCometMagnitudes",
        [f"    {magnitude_row(comet)},  // {index} {comet.designation}"
         for index, comet in enumerate(comets)])


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--input", required=True, help="MPC comet elements, JSON")
    parser.add_argument("--output", required=True, help="C++ source to write")
    parser.add_argument("--epochs-output", help="C++ source of the epoch table to write")
    parser.add_argument("--magnitudes-output", help="C++ source of the magnitude table to write")
    parser.add_argument("--input-name", default="tools/data/mpc-comet-elements.json",
                        help="how the generated file names its input")
    args = parser.parse_args(argv)

    with open(args.input, encoding="utf-8") as f:
        records = json.load(f)
    comets = select(records)
    check(comets)
    with open(args.output, "w", encoding="ascii", newline="\n") as f:
        f.write(render(comets, args.input_name))
    if args.epochs_output:
        with open(args.epochs_output, "w", encoding="ascii", newline="\n") as f:
            f.write(render_epochs(comets, args.input_name))
    if args.magnitudes_output:
        with open(args.magnitudes_output, "w", encoding="ascii", newline="\n") as f:
            f.write(render_magnitudes(comets, args.input_name))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
