// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/StringTypeDict.h"
#include "base/XArray.h"
#include "base/ZStr.h"

#include <cstdint>
#include <memory>

class XChartLine;

/// Lines owned in the order they were added and found by name: a chart's lines and the
/// sub-lines of a path line.
class XChartLineList
{
public:
    XChartLineList();
    ~XChartLineList();
    XChartLineList(const XChartLineList&) = delete;
    XChartLineList& operator=(const XChartLineList&) = delete;

    int32_t Count() const { return m_lines.Count(); }
    /// The line at index (0 <= index < Count()); the list keeps ownership.
    XChartLine* operator[](int32_t index) const { return m_lines[index].get(); }
    /// The index of the line called name, or -1.
    int32_t Find(ZStr name) const;
    /// Takes line under name (a name not in the list); returns its index, or -1 (the line
    /// destroyed, the list as it was) when memory ran out.
    int32_t Add(ZStr name, std::unique_ptr<XChartLine> line);
    /// The index of the line called name; when there is none, the line that make() returns
    /// (asked only then) is added under that name first. -1 when memory ran out.
    template <class Make> int32_t FindOrAdd(ZStr name, Make make)
    {
        const int32_t found = Find(name);
        return found >= 0 ? found : Add(name, make());
    }
    /// Destroys every line.
    void Clear();

private:
    XArray<std::unique_ptr<XChartLine>, false> m_lines;
    StringTypeDict<int32_t> m_index;
};
