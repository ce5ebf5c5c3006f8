// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/outputs/OpenEmsModel.h"

#include "app/engine/BuildGeometry.h"
#include "app/engine/FilterDesign.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

constexpr double kMmPerInch = 25.4;

std::string Mm(double inches)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.6f", inches * kMmPerInch);
    return buffer;
}

std::string Number(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.9g", value);
    return buffer;
}

// A Python string literal of `text`: only printable ASCII is kept, so no input can end the
// literal or the line.
std::string PythonString(const std::string& text)
{
    std::string out = "'";
    for (char c : text) {
        if (c == '\'' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c >= 0x20 && c < 0x7f) {
            out += c;
        } else {
            out += '_';
        }
    }
    return out + "'";
}

// Everything after the design's numbers. Coordinates in mm: x along the row from the first
// end wall, y along the rods from ground wall A, z up from the lower ground plane. The box's
// six inside faces are the FDTD domain's perfectly conducting boundaries.
constexpr const char* kScriptBody = R"PY(

def main():
    parser = argparse.ArgumentParser(description='Full-wave simulation of the filter ' + STEM)
    parser.add_argument('--resolution', type=float, default=0.5,
                        help='mesh cell size at the rods and feeds, mm (default 0.5)')
    parser.add_argument('--out', default=None,
                        help='folder for the results (default: STEM next to this script)')
    parser.add_argument('--max-timesteps', type=int, default=2000000,
                        help='stop after this many time steps (default 2000000)')
    parser.add_argument('--end-criteria', type=float, default=1e-4,
                        help='stop when the energy falls by this factor (default 1e-4)')
    parser.add_argument('--threads', type=int, default=0, help='FDTD threads (0: all)')
    parser.add_argument('--points', type=int, default=201, help='frequencies written')
    args = parser.parse_args()

    here = os.path.dirname(os.path.abspath(__file__))
    out = os.path.abspath(args.out or os.path.join(here, STEM))
    os.makedirs(out, exist_ok=True)
    sim_path = os.path.join(out, 'fdtd')

    res = args.resolution
    coarse = max(res, min(2.5, C0 / F_HIGH_HZ * 1e3 / 20.0))
    gap = PORT_GAP
    fdtd = openEMS(NrTS=args.max_timesteps, EndCriteria=args.end_criteria)
    span = F_HIGH_HZ - F_LOW_HZ
    fdtd.SetGaussExcite(0.5 * (F_LOW_HZ + F_HIGH_HZ), 0.75 * span)
    fdtd.SetBoundaryCond(['PEC'] * 6)
    csx = ContinuousStructure()
    fdtd.SetCSX(csx)
    mesh = csx.GetGrid()
    mesh.SetDeltaUnit(1e-3)
    metal = csx.AddMetal('metal')

    # The mesh: lines on every edge that matters (rod surfaces and ends, the feeds, the
    # ports), cells of `res` in the regions around the rods and feeds, graded up to `coarse`
    # elsewhere. Edges closer than half a cell share a line (their mean), so no sliver cell
    # shrinks the time step.
    size = {'x': BOX_X, 'y': BOX_Y, 'z': BOX_Z}
    key = {axis: [0.0, size[axis]] for axis in 'xyz'}
    regions = {axis: [] for axis in 'xyz'}

    def fine(axis, a, b):
        a, b = max(a, 0.0), min(b, size[axis])
        if b > a:
            regions[axis].append((a, b))
            key[axis].extend([a, b])

    zc = BOX_Z / 2.0
    r = ROD_DIAMETER / 2.0
    fine('z', zc - r - 3 * res, zc + r + 3 * res)
    key['z'].extend([zc - r, zc, zc + r])
    for x, length, wall in RODS:
        if wall == 'A':
            start, stop = 0.0, length
        else:
            start, stop = BOX_Y - length, BOX_Y
        metal.AddCylinder([x, start, zc], [x, stop, zc], r)
        fine('x', x - r - 3 * res, x + r + 3 * res)
        key['x'].extend([x - r, x, x + r])
        end = stop if wall == 'A' else start
        fine('y', end - 3 * res, end + 3 * res)
        key['y'].append(end)

    ports = []
    for number, (x, length, wall) in ((1, RODS[0]), (2, RODS[-1])):
        y = TAP if wall == 'A' else BOX_Y - TAP
        side = LEAD / 2.0
        fine('y', y - side - 3 * res, y + side + 3 * res)
        key['y'].extend([y - side, y + side])
        if FEED == 'wall':
            wall_x = 0.0 if number == 1 else BOX_X
            inward = 1.0 if number == 1 else -1.0
            metal.AddBox([wall_x + inward * gap, y - side, zc - side], [x, y + side, zc + side])
            fine('x', min(wall_x, x), max(wall_x, x))
            key['x'].append(wall_x + inward * gap)
            key['z'].extend([zc - side, zc + side])
            port = fdtd.AddLumpedPort(number, Z_PORT, [wall_x, y - side, zc - side],
                                      [wall_x + inward * gap, y + side, zc + side], 'x',
                                      1.0 if number == 1 else 0.0)
        else:
            metal.AddCylinder([x, y, gap], [x, y, zc], side)
            fine('z', 0.0, zc)
            key['z'].append(gap)
            key['x'].extend([x - side, x + side])
            port = fdtd.AddLumpedPort(number, Z_PORT, [x - side, y - side, 0.0],
                                      [x + side, y + side, gap], 'z',
                                      1.0 if number == 1 else 0.0)
        ports.append(port)

    def axis_lines(axis):
        groups = []
        for v in sorted(key[axis]):
            if groups and v - groups[-1][-1] < 0.5 * res:
                groups[-1].append(v)
            else:
                groups.append([v])
        edges = []
        for g in groups:
            bounds = [v for v in g if v in (0.0, size[axis])]
            edges.append(bounds[0] if bounds else sum(g) / len(g))
        out = list(edges)
        for a, b in zip(edges, edges[1:]):
            middle = 0.5 * (a + b)
            if any(lo <= middle <= hi for lo, hi in regions[axis]):
                count = int(np.ceil((b - a) / res - 1e-9))
                out.extend(np.linspace(a, b, count + 1)[1:-1].tolist())
        return sorted(out)

    for axis in 'xyz':
        mesh.AddLine(axis, axis_lines(axis))
        mesh.SmoothMeshLines(axis, coarse, 1.4)
    cells = [len(mesh.GetLines(axis)) for axis in 'xyz']
    print('mesh %d x %d x %d = %d cells' % (cells[0], cells[1], cells[2],
                                            cells[0] * cells[1] * cells[2]))

    # The structure as openEMS sees it, for AppCSXCAD or a check of the geometry.
    csx.Write2XML(os.path.join(out, STEM + '.xml'))
    fdtd.Run(sim_path, cleanup=True, verbose=0, numThreads=args.threads)

    f = np.linspace(F_LOW_HZ, F_HIGH_HZ, args.points)
    for port in ports:
        port.CalcPort(sim_path, f, Z_PORT)
    s11 = ports[0].uf_ref / ports[0].uf_inc
    s21 = ports[1].uf_ref / ports[0].uf_inc

    with open(os.path.join(out, STEM + '.csv'), 'w') as csv:
        csv.write('MHz,S11 re,S11 im,S21 re,S21 im\n')
        for k in range(len(f)):
            csv.write('%.4f,%.6f,%.6f,%.6f,%.6f\n' % (f[k] / 1e6, s11[k].real, s11[k].imag,
                                                     s21[k].real, s21[k].imag))
    with open(os.path.join(out, STEM + '.s2p'), 'w') as s2p:
        s2p.write('! ' + STEM + ': openEMS simulation, ' + FEED + ' feed, %.3f mm cells\n' % res)
        s2p.write('! port 1 excited only: S12 = S21 (reciprocal), S22 = S11 (symmetric box)\n')
        s2p.write('# MHz S RI R %g\n' % Z_PORT)
        for k in range(len(f)):
            s2p.write('%.4f %.6f %.6f %.6f %.6f %.6f %.6f %.6f %.6f\n' % (
                f[k] / 1e6, s11[k].real, s11[k].imag, s21[k].real, s21[k].imag,
                s21[k].real, s21[k].imag, s11[k].real, s11[k].imag))
    print('wrote ' + os.path.join(out, STEM + '.csv'))


if __name__ == '__main__':
    main()
)PY";

} // namespace

std::string OpenEmsScriptText(const FilterDesign& design, const BuildGeometry& g,
                              const std::string& stem)
{
    std::string s = "#!/usr/bin/python3\n"
                    "# Full-wave model of an interdigital filter for openEMS, written by Tessera.\n"
                    "# Run: /usr/bin/python3 THIS_FILE [--resolution MM] [--out FOLDER]\n"
                    "import argparse\n"
                    "import os\n"
                    "import numpy as np\n"
                    "# The openEMS module of Debian 12 still names np.float, which numpy 1.24\n"
                    "# removed.\n"
                    "if not hasattr(np, 'float'):\n"
                    "    np.float = float\n"
                    "from CSXCAD import ContinuousStructure\n"
                    "from openEMS import openEMS\n"
                    "from openEMS.physical_constants import C0\n\n";
    s += "STEM = " + PythonString(stem) + "\n";
    s += "FEED = '" + std::string(FeedKindName(g.feed)) + "'\n";
    s += "# The box inside (mm): along the row, along the rods, between the ground planes.\n";
    s += "BOX_X = " + Mm(g.boxLengthInch) + "\n";
    s += "BOX_Y = " + Mm(g.boxDepthInch) + "\n";
    s += "BOX_Z = " + Mm(g.groundPlaneInch) + "\n";
    s += "ROD_DIAMETER = " + Mm(g.rodDiameterInch) + "\n";
    s += "# Each rod: centre from the first end wall, length, the wall it is grounded on.\n";
    s += "RODS = [\n";
    for (const BuildRod& rod : g.rods) {
        s += "    (" + Mm(rod.centreInch) + ", " + Mm(rod.lengthInch) + ", '" +
             (rod.ground == GroundWall::A ? "A" : "B") + "'),\n";
    }
    s += "]\n";
    s += "# Feed tap above the end rods' grounded ends; lead side (wall) or pin diameter\n"
         "# (cover); the connector's gap, where the 50 ohm port sits.\n";
    s += "TAP = " + Mm(g.tapInch) + "\n";
    s += "LEAD = " + Mm(g.leadSizeInch) + "\n";
    s += "PORT_GAP = 1.0\n";
    s += "Z_PORT = " + Number(design.R > 0 ? design.R : 50.0) + "\n";
    double lowGHz = design.fzmc * 0.9;
    double highGHz = design.fzmc * 1.1;
    if (design.NFR >= 2 && design.NFR <= kMaxArrayEntries) {
        lowGHz = std::max(design.sweepFreq[0], design.fzmc * 0.05);
        highGHz = design.sweepFreq[design.NFR - 1];
    }
    s += "F_LOW_HZ = " + Number(lowGHz * 1e9) + "\n";
    s += "F_HIGH_HZ = " + Number(highGHz * 1e9) + "\n";
    s += kScriptBody;
    return s;
}
