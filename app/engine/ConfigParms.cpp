// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/engine/ConfigParms.h"

#include "app/engine/DesignInputs.h"

#include <vector>

namespace {

constexpr int kStoredParmsParts = 10;

struct KeyInput
{
    const char* key;
    DesignInput input;
};

const KeyInput kKeys[] = {
    {"ele", DesignInput::Elements},         {"rip", DesignInput::Ripple},
    {"fzmc", DesignInput::CentreFrequency}, {"bwmc", DesignInput::Bandwidth},
    {"R", DesignInput::Impedance},          {"H", DesignInput::GroundPlaneSpacing},
    {"D", DesignInput::RodDiameter},        {"E", DesignInput::EndPlate},
};

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && IsSpace(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && IsSpace(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

} // namespace

StoredParmsOutcome ApplyStoredParms(std::string_view text, DesignInputs& inputs)
{
    // Every "&" separates, so an empty part counts: a text whose parts were lost or doubled
    // is refused as a whole before any field changes.
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t amp = text.find('&', start);
        if (amp == std::string_view::npos) {
            parts.push_back(text.substr(start));
            break;
        }
        parts.push_back(text.substr(start, amp - start));
        start = amp + 1;
    }
    if (parts.size() != kStoredParmsParts) {
        return {StoredParmsResult::WrongFormat, "Wrong format of Parms key"};
    }

    for (std::string_view part : parts) {
        const std::size_t equals = part.find('=');
        const std::string_view key = Trim(part.substr(0, equals));
        const std::string value(equals == std::string_view::npos ? std::string_view()
                                                                 : Trim(part.substr(equals + 1)));
        if (key == "NFR" || key == "STP") {
            continue;
        }
        const KeyInput* match = nullptr;
        for (const KeyInput& k : kKeys) {
            if (key == k.key) {
                match = &k;
                break;
            }
        }
        if (match == nullptr) {
            return {StoredParmsResult::UnknownKey, "Unknown Parms key name: " + std::string(key)};
        }
        SetFieldFromText(inputs, match->input, value);
    }
    return {};
}
