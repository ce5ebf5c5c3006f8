// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/XColor.h"

#include "base/ZString.h"
#include "platform/SystemColors.h"

#include <cmath>

namespace {

struct NamedWebColor
{
    const char* name;
    uint32_t rgb; // 0xRRGGBB, the way the web tables write it
};

// The web colour keywords in the order they enter the table. Where two names share a value
// the later one becomes the written name: "cyan" over "aqua", "magenta" over "fuchsia".
// 6495ED is spelled "cornflower" and "darkseagreen" is 8FBC8B, as stored files have them.
constexpr NamedWebColor kWebColors[] = {
    {"aliceblue", 0xF0F8FF},
    {"antiquewhite", 0xFAEBD7},
    {"aqua", 0x00FFFF},
    {"aquamarine", 0x7FFFD4},
    {"azure", 0xF0FFFF},
    {"beige", 0xF5F5DC},
    {"bisque", 0xFFE4C4},
    {"black", 0x000000},
    {"blanchedalmond", 0xFFEBCD},
    {"blue", 0x0000FF},
    {"blueviolet", 0x8A2BE2},
    {"brown", 0xA52A2A},
    {"burlywood", 0xDEB887},
    {"cadetblue", 0x5F9EA0},
    {"chartreuse", 0x7FFF00},
    {"chocolate", 0xD2691E},
    {"coral", 0xFF7F50},
    {"cornflower", 0x6495ED},
    {"cornsilk", 0xFFF8DC},
    {"crimson", 0xDC143C},
    {"cyan", 0x00FFFF},
    {"darkblue", 0x00008B},
    {"darkcyan", 0x008B8B},
    {"darkgoldenrod", 0xB8860B},
    {"darkgray", 0xA9A9A9},
    {"darkgreen", 0x006400},
    {"darkkhaki", 0xBDB76B},
    {"darkmagenta", 0x8B008B},
    {"darkolivegreen", 0x556B2F},
    {"darkorange", 0xFF8C00},
    {"darkorchid", 0x9932CC},
    {"darkred", 0x8B0000},
    {"darksalmon", 0xE9967A},
    {"darkseagreen", 0x8FBC8B},
    {"darkslateblue", 0x483D8B},
    {"darkslategray", 0x2F4F4F},
    {"darkturquoise", 0x00CED1},
    {"darkviolet", 0x9400D3},
    {"deeppink", 0xFF1493},
    {"deepskyblue", 0x00BFFF},
    {"dimgray", 0x696969},
    {"dodgerblue", 0x1E90FF},
    {"firebrick", 0xB22222},
    {"floralwhite", 0xFFFAF0},
    {"forestgreen", 0x228B22},
    {"fuchsia", 0xFF00FF},
    {"gainsboro", 0xDCDCDC},
    {"ghostwhite", 0xF8F8FF},
    {"gold", 0xFFD700},
    {"goldenrod", 0xDAA520},
    {"gray", 0x808080},
    {"green", 0x008000},
    {"greenyellow", 0xADFF2F},
    {"honeydew", 0xF0FFF0},
    {"hotpink", 0xFF69B4},
    {"indianred", 0xCD5C5C},
    {"indigo", 0x4B0082},
    {"ivory", 0xFFFFF0},
    {"khaki", 0xF0E68C},
    {"lavender", 0xE6E6FA},
    {"lavenderblush", 0xFFF0F5},
    {"lawngreen", 0x7CFC00},
    {"lemonchiffon", 0xFFFACD},
    {"lightblue", 0xADD8E6},
    {"lightcoral", 0xF08080},
    {"lightcyan", 0xE0FFFF},
    {"lightgoldenrodyellow", 0xFAFAD2},
    {"lightgreen", 0x90EE90},
    {"lightgray", 0xD3D3D3},
    {"lightpink", 0xFFB6C1},
    {"lightsalmon", 0xFFA07A},
    {"lightseagreen", 0x20B2AA},
    {"lightskyblue", 0x87CEFA},
    {"lightslategray", 0x778899},
    {"lightsteelblue", 0xB0C4DE},
    {"lightyellow", 0xFFFFE0},
    {"lime", 0x00FF00},
    {"limegreen", 0x32CD32},
    {"linen", 0xFAF0E6},
    {"magenta", 0xFF00FF},
    {"maroon", 0x800000},
    {"mediumaquamarine", 0x66CDAA},
    {"mediumblue", 0x0000CD},
    {"mediumorchid", 0xBA55D3},
    {"mediumpurple", 0x9370DB},
    {"mediumseagreen", 0x3CB371},
    {"mediumslateblue", 0x7B68EE},
    {"mediumspringgreen", 0x00FA9A},
    {"mediumturquoise", 0x48D1CC},
    {"mediumvioletred", 0xC71585},
    {"midnightblue", 0x191970},
    {"mintcream", 0xF5FFFA},
    {"mistyrose", 0xFFE4E1},
    {"moccasin", 0xFFE4B5},
    {"navajowhite", 0xFFDEAD},
    {"navy", 0x000080},
    {"oldlace", 0xFDF5E6},
    {"olive", 0x808000},
    {"olivedrab", 0x6B8E23},
    {"orange", 0xFFA500},
    {"orangered", 0xFF4500},
    {"orchid", 0xDA70D6},
    {"palegoldenrod", 0xEEE8AA},
    {"palegreen", 0x98FB98},
    {"paleturquoise", 0xAFEEEE},
    {"palevioletred", 0xDB7093},
    {"papayawhip", 0xFFEFD5},
    {"peachpuff", 0xFFDAB9},
    {"peru", 0xCD853F},
    {"pink", 0xFFC0CB},
    {"plum", 0xDDA0DD},
    {"powderblue", 0xB0E0E6},
    {"purple", 0x800080},
    {"red", 0xFF0000},
    {"rosybrown", 0xBC8F8F},
    {"royalblue", 0x4169E1},
    {"saddlebrown", 0x8B4513},
    {"salmon", 0xFA8072},
    {"sandybrown", 0xF4A460},
    {"seagreen", 0x2E8B57},
    {"seashell", 0xFFF5EE},
    {"sienna", 0xA0522D},
    {"silver", 0xC0C0C0},
    {"skyblue", 0x87CEEB},
    {"slateblue", 0x6A5ACD},
    {"slategray", 0x708090},
    {"snow", 0xFFFAFA},
    {"springgreen", 0x00FF7F},
    {"steelblue", 0x4682B4},
    {"tan", 0xD2B48C},
    {"teal", 0x008080},
    {"thistle", 0xD8BFD8},
    {"tomato", 0xFF6347},
    {"turquoise", 0x40E0D0},
    {"violet", 0xEE82EE},
    {"wheat", 0xF5DEB3},
    {"white", 0xFFFFFF},
    {"whitesmoke", 0xF5F5F5},
    {"yellow", 0xFFFF00},
    {"yellowgreen", 0x9ACD32},
};
static_assert(sizeof(kWebColors) / sizeof(kWebColors[0]) == 140, "140 web colour keywords");

struct NamedSystemColor
{
    const char* name;
    plat::SystemColor which;
};

// "WindowDlgText" is the window text colour too: dialogs draw their text like windows do.
constexpr NamedSystemColor kSystemColors[] = {
    {"WindowBg", plat::SystemColor::Window},
    {"WindowText", plat::SystemColor::WindowText},
    {"WindowSelTextBg", plat::SystemColor::Highlight},
    {"WindowSelText", plat::SystemColor::HighlightText},
    {"WindowDlgBg", plat::SystemColor::ButtonFace},
    {"WindowDlgText", plat::SystemColor::WindowText},
};

class ColorTable
{
public:
    // 147 names fit in 251 slots below the growth threshold, so the table never rehashes.
    // The names are string literals, so neither dictionary needs to copy them.
    ColorTable()
        : m_names(251, DictKeys::Borrowed)
        , m_values(251)
    {
        // System colours first, so that a web colour of the same value wins the written
        // name (a white window background is written "white").
        for (const NamedSystemColor& c : kSystemColors) {
            Add(c.name, plat::GetSystemColor(c.which) & 0xFFFFFFu);
        }
        Add("none", XColor::kNone);
        for (const NamedWebColor& c : kWebColors) {
            uint32_t r = (c.rgb >> 16) & 0xFF;
            uint32_t g = (c.rgb >> 8) & 0xFF;
            uint32_t b = c.rgb & 0xFF;
            Add(c.name, r | (g << 8) | (b << 16));
        }
    }

    const StringTypeDict<int>& Names() const { return m_names; }
    const TypeDict<int, ZStr>& Values() const { return m_values; }

private:
    void Add(const char* name, uint32_t value)
    {
        m_names.Insert(ZStr(name), int(value));
        m_values.Insert(int(value), ZStr(name));
    }

    StringTypeDict<int> m_names;
    TypeDict<int, ZStr> m_values;
};

const ColorTable& Table()
{
    // Built on first use; the language guarantees that concurrent first calls wait for one
    // construction. The table is never destroyed, so colours stay usable while other
    // static objects are torn down at exit.
    static const ColorTable* s_table = new ColorTable();
    return *s_table;
}

// Decodes text made only of pairs of hex digits into bytes; the first three are kept (the
// missing ones stay 0). Empty text is no colour.
bool DecodeHex(ZStr text, uint8_t rgb[3])
{
    if (text.len <= 0 || text.len % 2 != 0) {
        return false;
    }
    uint8_t bytes[3] = {0, 0, 0};
    for (int32_t i = 0; i < text.len; i += 2) {
        int hi = ZStr::HexDigit(text.ptr[i]);
        int lo = ZStr::HexDigit(text.ptr[i + 1]);
        if (hi < 0 || lo < 0) {
            return false;
        }
        if (i / 2 < 3) {
            bytes[i / 2] = uint8_t(hi * 16 + lo);
        }
    }
    rgb[0] = bytes[0];
    rgb[1] = bytes[1];
    rgb[2] = bytes[2];
    return true;
}

// A colour component from a value in 0..1. Out-of-range and NaN values (from hue, lightness
// or saturation outside their ranges) are clamped, so every input gives a real colour.
uint8_t ToByte(double v)
{
    double t = std::trunc(v * 255.0);
    if (!(t > 0.0)) {
        return 0;
    }
    if (t >= 255.0) {
        return 255;
    }
    return uint8_t(t);
}

double Channel(double m1, double m2, double hue)
{
    if (hue > 360.0) {
        hue -= 360.0;
    } else if (hue < 0.0) {
        hue += 360.0;
    }
    if (hue < 60.0) {
        return m1 + (m2 - m1) * hue / 60.0;
    }
    if (hue < 180.0) {
        return m2;
    }
    if (hue < 240.0) {
        return m1 + (m2 - m1) * (240.0 - hue) / 60.0;
    }
    return m1;
}

} // namespace

XColor::XColor(uint32_t value)
    : m_value(value)
{
}

XColor::XColor(double hue, double lightness, double saturation)
    : m_hue(hue)
    , m_saturation(saturation)
    , m_lightness(lightness)
    , m_rgbValid(0)
    , m_hlsValid(1)
{
}

XColor::XColor(ZStr text)
{
    FromText(text);
}

XColor XColor::FromRGB(uint8_t red, uint8_t green, uint8_t blue)
{
    XColor c;
    c.SetRGB(red, green, blue);
    return c;
}

void XColor::SetRGB(uint8_t red, uint8_t green, uint8_t blue)
{
    m_value = uint32_t(red) | (uint32_t(green) << 8) | (uint32_t(blue) << 16);
    m_rgbValid = 1;
    m_hlsValid = 0;
}

uint32_t XColor::Value() const
{
    if (!m_rgbValid) {
        MakeRGB();
    }
    return m_value;
}

double XColor::Hue() const
{
    if (!m_hlsValid) {
        MakeHLS();
    }
    return m_hue;
}

double XColor::Saturation() const
{
    if (!m_hlsValid) {
        MakeHLS();
    }
    return m_saturation;
}

double XColor::Lightness() const
{
    if (!m_hlsValid) {
        MakeHLS();
    }
    return m_lightness;
}

void XColor::MakeHLS() const
{
    const int r = m_value & 0xFF;
    const int g = (m_value >> 8) & 0xFF;
    const int b = (m_value >> 16) & 0xFF;
    const int mx = r > g ? (r > b ? r : b) : (g > b ? g : b);
    const int mn = r < g ? (r < b ? r : b) : (g < b ? g : b);
    m_lightness = double(mx + mn) / 510.0;
    if (mx == mn) {
        m_hue = 0.0;
        m_saturation = 0.0;
    } else {
        const double delta = double(mx - mn);
        m_saturation = m_lightness <= 0.5 ? delta / double(mx + mn) : delta / double(510 - mx - mn);
        const double rc = double(mx - r) / delta;
        const double gc = double(mx - g) / delta;
        const double bc = double(mx - b) / delta;
        // Later tests win where two components share the maximum.
        if (r == mx) {
            m_hue = (bc + 6.0 - gc) * 60.0;
        }
        if (g == mx) {
            m_hue = (rc + 2.0 - bc) * 60.0;
        }
        if (b == mx) {
            m_hue = (gc + 4.0 - rc) * 60.0;
        }
        if (m_hue > 360.0) {
            m_hue -= 360.0;
        }
    }
    m_hlsValid = 1;
}

void XColor::MakeRGB() const
{
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    if (m_saturation == 0.0) {
        r = g = b = ToByte(m_lightness);
    } else {
        const double m2 = m_lightness <= 0.5
                              ? m_lightness * (1.0 + m_saturation)
                              : m_lightness + m_saturation - m_lightness * m_saturation;
        const double m1 = 2.0 * m_lightness - m2;
        r = ToByte(Channel(m1, m2, m_hue + 120.0));
        g = ToByte(Channel(m1, m2, m_hue));
        b = ToByte(Channel(m1, m2, m_hue - 120.0));
    }
    m_value = uint32_t(r) | (uint32_t(g) << 8) | (uint32_t(b) << 16);
    m_rgbValid = 1;
}

bool XColor::FromText(ZStr text, ZStr& rest)
{
    const ZStr whole = text.ptr ? text : ZStr("", 0);
    ZStr s = whole;
    uint8_t rgb[3];
    if (s.len > 0 && s.ptr[0] == '#') {
        s = s.Sub(1);
        if (DecodeHex(s, rgb)) {
            SetRGB(rgb[0], rgb[1], rgb[2]);
            rest = s.Sub(s.len);
            return true;
        }
    }

    int32_t start = 0;
    while (start < s.len && ZStr::IsSpace(s.ptr[start])) {
        ++start;
    }
    int32_t end = start;
    while (end < s.len && !ZStr::IsSpace(s.ptr[end])) {
        ++end;
    }
    const ZStr word = s.Sub(start, end - start);

    int value = 0;
    if (Table().Names().Lookup(word, value)) {
        *this = XColor(uint32_t(value));
        rest = s.Sub(end);
        return true;
    }
    // A word may carry its own "#" when white space came before it (" #FF8000").
    const ZStr hex = (word.len > 0 && word.ptr[0] == '#') ? word.Sub(1) : word;
    if (DecodeHex(hex, rgb)) {
        SetRGB(rgb[0], rgb[1], rgb[2]);
        rest = s.Sub(end);
        return true;
    }
    SetRGB(0, 0, 0);
    rest = whole;
    return false;
}

void XColor::ToText(ZString& out) const
{
    const ZStr* name = Table().Values().Lookup(int(Value()));
    if (name) {
        out.Assign(*name);
    } else {
        out.Format("#%02X%02X%02X", Red(), Green(), Blue());
    }
}

void XColor::HexText(ZString& out) const
{
    out.Format("%02X%02X%02X", Red(), Green(), Blue());
}

XColor XColor::MixHLS(const XColor& other, double hueFraction, double lightnessFraction,
                      double saturationFraction) const
{
    const double h1 = Hue();
    const double l1 = Lightness();
    const double s1 = Saturation();
    return XColor(h1 + (other.Hue() - h1) * hueFraction,
                  l1 + (other.Lightness() - l1) * lightnessFraction,
                  s1 + (other.Saturation() - s1) * saturationFraction);
}

const StringTypeDict<int>& XColor::NameTable()
{
    return Table().Names();
}

const TypeDict<int, ZStr>& XColor::ValueNames()
{
    return Table().Values();
}
