// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <string>

struct BuildGeometry;
struct FilterDesign;

// The filter as a full-wave model: a self-contained Python script for openEMS (the Debian
// packages openems and python3-openems) that builds the box, the rods and both feeds exactly
// as the geometry gives them, runs the FDTD simulation and writes S11 and S21. It lets anyone
// check a design, and our tests check the as-built network against it.

/// The script for `geometry` (lengths in inches), sweeping the design's own sweep. The script
/// takes its mesh resolution at the rods (mm, default 0.5), the folder for its results, a
/// limit on the time steps and the end criterion from its command line (--help lists them),
/// and writes STEM.csv ("MHz,S11 re,S11 im,S21 re,S21 im"), STEM.s2p and the structure as
/// STEM.xml there, STEM being `stem`.
std::string OpenEmsScriptText(const FilterDesign& design, const BuildGeometry& geometry,
                              const std::string& stem);
