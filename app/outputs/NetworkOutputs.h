#pragma once

#include "app/engine/FilterNetwork.h"

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

class XChart;

// The command line's outputs of the filter as a network of coupled resonators: the
// Touchstone file, the network response as CSV, the tuning table, and the chart's network
// lines. They are options of their own, read and carried out here for the command line.

/// Sweep points a --points value may ask for.
inline constexpr int kMinNetworkPoints = 2;
inline constexpr int kMaxNetworkPoints = 100000;
/// Sweep points when --from and --to are given without --points.
inline constexpr int kDefaultNetworkPoints = 201;

/// The network options of a command line.
struct NetworkOptions
{
    bool touchstone = false; ///< write a Touchstone 1.1 file to `touchstonePath` (.s2p)
    std::string touchstonePath;
    bool csv = false; ///< write MHz, |S21| dB, |S11| dB, delay ns to `csvPath` ("-": stdout)
    std::string csvPath;
    bool tuning = false;    ///< print the tuning table
    bool tuningCsv = false; ///< write the tuning table as CSV to `tuningCsvPath` ("-": stdout)
    std::string tuningCsvPath;
    bool chartLines = false;       ///< the chart shows |S21| with loss and |S11|
    std::optional<double> fromMHz; ///< a sweep of their own for the network outputs
    std::optional<double> toMHz;
    std::optional<int> points;
    std::optional<double> qu; ///< unloaded Q; +infinity for lossless; unset: the design's
};

/// How `ParseNetworkOption` treated an option name.
enum class OptionMatch {
    NotNetwork, ///< not a network option: the caller goes on looking
    Read,       ///< read, with its value when it takes one
    Failed,     ///< a network option with a missing or unusable value; `error` says why
};

/// Reads the option `name` if it is a network option. `takeValue` fetches the option's value
/// (false when it is missing, the caller's error set), `noValue` checks that none was given
/// inline (likewise).
OptionMatch ParseNetworkOption(const std::string& name,
                               const std::function<bool(std::string&)>& takeValue,
                               const std::function<bool()>& noValue, NetworkOptions& options,
                               std::string& error);

/// Checks the options together once all are read: a sweep needs both ends, --network needs
/// a chart (`chart`), and the sweep and Q options need an output that uses them. False with
/// a message in `error`.
bool CheckNetworkOptions(const NetworkOptions& options, bool chart, std::string& error);

/// True when the options name an output of their own, so the report is no longer the
/// default action.
bool HasNetworkAction(const NetworkOptions& options);

/// The usage text's lines for the network options.
std::string NetworkUsageText();

/// The network results of one design, computed once for all the outputs asked for.
class NetworkResults
{
public:
    /// Computes what `options` ask for from a parameter text that has passed validation.
    /// Returns false with a message in `error` when the design cannot be modelled as a
    /// network (its bandwidth reaches twice its centre frequency). Does nothing, returning
    /// true, when no network output is asked for.
    bool Compute(const NetworkOptions& options, const std::string& parms, std::string& error);

    /// Writes the outputs meant for standard output to `out`: the tuning table, then the
    /// CSV files named "-".
    void WriteToStream(std::ostream& out) const;

    /// Writes the outputs meant for files, each replaced safely. Returns false with the
    /// failing file and the reason in `error`; the files before it are written.
    bool WriteFiles(std::string& error) const;

    /// Sets the chart up with the network lines: |S21| as the yellow line "BW" and |S11|
    /// as "S11". Returns the index of "BW", -1 when memory ran out.
    int32_t SetupChart(XChart& chart) const;
    /// The points of the sweep, when a sweep output was asked for.
    const std::vector<NetworkPoint>& Points() const { return m_points; }
    /// The tuning table as aligned text, when it was asked for.
    const std::string& TuningTableText() const { return m_tuningText; }

private:
    NetworkOptions m_options;
    std::vector<NetworkPoint> m_points;
    std::string m_touchstone;
    std::string m_csv;
    std::string m_tuningText;
    std::string m_tuningCsv;
};
