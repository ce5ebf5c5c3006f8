// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/NXGeom.h"
#include "base/XArray.h"
#include "base/ZString.h"

#include <cstdint>

/// The kinds of value that data binding exchanges; the numbers are the kind codes.
enum class XValueKind : int32_t {
    Flag = 0,      ///< one byte, 0 or 1 (a bool)
    Int = 1,       ///< int32_t
    Real = 2,      ///< double
    Text = 3,      ///< ZString
    Pair = 4,      ///< two doubles: NXPoint or NXSize
    Rect = 5,      ///< four doubles: NXRect
    TextArray = 6, ///< XTextArray
    RealArray = 7, ///< XRealArray
    PairArray = 8, ///< XPairArray
    IntArray = 9,  ///< XIntArray
};

using XTextArray = XArray<ZString, false>;
using XRealArray = XArray<double, true>;
using XPairArray = XArray<NXPoint, true>;
using XIntArray = XArray<int32_t, true>;

/// A typed reference to a value stored elsewhere: a kind and a pointer to storage of that
/// kind. It does not own the storage. The typed constructors pick the kind from the pointer.
struct XValueRef
{
    XValueKind kind = XValueKind::Flag;
    void* ptr = nullptr;

    XValueRef() = default;
    /// A reference from a kind code and storage that the caller vouches for.
    XValueRef(XValueKind k, void* p)
        : kind(k)
        , ptr(p)
    {
    }
    XValueRef(bool* p)
        : kind(XValueKind::Flag)
        , ptr(p)
    {
    }
    XValueRef(int32_t* p)
        : kind(XValueKind::Int)
        , ptr(p)
    {
    }
    XValueRef(double* p)
        : kind(XValueKind::Real)
        , ptr(p)
    {
    }
    XValueRef(ZString* p)
        : kind(XValueKind::Text)
        , ptr(p)
    {
    }
    XValueRef(NXPoint* p)
        : kind(XValueKind::Pair)
        , ptr(p)
    {
    }
    XValueRef(NXSize* p)
        : kind(XValueKind::Pair)
        , ptr(p)
    {
    }
    XValueRef(NXRect* p)
        : kind(XValueKind::Rect)
        , ptr(p)
    {
    }
    XValueRef(XTextArray* p)
        : kind(XValueKind::TextArray)
        , ptr(p)
    {
    }
    XValueRef(XRealArray* p)
        : kind(XValueKind::RealArray)
        , ptr(p)
    {
    }
    XValueRef(XPairArray* p)
        : kind(XValueKind::PairArray)
        , ptr(p)
    {
    }
    XValueRef(XIntArray* p)
        : kind(XValueKind::IntArray)
        , ptr(p)
    {
    }
};

/// Whether Convert may turn one kind of value into another.
enum class KindChange {
    Forbid, ///< only values of the same kind are copied
    Allow,  ///< numbers convert among themselves, and anything but arrays into text
};

/// Copies the value of source into target:
/// - the same kind is copied as it is (arrays element by element);
/// - with KindChange::Allow, flag, integer, real, pair and rectangle are written into text
///   ("1"/"0", "%d", "%g", "%.20g %.20g", "%.20g %.20g %.20g %.20g"), and flag, integer and
///   real convert among themselves (a flag is 1 unless the value is 0; an integer is the
///   real truncated toward zero);
/// - everything else fails: text is never parsed, arrays never change kind, pairs and
///   rectangles convert only into text, and a real outside the int range or NaN does not
///   become an integer.
/// Fails on a null pointer or unknown kind. On failure target is unchanged.
bool Convert(const XValueRef& target, const XValueRef& source, KindChange change);
