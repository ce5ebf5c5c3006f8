// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/StringTypeDict.h"
#include "base/TypeDict.h"
#include "base/ZStr.h"

#include <cstdint>

class ZString;

/// An RGB colour that can also be read and built as hue, lightness and saturation.
///
/// The colour value is 0x00BBGGRR: red in the lowest byte, the top byte 0 for every real
/// colour. The special colour "none" (kNone, nothing is painted) has red, green and blue 0xFF
/// and the top byte 0x7F, so it never equals white.
///
/// The two representations are converted lazily: a colour built from RGB computes its HLS
/// form when hue, lightness or saturation is first read, and the other way round. Reading
/// is therefore not safe from two threads at once on the same object (the library uses
/// colours on its user-interface thread only).
///
/// Text forms: a name of the colour table ("red", "WindowBg", "none"; names are
/// case-sensitive) or "#" and six hexadecimal digits ("#FF8000").
class XColor
{
public:
    static constexpr uint32_t kNone = 0x7FFFFFFFu;

    /// Black.
    XColor() = default;
    /// A colour value 0x00BBGGRR (or kNone).
    explicit XColor(uint32_t value);
    /// A colour from hue (degrees, 0 to 360), lightness and saturation (0 to 1).
    XColor(double hue, double lightness, double saturation);
    /// A colour read from text with FromText; black when the text is not a colour.
    explicit XColor(ZStr text);
    static XColor FromRGB(uint8_t red, uint8_t green, uint8_t blue);

    /// Sets red, green and blue; the top byte becomes 0 (so "none" turns into a real colour).
    void SetRGB(uint8_t red, uint8_t green, uint8_t blue);

    uint8_t Red() const { return uint8_t(Value() & 0xFF); }
    uint8_t Green() const { return uint8_t((Value() >> 8) & 0xFF); }
    uint8_t Blue() const { return uint8_t((Value() >> 16) & 0xFF); }
    /// The colour value 0x00BBGGRR (kNone for "none").
    uint32_t Value() const;
    /// Hue in degrees: 0 for greys; pure red reads 360, which converts back like 0.
    double Hue() const;
    double Saturation() const;
    double Lightness() const;
    bool IsNone() const { return Value() == kNone; }

    /// Reads a colour at the start of text:
    /// - "#" followed by nothing but an even number of hex digits: the first three bytes
    ///   are red, green and blue (missing ones 0) and rest is empty;
    /// - otherwise the first word (after white space, up to the next white space) is looked
    ///   up as a name, and failing that decoded as hex digits ("ff8000", "#ff8000"); rest
    ///   starts at the white space after the word.
    /// On failure the colour becomes black, rest is the whole text and the result is false.
    bool FromText(ZStr text, ZStr& rest);
    bool FromText(ZStr text)
    {
        ZStr rest;
        return FromText(text, rest);
    }

    /// Replaces out with the colour's name when the table has one for its value (the name
    /// inserted last when several share it: "cyan", not "aqua"), else "#" and six upper-case
    /// hex digits.
    void ToText(ZString& out) const;
    /// Replaces out with six upper-case hex digits of red, green and blue, without "#".
    void HexText(ZString& out) const;

    /// A colour between this one (fraction 0) and other (fraction 1), each of hue, lightness
    /// and saturation interpolated with its own fraction. The hue is interpolated as a
    /// number, not around the colour circle.
    XColor MixHLS(const XColor& other, double hueFraction, double lightnessFraction,
                  double saturationFraction) const;

    friend bool operator==(const XColor& a, const XColor& b) { return a.Value() == b.Value(); }
    friend bool operator!=(const XColor& a, const XColor& b) { return !(a == b); }

    /// The process-wide colour names, name to value: six system colours read from the
    /// current theme when the table is built ("WindowBg", "WindowText", "WindowSelTextBg",
    /// "WindowSelText", "WindowDlgBg", "WindowDlgText"), "none", and the 140 web colour
    /// keywords. Built once, on first use, safely from any thread.
    static const StringTypeDict<int>& NameTable();
    /// The same table from value to name; where names share a value the later one is kept.
    /// The names are views of static text.
    static const TypeDict<int, ZStr>& ValueNames();

private:
    void MakeRGB() const;
    void MakeHLS() const;

    // Lazily completed caches of the two representations; at least one is always valid.
    mutable double m_hue = 0.0;
    mutable double m_saturation = 0.0;
    mutable double m_lightness = 0.0;
    mutable uint8_t m_rgbValid = 1;
    mutable uint8_t m_hlsValid = 0;
    mutable uint32_t m_value = 0;
};
