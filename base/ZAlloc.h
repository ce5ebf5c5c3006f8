// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

// Out of memory in the library
// ----------------------------
// Our code never throws, and running out of memory never loses what the user has. Every
// allocation of the library's strings, arrays, dictionaries and text buffer goes through the
// helpers below, which return null instead of throwing. An operation whose allocation fails
// leaves its object exactly as it was (contents, count, length; only spare capacity may have
// grown) and reports the failure as its result: false, or -1 where the result is an index.
// To keep that promise an operation allocates everything it needs first (or reserves room)
// and changes its object only when nothing can fail any more; where that is not possible it
// rolls back what it did.
//
// Constructors cannot report: a container whose constructor finds no memory starts empty,
// with no storage, and allocates again when it is first used.
//
// Results that lose data when ignored are [[nodiscard]].

/// Raw bytes, uninitialised; null when memory ran out. Free with ZFreeBytes.
void* ZAllocBytes(size_t n);
/// Frees what ZAllocBytes returned (null is allowed).
void ZFreeBytes(void* p);

/// Test support: counts allocations from now on and makes the n-th one and every later one
/// fail, until called again; 0 lets every allocation through. Only for tests that prove an
/// operation survives running out of memory; it is not meant for use by the program.
void ZAllocFailFrom(int64_t n);
/// Test support: the number of allocations refused since the hook was last armed (still
/// readable after it is switched off).
int64_t ZAllocRefused();
/// Whether the next allocation is to fail (counts it). Used by the helpers below.
bool ZAllocShouldFail();

/// n value-initialised elements, or null when memory ran out. Free with ZFreeArray.
template <typename T> T* ZNewArray(size_t n)
{
    if (ZAllocShouldFail()) {
        return nullptr;
    }
    return new (std::nothrow) T[n]();
}

template <typename T> void ZFreeArray(T* p)
{
    delete[] p;
}

/// One object made from args, or null when memory ran out. Delete it as usual.
template <typename T, typename... A> T* ZNew(A&&... args)
{
    if (ZAllocShouldFail()) {
        return nullptr;
    }
    return new (std::nothrow) T(std::forward<A>(args)...);
}

/// Copies src into dst and tells whether that worked; on false dst is unchanged. Containers
/// copy their elements and values with it, so that an element type whose copy can run out
/// of memory (a string, an array) reports it: such types overload ZAssign next to their
/// class.
template <typename T> bool ZAssign(T& dst, const T& src)
{
    dst = src;
    return true;
}
