// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/NXGeom.h"
#include "base/StringTypeDict.h"
#include "base/XArray.h"
#include "base/XColor.h"
#include "base/ZStr.h"
#include "base/ZString.h"

#include <cstdint>

/// Type names of stored attributes, as the chart file and the typed accessors use them.
namespace XChartType {
inline constexpr const char* kStr = "ZStr";
inline constexpr const char* kBool = "bool";
inline constexpr const char* kInt = "int";
inline constexpr const char* kDouble = "double";
inline constexpr const char* kPoint = "NXPoint";
inline constexpr const char* kRect = "NXRect";
inline constexpr const char* kColor = "XColor";
} // namespace XChartType

/// One entry of a default table: name, type name and default value text.
struct XChartAttrDef
{
    ZStr name;
    ZStr type;
    ZString value;
};

/// A fixed table of attribute names with their types and default texts, in table order.
/// The two tables (`chartAttrTable`, `lineAttrTable`) are built once, on first use, and never
/// change afterwards, so views of their texts stay valid for the life of the process.
class XChartAttrTable
{
public:
    int32_t Count() const { return m_defs.Count(); }
    const XChartAttrDef& At(int32_t i) const { return m_defs[i]; }
    /// The entry called name, or null.
    const XChartAttrDef* Find(ZStr name) const;

    /// Appends an entry; name and type must be static text.
    void Add(const char* name, const char* type, ZStr value);
    /// The default text of an entry added earlier (used to copy one default into another).
    ZStr DefaultOf(ZStr name) const;

private:
    XArray<XChartAttrDef, false> m_defs;
    StringTypeDict<int32_t> m_index;
};

/// The chart attributes with their defaults (background, title and its font and place,
/// insets, selection and cursor-values settings).
const XChartAttrTable& chartAttrTable();
/// The line attributes with their defaults (type, look, axes, grid, bar colours, captions).
const XChartAttrTable& lineAttrTable();

/// The colours given in turn to new lines: lightgreen, red, blue, yellow, magenta, pink.
inline constexpr int32_t kLinePaletteSize = 6;
/// Entry n modulo 6 of the line palette (n may be any non-negative count).
XColor DefaultLinePalette(int32_t n);

/// A store of named attributes: a value dictionary (name to text) and a type dictionary
/// (name to type name). Values are always text; the typed setters write the text form and
/// record the setter's type, the typed getters read the text back.
///
/// The store is restricted: a value can only be set for a name that the type dictionary
/// holds (or, for a store opened to a table, a name of that table, which then takes the
/// table's type). A set of any other name fails and changes nothing. Every successful set
/// marks the store modified.
class XChartAttrs
{
public:
    /// An empty store. With openTo, names of that table may be added (line defaults).
    explicit XChartAttrs(const XChartAttrTable* openTo = nullptr);
    XChartAttrs(const XChartAttrs&) = delete;
    XChartAttrs& operator=(const XChartAttrs&) = delete;

    /// Replaces values and types by the table's defaults; clears the modified mark.
    void Reset(const XChartAttrTable& table);
    /// Removes every entry.
    void Clear();
    /// Sets (or adds) every entry of other, value and type, regardless of restriction.
    void Merge(const XChartAttrs& other);

    int32_t Count() const { return m_types.Count(); }
    bool Has(ZStr name) const { return m_types.Get(name) != nullptr; }
    /// The value text of name, or null.
    const ZString* Value(ZStr name) const { return m_values.Get(name); }
    /// The type name of name, or null.
    const ZString* Type(ZStr name) const { return m_types.Get(name); }
    /// The names in ascending byte order (a prefix before the longer name). The views are
    /// valid until the store changes.
    void SortedNames(XArray<ZStr>& names) const;

    /// Stores a value text and its type for a name the store admits; false otherwise.
    bool Set(ZStr name, ZStr text, ZStr type);
    /// Adds or replaces an entry whatever the restriction: for the few names a store carries
    /// beyond its table.
    void Define(ZStr name, ZStr text, ZStr type);
    bool SetStr(ZStr name, ZStr value) { return Set(name, value, XChartType::kStr); }
    bool SetBool(ZStr name, bool value) { return SetTyped(name, value); }
    bool SetInt(ZStr name, int32_t value) { return SetTyped(name, value); }
    bool SetDouble(ZStr name, double value) { return SetTyped(name, value); }
    bool SetPoint(ZStr name, const NXPoint& value) { return SetTyped(name, value); }
    bool SetRect(ZStr name, const NXRect& value) { return SetTyped(name, value); }
    bool SetColor(ZStr name, const XColor& value) { return SetTyped(name, value); }

    /// Writes the text form of a typed value into text and returns the type it is stored
    /// under: the one encoding of every typed setter (the store's and the line's).
    static ZStr Encode(bool value, ZString& text);
    static ZStr Encode(int32_t value, ZString& text);
    static ZStr Encode(double value, ZString& text);
    static ZStr Encode(const NXPoint& value, ZString& text);
    static ZStr Encode(const NXRect& value, ZString& text);
    static ZStr Encode(const XColor& value, ZString& text);

    /// The text of name, or the empty text.
    ZString GetStr(ZStr name) const;
    /// A number other than 0 is true; absent or not a number gives def.
    bool GetBool(ZStr name, bool def = false) const;
    /// The number truncated toward zero (saturating); absent or not a number gives def.
    int32_t GetInt(ZStr name, int32_t def = 0) const;
    double GetDouble(ZStr name, double def = 0.0) const;
    /// False (out unchanged) when absent, empty or not two numbers.
    bool GetPoint(ZStr name, NXPoint& out) const;
    bool GetRect(ZStr name, NXRect& out) const;
    /// The colour of name; absent or not a colour gives def.
    XColor GetColor(ZStr name, const XColor& def = XColor()) const;

    bool IsModified() const { return m_modified != 0; }
    void SetModified(bool modified) { m_modified = modified ? 1 : 0; }

    /// Text forms of the typed setters: "1"/"0", "%d", "%.17g", "%.20g %.20g", four numbers,
    /// colour name or "#RRGGBB".
    static void BoolText(bool value, ZString& out);
    static void IntText(int32_t value, ZString& out);
    static void DoubleText(double value, ZString& out);

private:
    template <typename T> bool SetTyped(ZStr name, const T& value)
    {
        ZString text;
        const ZStr type = Encode(value, text);
        return Set(name, text, type);
    }
    const XChartAttrTable* m_openTo;
    StringStringDict m_values;
    StringStringDict m_types;
    uint8_t m_modified = 0;
};
