// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct DesignInputs;
struct FilterDesign;

// The parameter text: the eight design inputs (plus the sweep) as one line of text, e.g.
// "ele=5\t&rip=1\t&fzmc=1200&bwmc=70&R=50\t&H=20\t&D=8\t&E=25\t&NFR=200&STP=1.4\t".
// It is compared between computations to detect a change, stored in configurations, and
// parsed into a design record for the synthesis.

/// Formats the parameter text from the field values (MHz and mm), with the sweep step
/// computed from the bandwidth. Real values carry at most six significant digits ("%g"),
/// so the synthesis works on inputs cut to what the text shows.
std::string BuildParms(const DesignInputs& inputs);

/// Fills `design` from a parameter text: tokens separated by runs of "&", each "key=value"
/// with the value read as a floating-point number (leading white space skipped, anything
/// after the number ignored); frequencies become GHz, lengths inches, counts are truncated
/// toward zero (saturating). A token whose value holds no number gives its key the previous
/// token's value. Unknown keys are ignored. Returns the name of the first known input whose
/// value held no number ("Ripple", "Points to graph", ...), or nothing when all were read.
std::optional<std::string> ParmsToDesign(std::string_view text, FilterDesign& design);
