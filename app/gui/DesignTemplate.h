// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "app/engine/DesignInputs.h"
#include "platform/Dialog.h"

// The calculator's main dialog as a template: its controls, their identifiers and places.

/// Control identifiers of the main dialog.
namespace DesignId {
constexpr int kOk = 1;
constexpr int kElements = 1000;
constexpr int kRipple = 1002;
constexpr int kCentre = 1003;
constexpr int kBandwidth = 1004;
constexpr int kImpedance = 1005;
constexpr int kSpacingH = 1006;
constexpr int kDiameterD = 1007;
constexpr int kEndPlateE = 1008;
constexpr int kReport = 1009; ///< the report editor's place
constexpr int kChart = 1018;  ///< the chart's place
constexpr int kInch = 1019;
constexpr int kStatus = 1022; ///< the status line's place
constexpr int kReferences = 1023;
constexpr int kConfigList = 1024;
constexpr int kSave = 1025;
constexpr int kNew = 1026;
constexpr int kPicture = 1027;   ///< the drawing of a filter at the top right
constexpr int kCorrected = 1028; ///< the check box "Corrected dimensions"
constexpr int kCoverFeed = 1029; ///< the check box "Cover feed"
} // namespace DesignId

/// The main dialog: caption "Tessera V1", 606 x 360 dialog units in "MS Sans Serif" 8, the
/// eight input fields with their labels and sliders, the unit switch, the check box
/// "Corrected dimensions", the configuration list
/// with "Save" and "New...", "References", "OK", the picture, and static places for the
/// report, the chart and the status line, which the dialog replaces by its own windows.
plat::DialogTemplate DesignDialogTemplate();

/// The identifier of an input's edit field.
int EditIdOf(DesignInput input);
