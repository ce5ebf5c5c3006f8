// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <string>

class ComputedDesign;

// The filter as built, written out: the summary that sets the as-built network's response
// against the design, and the physical model as a JSON file.

/// The as-built summary of the design's geometry (corrected when the design is): centre,
/// 3 dB band, ripple and worst return loss over the ripple band, each resonator's frequency,
/// the couplings and the external Q, each beside the ideal design's value. False with the
/// reason in `error` when the geometry cannot be modelled.
bool AsBuiltSummaryText(const ComputedDesign& design, std::string& text, std::string& error);

/// The physical model as JSON, lengths in millimetres: the box inside, H, each rod's
/// centre, the wall it is grounded on, its length and diameter, the taps and the feeds.
std::string GeometryJsonText(const ComputedDesign& design);
