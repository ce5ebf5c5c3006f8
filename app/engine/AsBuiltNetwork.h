// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "app/engine/BuildGeometry.h"
#include "app/engine/FilterNetwork.h"

#include <map>
#include <string>
#include <vector>

// The filter as it is built, as a network: the rods are coupled TEM lines in air whose
// impedances come from the field-solved capacitance matrix of each stretch of the box, each
// rod shorted on its wall and loaded at its open end by the capacitance across the gap to
// the opposite wall; the taps split the end rods, and each feed is a line of its own from
// the 50 ohm connector to its tap. See AsBuiltNetwork.cpp for the model and its sources.

/// The network of one geometry, ready to be evaluated at any frequency.
struct AsBuiltNetwork
{
    /// One stretch of the box along the rods in which the same rods are present.
    struct Stretch
    {
        double length = 0.0;    ///< metres
        std::vector<int> low;   ///< each present rod's node at the stretch's start (-1: ground)
        std::vector<int> high;  ///< and at its end
        std::vector<double> yc; ///< characteristic admittance matrix c0 C, siemens, k x k
    };
    int nodes = 0;                  ///< unknown node voltages
    std::vector<Stretch> stretches; ///< along the rods from ground wall A
    std::vector<int> openNode;      ///< each rod's node at its open end
    std::vector<double> openFarad;  ///< the capacitance loading that open end
    int tapNode[2] = {-1, -1};      ///< the tap nodes of rods 1 and n
    int portNode[2] = {-1, -1};     ///< the connectors' nodes
    double leadMetre = 0.0;         ///< the feed lead's length
    double leadOhm = 0.0;           ///< the feed lead's characteristic impedance
    double portOhm = 50.0;          ///< the connectors' (and the reference) impedance
};

/// Field solutions already made, by cross-section: a caller that builds many networks of
/// nearly the same box (the correction) keeps one so that an unchanged cross-section is
/// solved once.
struct CrossSectionCache
{
    std::map<std::vector<double>, std::vector<double>> solved;
};

/// Builds the network of `geometry` with ports of `portOhm`. False with the reason in
/// `problem` when the geometry cannot be modelled (rods that touch, a rod or tap outside the
/// box, a field solution that fails).
bool BuildAsBuiltNetwork(const BuildGeometry& geometry, double portOhm, AsBuiltNetwork& network,
                         std::string& problem, CrossSectionCache* cache = nullptr);

/// S-parameters at `freqGHz` with resonators of unloaded Q `qu` (+infinity: lossless). The
/// group delays are left 0.
NetworkPoint EvaluateAsBuilt(const AsBuiltNetwork& network, double qu, double freqGHz);

/// EvaluateAsBuilt at each frequency of `freqGHz`, in order.
std::vector<NetworkPoint> SweepAsBuilt(const AsBuiltNetwork& network, double qu,
                                       const std::vector<double>& freqGHz);

/// The capacitance of a rod's open end across the gap `gapMetre` to the opposite wall, F
/// (the model is stated where it is computed).
double OpenEndCapacitance(double rodDiameterMetre, double planeSpacingMetre, double gapMetre);
