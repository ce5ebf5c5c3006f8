// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <cstddef>
#include <vector>

// The cross-section of an interdigital filter as an electrostatic problem: n round rods of
// one diameter, their centres on the mid-plane between two ground planes H apart, the row
// closed by two end walls. The per-unit-length capacitance matrix of the rods follows from a
// method of moments over the rods' surfaces; the air-filled TEM lines' impedances and
// couplings follow from it.

/// The cross-section: lengths in metres.
struct RodCrossSection
{
    double planeSpacing = 0.0;   ///< H, ground plane to ground plane
    double rodDiameter = 0.0;    ///< D, every rod
    std::vector<double> centres; ///< each rod's centre, measured from the first end wall
    double wallDistance = 0.0;   ///< the second end wall's distance from the first; 0: no walls
};

/// The capacitance matrix per unit length, F/m, row-major n x n: entry (i, j) is the charge
/// per metre on rod i with rod j at 1 V and every other conductor grounded. The diagonal is
/// positive, the rest negative; the matrix is symmetric to the solution's accuracy.
struct CapacitanceMatrix
{
    int n = 0;
    std::vector<double> c;

    double At(int i, int j) const { return c[std::size_t(i) * std::size_t(n) + std::size_t(j)]; }
};

/// Solves the cross-section with `pointsPerRod` surface segments on each rod (at least 8;
/// 64 gives about 1e-4 relative accuracy for rods no closer than a tenth of their diameter).
/// False when the geometry is not sound: no rods, a diameter or spacing that is not positive,
/// rods that touch each other, the planes or a wall.
bool SolveCapacitance(const RodCrossSection& section, int pointsPerRod, CapacitanceMatrix& out);

/// The characteristic impedance, ohm, of an air-filled TEM line whose capacitance per unit
/// length is `faradPerMetre`: Z0 = 1 / (c0 C).
double AirLineImpedance(double faradPerMetre);
