// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/XValueRef.h"

#include <cmath>
#include <cstring>

namespace {

static_assert(sizeof(NXPoint) == 2 * sizeof(double) && sizeof(NXSize) == 2 * sizeof(double),
              "a pair is stored as two doubles");
static_assert(sizeof(NXRect) == 4 * sizeof(double), "a rectangle is stored as four doubles");

bool IsKnown(XValueKind kind)
{
    return int32_t(kind) >= int32_t(XValueKind::Flag) &&
           int32_t(kind) <= int32_t(XValueKind::IntArray);
}

bool IsArray(XValueKind kind)
{
    return int32_t(kind) >= int32_t(XValueKind::TextArray);
}

bool IsNumber(XValueKind kind)
{
    return kind == XValueKind::Flag || kind == XValueKind::Int || kind == XValueKind::Real;
}

// Flags are read and written as their byte, so storage holding some other non-zero byte
// still reads as 1, and a bool target only ever receives 0 or 1.
bool ReadFlag(const void* p)
{
    return *static_cast<const unsigned char*>(p) != 0;
}

void WriteFlag(void* p, bool on)
{
    *static_cast<unsigned char*>(p) = on ? 1 : 0;
}

// Pairs (NXPoint or NXSize) and rectangles are plain doubles in a row; copying their bytes
// serves both pair types without reading one through the other.
template <int N> void ReadDoubles(const void* p, double (&out)[N])
{
    std::memcpy(out, p, sizeof(out));
}

double ReadNumber(XValueKind kind, const void* p)
{
    switch (kind) {
    case XValueKind::Flag:
        return ReadFlag(p) ? 1.0 : 0.0;
    case XValueKind::Int:
        return double(*static_cast<const int32_t*>(p));
    default:
        return *static_cast<const double*>(p);
    }
}

bool CopySameKind(XValueKind kind, void* to, const void* from)
{
    switch (kind) {
    case XValueKind::Flag:
        WriteFlag(to, ReadFlag(from));
        return true;
    case XValueKind::Int:
        *static_cast<int32_t*>(to) = *static_cast<const int32_t*>(from);
        return true;
    case XValueKind::Real:
        *static_cast<double*>(to) = *static_cast<const double*>(from);
        return true;
    case XValueKind::Text:
        *static_cast<ZString*>(to) = *static_cast<const ZString*>(from);
        return true;
    case XValueKind::Pair:
        std::memmove(to, from, 2 * sizeof(double));
        return true;
    case XValueKind::Rect:
        std::memmove(to, from, 4 * sizeof(double));
        return true;
    case XValueKind::TextArray:
        *static_cast<XTextArray*>(to) = *static_cast<const XTextArray*>(from);
        return true;
    case XValueKind::RealArray:
        *static_cast<XRealArray*>(to) = *static_cast<const XRealArray*>(from);
        return true;
    case XValueKind::PairArray:
        *static_cast<XPairArray*>(to) = *static_cast<const XPairArray*>(from);
        return true;
    case XValueKind::IntArray:
        *static_cast<XIntArray*>(to) = *static_cast<const XIntArray*>(from);
        return true;
    }
    return false;
}

bool WriteText(ZString& out, XValueKind kind, const void* p)
{
    switch (kind) {
    case XValueKind::Flag:
        return out.Assign(ReadFlag(p) ? "1" : "0");
    case XValueKind::Int:
        return out.Format("%d", *static_cast<const int32_t*>(p));
    case XValueKind::Real:
        return out.Format("%g", *static_cast<const double*>(p));
    case XValueKind::Pair: {
        double v[2];
        ReadDoubles(p, v);
        return out.Format("%.20g %.20g", v[0], v[1]);
    }
    case XValueKind::Rect: {
        double v[4];
        ReadDoubles(p, v);
        return out.Format("%.20g %.20g %.20g %.20g", v[0], v[1], v[2], v[3]);
    }
    default:
        return false;
    }
}

} // namespace

bool Convert(const XValueRef& target, const XValueRef& source, KindChange change)
{
    if (target.ptr == nullptr || source.ptr == nullptr || !IsKnown(target.kind) ||
        !IsKnown(source.kind)) {
        return false;
    }
    if (target.kind == source.kind) {
        return CopySameKind(target.kind, target.ptr, source.ptr);
    }
    if (change != KindChange::Allow || IsArray(target.kind) || IsArray(source.kind)) {
        return false;
    }
    if (source.kind == XValueKind::Text) {
        return false; // text is parsed by whoever knows its format, never here
    }
    if (target.kind == XValueKind::Text) {
        // Formatting into a scratch string keeps the target unchanged on failure; assigning
        // keeps the target's own growth settings.
        ZString text;
        if (!WriteText(text, source.kind, source.ptr)) {
            return false;
        }
        return static_cast<ZString*>(target.ptr)->Assign(text);
    }
    if (!IsNumber(source.kind) || !IsNumber(target.kind)) {
        return false; // pairs and rectangles turn into text only
    }
    const double v = ReadNumber(source.kind, source.ptr);
    switch (target.kind) {
    case XValueKind::Flag:
        WriteFlag(target.ptr, v != 0.0);
        return true;
    case XValueKind::Int:
        // Truncation toward zero is only defined inside the int range; NaN fails too.
        if (!(v > -2147483649.0 && v < 2147483648.0)) {
            return false;
        }
        *static_cast<int32_t*>(target.ptr) = int32_t(std::trunc(v));
        return true;
    default:
        *static_cast<double*>(target.ptr) = v;
        return true;
    }
}
