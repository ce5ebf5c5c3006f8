// SPDX-License-Identifier: GPL-2.0-or-later
#include "chart/XChartLineList.h"

#include "chart/XChartLine.h"

XChartLineList::XChartLineList() = default;

XChartLineList::~XChartLineList() = default;

int32_t XChartLineList::Find(ZStr name) const
{
    const int32_t* i = m_index.Lookup(name);
    return i ? *i : -1;
}

int32_t XChartLineList::Add(ZStr name, std::unique_ptr<XChartLine> line)
{
    const int32_t index = m_lines.Append(std::move(line));
    if (index < 0) {
        return -1;
    }
    if (m_index.Insert(name, index) < 0) {
        m_lines.Remove(index); // a line that cannot be found by name is not kept
        return -1;
    }
    return index;
}

void XChartLineList::Clear()
{
    m_lines.RemoveAll(); // destroys every line
    m_index.Clear();
}
