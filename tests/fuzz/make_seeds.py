#!/usr/bin/env python3
"""Seed corpora for the fuzzers: the stored catalogue lines, their numeric fields,
and stelvo-cli's documented options (arguments separated by NUL bytes)."""
import pathlib
import re
import sys

source, out = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
lines = re.findall(r'^\s*"(.*)",\s*// \d+$', source.read_text(), re.M)
assert len(lines) == 588, len(lines)

def write(folder, name, data):
    path = out / folder
    path.mkdir(parents=True, exist_ok=True)
    (path / name).write_bytes(data)

for index, line in enumerate(lines[::12]):
    write("comet_line", f"line{index:03}", line.encode())
fields = set()
for line in lines[::7]:
    for start, width in ((29, 10), (39, 10), (49, 10), (59, 10), (69, 10), (80, 4), (84, 2), (86, 7)):
        fields.add(line[start:start + width])
fields |= {"-1.5e-3", "+7", "  .5", "1e308", "0x10", "12 "}
for index, field in enumerate(sorted(fields)):
    write("number_fields", f"field{index:03}", field.encode())
options = [
    "--bodies 10 --step 1 --steps 361 --state", "--bodies 20000 --steps 2000 --bench",
    "--comet 62 --dist 3 --runs 2 --csv out.csv", "--list-comets", "--help",
    "--png x.png --width 640 --height 480 --zoom 40 --incl 90 --planets 2,3,4,5,6,7,8,9",
    "--frames dir --every 5 --planets none", "--isa avx2 --step 0.25", "--step 5x",
    "--comet 533 --showers s.csv --capture 0.1 --encounter 0.002", "--capture 1e-3",
]
for index, text in enumerate(options):
    write("cli_options", f"options{index:02}", "\0".join(text.split(" ")).encode())
