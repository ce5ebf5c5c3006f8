// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/gui/DesignTemplate.h"

namespace {

// Where each input's row sits: its label's x, the field's x and y, the slider's x.
struct InputRow
{
    DesignInput input;
    int editId;
    int labelX;
    int labelWidth;
    int fieldX;
    int y;
    int sliderX;
};

constexpr InputRow kRows[kDesignInputCount] = {
    {DesignInput::Elements, DesignId::kElements, 7, 34, 42, 24, 71},
    {DesignInput::Ripple, DesignId::kRipple, 7, 34, 42, 38, 71},
    {DesignInput::CentreFrequency, DesignId::kCentre, 7, 34, 42, 52, 71},
    {DesignInput::Bandwidth, DesignId::kBandwidth, 7, 34, 42, 66, 71},
    {DesignInput::Impedance, DesignId::kImpedance, 7, 34, 42, 80, 71},
    {DesignInput::GroundPlaneSpacing, DesignId::kSpacingH, 177, 23, 200, 25, 229},
    {DesignInput::RodDiameter, DesignId::kDiameterD, 177, 23, 200, 39, 229},
    {DesignInput::EndPlate, DesignId::kEndPlateE, 177, 23, 200, 53, 229},
};

} // namespace

plat::DialogTemplate DesignDialogTemplate()
{
    using plat::ControlKind;
    namespace Style = plat::ControlStyle;
    // Sizable: the report and the chart take the room of a larger window.
    plat::DialogTemplate t{
        "Tessera V1", "MS Sans Serif", 8, {606, 360}, plat::DialogStyle::kSizable, {}};

    // The configuration row and the buttons first, so Tab runs from the list through the
    // fields to the results.
    t.controls.push_back(plat::MakeControl(ControlKind::DropDownList, DesignId::kConfigList, "", 7,
                                           6, 108, 131, Style::kVScroll));
    t.controls.push_back(
        plat::MakeControl(ControlKind::Button, DesignId::kSave, "Save", 117, 6, 24, 11));
    t.controls.push_back(
        plat::MakeControl(ControlKind::Button, DesignId::kNew, "New...", 143, 6, 24, 11));
    for (const InputRow& row : kRows) {
        const DesignInputInfo& info = InputInfo(row.input);
        t.controls.push_back(plat::MakeControl(ControlKind::Static, -1, info.label, row.labelX,
                                               row.y + 3, row.labelWidth, 8));
        t.controls.push_back(plat::MakeControl(ControlKind::Edit, row.editId, "", row.fieldX, row.y,
                                               26, 14, Style::kAutoHScroll));
        t.controls.push_back(
            plat::MakeControl(ControlKind::Slider, info.sliderId, "", row.sliderX, row.y, 100, 15));
    }
    t.controls.push_back(
        plat::MakeControl(ControlKind::CheckBox, DesignId::kInch, "Inch", 249, 89, 24, 10));
    // Beside the unit switch, in the free row above the chart; the picture ends above it.
    t.controls.push_back(plat::MakeControl(ControlKind::CheckBox, DesignId::kCorrected,
                                           "Corrected dimensions", 279, 89, 90, 10));
    t.controls.push_back(plat::MakeControl(ControlKind::CheckBox, DesignId::kCoverFeed,
                                           "Cover feed", 372, 89, 50, 10));
    t.controls.push_back(plat::MakeControl(ControlKind::Static, DesignId::kStatus, "", 178, 72, 147,
                                           14, Style::kDisabled));
    t.controls.push_back(
        plat::MakeControl(ControlKind::Picture, DesignId::kPicture, "", 333, 6, 124, 80));
    t.controls.push_back(plat::MakeControl(ControlKind::Button, DesignId::kReferences, "References",
                                           553, 23, 46, 14));
    t.controls.push_back(
        plat::MakeControl(ControlKind::DefButton, DesignId::kOk, "OK", 568, 6, 31, 14));
    t.controls.push_back(
        plat::MakeControl(ControlKind::Static, DesignId::kReport, "", 7, 99, 261, 254));
    t.controls.push_back(
        plat::MakeControl(ControlKind::Static, DesignId::kChart, "", 275, 99, 324, 254));
    return t;
}

int EditIdOf(DesignInput input)
{
    for (const InputRow& row : kRows) {
        if (row.input == input) {
            return row.editId;
        }
    }
    return -1;
}
