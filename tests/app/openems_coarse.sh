#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Exports the default design with each feed (and corrected) as an openEMS script, runs it
# coarsely (2 mm cells, 1000 time steps) and checks that the S-parameter files appear and that
# the structure openEMS built is the geometry tessera reports in its geometry file.
#   openems_coarse.sh TESSERA WORK_DIR
set -euo pipefail
tessera=$1
work=$2
rm -rf "$work"
mkdir -p "$work"
cd "$work"
for case in "wall" "cover" "wall --correct"; do
    feed=${case%% *}
    stem=${case// /_}
    stem=${stem//--/}
    # shellcheck disable=SC2086
    "$tessera" --feed $case --openems "$stem.py" --geometry "$stem.json"
    /usr/bin/python3 "$stem.py" --resolution 2 --max-timesteps 1000 --threads 1 \
        --out "$work/$stem" > "$stem.log" 2>&1 || { cat "$stem.log"; exit 1; }
    /usr/bin/python3 - "$work/$stem" "$stem" "$stem.json" "$feed" <<'PY'
import json, sys, xml.etree.ElementTree as ET
out, stem, geometry, feed = sys.argv[1:]
rows = open(f'{out}/{stem}.csv').read().splitlines()
assert rows[0] == 'MHz,S11 re,S11 im,S21 re,S21 im', rows[0]
assert len(rows) == 202, len(rows)
for row in rows[1:]:
    values = [float(v) for v in row.split(',')]
    assert all(v == v for v in values), row
s2p = [l for l in open(f'{out}/{stem}.s2p') if not l.startswith('!')]
assert s2p[0].startswith('# MHz S RI R 50'), s2p[0]
assert len(s2p) == 202, len(s2p)

g = json.load(open(geometry))
tree = ET.parse(f'{out}/{stem}.xml')
metal = tree.getroot().find('.//Metal')
cylinders = metal.findall('.//Cylinder')
boxes = metal.findall('.//Box')
def point(e, tag):
    p = e.find(tag)
    return [float(p.get(k)) for k in ('X', 'Y', 'Z')]
rods = g['rods']
expected = len(rods) + (2 if feed == 'cover' else 0)
assert len(cylinders) == expected, (len(cylinders), expected)
depth = g['box']['y']
for rod, cyl in zip(rods, cylinders):
    p1, p2 = point(cyl, 'P1'), point(cyl, 'P2')
    assert abs(float(cyl.get('Radius')) - rod['diameter'] / 2) < 1e-3
    assert abs(p1[0] - rod['x']) < 1e-3 and abs(p2[0] - rod['x']) < 1e-3, (p1, rod)
    assert abs(p1[2] - rod['z']) < 1e-3
    length = abs(p2[1] - p1[1])
    assert abs(length - rod['length']) < 1e-3, (length, rod)
    grounded = min(p1[1], p2[1]) if rod['groundWall'] == 'A' else max(p1[1], p2[1])
    assert abs(grounded - (0 if rod['groundWall'] == 'A' else depth)) < 1e-3
tap = g['tapHeight']
if feed == 'wall':
    assert len(boxes) == 2, len(boxes)
    for box, rod in zip(boxes, (rods[0], rods[-1])):
        p1, p2 = point(box, 'P1'), point(box, 'P2')
        y = (p1[1] + p2[1]) / 2
        want = tap if rod['groundWall'] == 'A' else depth - tap
        assert abs(y - want) < 1e-3, (y, want)
        assert abs(abs(p2[1] - p1[1]) - g['feed']['leadSide']) < 1e-3
else:
    for cyl, rod in zip(cylinders[len(rods):], (rods[0], rods[-1])):
        p1 = point(cyl, 'P1')
        want = tap if rod['groundWall'] == 'A' else depth - tap
        assert abs(p1[0] - rod['x']) < 1e-3 and abs(p1[1] - want) < 1e-3, (p1, rod)
print(stem, 'ok')
PY
done
