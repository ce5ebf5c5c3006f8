// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "app/engine/FilterNetwork.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class ComputedDesign;
class XChart;

// The filter as a network of coupled resonators, written out: the Touchstone file, the
// network response as CSV, the tuning table and the chart's network lines; and the ideal
// response as CSV. Each is a function of one computed design.

/// Sweep points a network sweep of its own may ask for.
inline constexpr int kMinNetworkPoints = 2;
inline constexpr int kMaxNetworkPoints = 100000;
/// Sweep points when the ends are given without a count.
inline constexpr int kDefaultNetworkPoints = 201;

/// What a network sweep covers: the design's own sweep unless both ends are given (MHz),
/// with the design's unloaded Q unless `qu` gives one (+infinity for lossless resonators).
struct NetworkSweepRequest
{
    std::optional<double> fromMHz;
    std::optional<double> toMHz;
    std::optional<int> points;
    std::optional<double> qu;
};

/// The network of one design over a sweep.
struct NetworkSweep
{
    NetworkModel model;
    std::vector<NetworkPoint> points;
    /// The filter as built at the same frequencies: empty unless AddAsBuiltSweep filled it.
    std::vector<NetworkPoint> asBuilt;
};

/// Computes the sweep `request` asks for, at its frequencies above 0 Hz only. False with the
/// reason in `error` when the design cannot be modelled as a network (its bandwidth reaches
/// twice its centre frequency) or no frequency of the sweep lies above 0 Hz.
bool ComputeNetworkSweep(const ComputedDesign& design, const NetworkSweepRequest& request,
                         NetworkSweep& sweep, std::string& error);

/// Sweeps the network of the design's box as built (its geometry, corrected when the design
/// is) over the frequencies of `sweep`, with the unloaded Q of `sweep.model`, into
/// `sweep.asBuilt`. False, with `sweep.asBuilt` empty and the reason in `error`, when the
/// geometry cannot be modelled.
bool AddAsBuiltSweep(const ComputedDesign& design, NetworkSweep& sweep, std::string& error);

/// The Touchstone 1.1 file of a sweep: comments, the option line, then S11, S21, S12 and S22
/// in real/imaginary form per frequency.
std::string TouchstoneText(const ComputedDesign& design, const NetworkSweep& sweep);

/// "MHz,S21 dB,S11 dB,delay ns" and a line per point.
std::string NetworkCsvText(const NetworkSweep& sweep);

/// The tuning table of a design. False with the reason in `error` when the design cannot
/// be modelled as a network.
bool ComputeTuning(const ComputedDesign& design, TuningTable& table, std::string& error);

/// The tuning table as aligned text for a person beside the network analyser.
std::string TuningTableText(const TuningTable& table);

/// The tuning table as CSV: "k,delay ns,coupling k k+1,external Q" and a line per resonator.
std::string TuningCsvText(const TuningTable& table);

/// The ideal response as "MHz,dB loss" lines, ten significant digits.
std::string ResponseCsvText(const ComputedDesign& design);

/// Sets the chart up as the network view of `design` (see TesseraChart.h): the ideal curve
/// "BW", |S21| with loss as "S21" and |S11| as "S11" of the sweep, and |S21| of the box as
/// built as "AsBuilt" when the sweep holds it. Returns the index of "BW", -1 when memory ran
/// out.
int32_t SetupNetworkChart(XChart& chart, const ComputedDesign& design, const NetworkSweep& sweep);
