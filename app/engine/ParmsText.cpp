// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/engine/ParmsText.h"

#include "app/engine/DesignInputs.h"
#include "app/engine/FilterDesign.h"
#include "app/engine/FilterResponse.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr const char* kParmsFormat =
    "ele=%d\t&rip=%g\t&fzmc=%g&bwmc=%g&R=%g\t&H=%g\t&D=%g\t&E=%g\t&NFR=200&STP=%g\t";

// Reads a number at the start of `value` as "%lg" scanning does. Returns false, leaving
// `result` alone, when no number can be read.
bool ReadNumber(std::string_view value, double& result)
{
    // strtod needs a terminated string; tokens are short, so a copy is cheap.
    const std::string text(value);
    char* end = nullptr;
    const double number = std::strtod(text.c_str(), &end);
    if (end == text.c_str()) {
        return false;
    }
    result = number;
    return true;
}

// The fields of the parameter text: key, the name validation reports, the field of the
// design record (a count is truncated toward zero), and the factor from the text's unit (MHz,
// mm) to the record's (GHz, inch).
struct ParmsField
{
    const char* key;
    const char* name;
    double FilterDesign::*real;
    int FilterDesign::*count;
    double factor;
};

const ParmsField kFields[] = {
    {"ele", "Elements", nullptr, &FilterDesign::ele, 1.0},
    {"rip", "Ripple", &FilterDesign::rip, nullptr, 1.0},
    {"fzmc", "Frequency", &FilterDesign::fzmc, nullptr, 0.001},
    {"bwmc", "Bandwidth", &FilterDesign::bwmc, nullptr, 1.0},
    {"R", "Impedance", &FilterDesign::R, nullptr, 1.0},
    {"H", "Ground plane space", &FilterDesign::H, nullptr, kInchPerMm},
    {"D", "Rod Dia", &FilterDesign::D, nullptr, kInchPerMm},
    {"E", "End plate to rod", &FilterDesign::E, nullptr, kInchPerMm},
    {"NFR", "Points to graph", nullptr, &FilterDesign::NFR, 1.0},
    {"STP", "Step size", &FilterDesign::STP, nullptr, 1.0},
};

// Stores `value` in the field that `key` names. Returns the input's name for a known key
// and nullptr for a key that is not a field.
const char* StoreField(std::string_view key, double value, FilterDesign& d)
{
    for (const ParmsField& field : kFields) {
        if (key == field.key) {
            if (field.count != nullptr) {
                d.*field.count = TruncateToInt(value);
            } else {
                d.*field.real = value * field.factor;
            }
            return field.name;
        }
    }
    return nullptr;
}

} // namespace

std::string BuildParms(const DesignInputs& in)
{
    const double stp = StepSize(in.bwmc);
    const int length = std::snprintf(nullptr, 0, kParmsFormat, in.ele, in.rip, in.fzmc, in.bwmc,
                                     in.R, in.H, in.D, in.E, stp);
    if (length < 0) {
        return std::string();
    }
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
    std::snprintf(buffer.data(), buffer.size(), kParmsFormat, in.ele, in.rip, in.fzmc, in.bwmc,
                  in.R, in.H, in.D, in.E, stp);
    return std::string(buffer.data(), static_cast<std::size_t>(length));
}

std::optional<std::string> ParmsToDesign(std::string_view text, FilterDesign& d)
{
    std::optional<std::string> unreadable;
    // The working value carries over from token to token, so a value that cannot be read
    // repeats the previous one; that is how stored texts have always been read.
    double value = 0.0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] == '&') {
            ++pos;
            continue;
        }
        std::size_t end = text.find('&', pos);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view token = text.substr(pos, end - pos);
        pos = end;

        const std::size_t equals = token.find('=');
        const std::string_view key = token.substr(0, equals);
        const bool read =
            equals != std::string_view::npos && ReadNumber(token.substr(equals + 1), value);
        const char* name = StoreField(key, value, d);
        if (name != nullptr && !read && !unreadable) {
            unreadable = name;
        }
    }
    return unreadable;
}
