// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <string>
#include <string_view>

struct DesignInputs;

// Reading a configuration's stored parameter text back into the calculator's fields. The
// calculator window and the command line share it, so a configuration means the same design
// in both.

/// How applying a stored parameter text ended.
enum class StoredParmsResult {
    Applied,     ///< every field of the text was taken
    WrongFormat, ///< not exactly ten "&"-separated parts; nothing changed
    UnknownKey,  ///< a part named no known key; the parts before it were taken
};

/// The result and, unless Applied, the message that tells the user ("Wrong format of Parms
/// key", "Unknown Parms key name: " and the key).
struct StoredParmsOutcome
{
    StoredParmsResult result = StoredParmsResult::Applied;
    std::string message;

    bool Ok() const { return result == StoredParmsResult::Applied; }
};

/// The configuration file's name; it lives in the working directory.
inline constexpr const char* kConfigFileName = "Tessera.ini";

/// The message of a configuration section that has no "Parms" key.
inline constexpr const char* kParmsKeyMissing = "Parms key missing";

/// Sets the fields of `inputs` from a stored parameter text: exactly ten parts separated by
/// single "&"; each part "key=value", split at its first "=" and both sides trimmed. "ele"
/// is read as an integer and rip, fzmc, bwmc, R, H, D and E as reals, as the dialog reads
/// its edits (the longest numeric prefix, 0 without one), in the text's units (MHz, mm);
/// NFR and STP are accepted and ignored, since the sweep follows from the bandwidth. An
/// unknown key stops the reading with the fields of the earlier parts already set.
[[nodiscard]] StoredParmsOutcome ApplyStoredParms(std::string_view text, DesignInputs& inputs);
