// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/ZIni.h"

#include "base/ZFile.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr const char* kIndent = "    ";

bool ReadWholeFile(const char* fileName, ZString& out)
{
    FILE* f = std::fopen(fileName, "rb");
    if (!f) {
        return false;
    }
    ZString data;
    // Each chunk adds room for as much again, so a large file is copied a few times only.
    data.SetGrowthStep(-10);
    char chunk[65536];
    size_t n = 0;
    bool ok = true;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
        if (!data.Append(chunk, int32_t(n))) {
            ok = false;
            break;
        }
    }
    if (std::ferror(f)) {
        ok = false;
    }
    std::fclose(f);
    if (ok) {
        out = std::move(data);
    }
    return ok;
}

bool IsKeyStart(char c)
{
    return (c >= '0' && c <= '9') || ZStr::IsIdentStart(c) || c == '#' || c == '%';
}

void AppendKeyLine(ZString& out, ZStr indent, ZStr key, ZStr value, int32_t width)
{
    out.Append(indent);
    out.Append(key);
    if (width > 0) {
        out.FillUp(out.Length() + (width + 1 - key.len > 0 ? width + 1 - key.len : 0), ' ');
    }
    out.Append("= ");
    out.Append(value);
    out.Append("\r\n");
}

} // namespace

ZIni::ZIni() = default;

ZIni::~ZIni() = default;

void ZIni::Section::SetKey(ZStr key, ZStr value)
{
    keys.Set(key, value);
    if (key.len > longestKey) {
        longestKey = key.len;
    }
}

void ZIni::Section::SortedKeys(std::vector<ZStr>& out) const
{
    out.clear();
    out.reserve(size_t(keys.Count()));
    for (int32_t i = 0; i < keys.Capacity(); ++i) {
        if (keys.IsUsed(i)) {
            out.push_back(keys.KeyAt(i));
        }
    }
    std::sort(out.begin(), out.end(), [](ZStr a, ZStr b) { return a.Compare(b) < 0; });
}

ZStr ZIni::Normalise(ZStr section)
{
    return section.len > 0 ? section : ZStr(kDefaultSection);
}

ZIni::Section* ZIni::FindSection(ZStr name) const
{
    const int32_t* index = m_sectionIndex.Lookup(name);
    return index ? m_sections[size_t(*index)].get() : nullptr;
}

ZIni::Section* ZIni::GetOrCreateSection(ZStr name)
{
    if (Section* s = FindSection(name)) {
        return s;
    }
    auto section = std::make_unique<Section>();
    section->name = name;
    section->index = int32_t(m_sections.size());
    m_sectionIndex.Insert(section->name, int32_t(m_sections.size()));
    m_sections.push_back(std::move(section));
    return m_sections.back().get();
}

ZString ZIni::FormPath(ZStr dir, ZStr file)
{
    ZString result(dir.TrimRight());
    if (result.Length() > 0 && result[result.Length() - 1] != '/') {
        result.Append('/');
    }
    result.Append(file.Trim());
    return result;
}

bool ZIni::Load(ZStr dir, ZStr file, bool keep)
{
    path = FormPath(dir, file);
    ZString contents;
    if (!ReadWholeFile(path.Text(), contents)) {
        return false;
    }
    if (!keep) {
        Clear();
    }
    text = std::move(contents);
    return Parse();
}

bool ZIni::LoadText(ZStr contents, bool keep)
{
    ZString copy(contents);
    if (!keep) {
        Clear();
    }
    text = std::move(copy);
    return Parse();
}

bool ZIni::Parse()
{
    m_fileOrder.RemoveAll();
    // The lines view a private copy: `text` is the caller's to change.
    m_lineText = text;
    XArray<ZStr, true> raw(0, 64, 64, 2.0);
    m_lineText.Str().SplitLines(raw);
    // Every line becomes one entry.
    m_lines = XArray<Line>(0, raw.Count(), 64, 2.0);

    // Each section remembers the parse that listed it and its last header line, so a file
    // of many sections costs no further lookups by name.
    ++m_parseCount;
    Section* current = GetOrCreateSection(kDefaultSection);
    current->listedIn = m_parseCount;
    m_fileOrder.Append(current->name);
    bool complete = true;
    for (int32_t i = 0; i < raw.Count(); ++i) {
        Line line;
        ZStr trimmed = raw[i].Trim();
        line.text = trimmed;
        char first = trimmed.len > 0 ? trimmed[0] : 0;
        if (!complete) {
            // The parse has stopped: the rest of the file is kept as it stands.
            line.kind = LineKind::Verbatim;
            line.text = raw[i];
        } else if (first == '*' || first == '/' || first == ';') {
            line.kind = LineKind::Other;
        } else if (first == '[') {
            int32_t close = trimmed.FindChar(']', 1);
            if (close < 0) {
                complete = false;
                line.kind = LineKind::Verbatim;
                line.text = raw[i];
            } else {
                line.kind = LineKind::Header;
                line.name = trimmed.Sub(1, close - 1).Trim();
                current = GetOrCreateSection(line.name);
                line.section = current;
                current->lastHeader = m_lines.Count();
                if (current->listedIn != m_parseCount) {
                    current->listedIn = m_parseCount;
                    m_fileOrder.Append(current->name);
                }
            }
        } else if (IsKeyStart(first)) {
            line.kind = LineKind::Key;
            ZStr key, value;
            trimmed.Split("=", key, value);
            line.name = key.Trim();
            current->SetKey(line.name, value.Trim());
        }
        m_lines.Append(line);
    }

    // Only the last header of a section regenerates its keys on save; earlier blocks of
    // the same section are written as they were loaded. This is marked even after a failed
    // parse, so that a save still writes the values of the sections read before the fault.
    for (int32_t i = 0; i < m_lines.Count(); ++i) {
        Line& line = m_lines[i];
        line.lastHeader = line.kind == LineKind::Header && line.section->lastHeader == i;
    }
    return complete;
}

ZString ZIni::BuildText(bool format) const
{
    ZString out;
    out.SetGrowthStep(-5);
    ZStr indent = format ? ZStr(kIndent) : ZStr("");
    Section* current = FindSection(kDefaultSection);
    int32_t width = 0;
    bool regenerate = true;
    // Both sets hold views of the loaded lines, which outlive them.
    auto writtenKeys = std::make_unique<StringTypeDict<char>>(15, DictKeys::Borrowed);
    // Indexed by Section::index; "@Default" never gets a header.
    std::vector<char> writtenSections(m_sections.size(), 0);
    if (current) {
        writtenSections[size_t(current->index)] = 1;
    }
    // Emptying a table visits all its slots, so the table a large section left behind is
    // replaced rather than emptied for each of the small sections after it.
    auto forgetWrittenKeys = [&]() {
        if (writtenKeys->Capacity() > 64) {
            writtenKeys = std::make_unique<StringTypeDict<char>>(15, DictKeys::Borrowed);
        } else {
            writtenKeys->Clear();
        }
    };

    std::vector<ZStr> keys;
    auto writePending = [&](const Section& section) {
        section.SortedKeys(keys);
        for (ZStr key : keys) {
            if (!writtenKeys->Contains(key)) {
                AppendKeyLine(out, indent, key, section.keys.Get(key)->Str(), section.longestKey);
            }
        }
    };

    // The keys still unwritten of the section then current, then every section that has no
    // header in the file, in ascending order of the names.
    bool finished = false;
    auto finish = [&]() {
        if (finished) {
            return;
        }
        finished = true;
        if (current) {
            writePending(*current);
        }
        forgetWrittenKeys();
        std::vector<const Section*> rest;
        for (const auto& section : m_sections) {
            if (!writtenSections[size_t(section->index)]) {
                rest.push_back(section.get());
            }
        }
        std::sort(rest.begin(), rest.end(), [](const Section* a, const Section* b) {
            return a->name.Str().Compare(b->name.Str()) < 0;
        });
        for (const Section* section : rest) {
            out.Append("[");
            out.Append(section->name);
            out.Append("]\r\n");
            writePending(*section);
        }
    };

    for (const Line& line : m_lines) {
        switch (line.kind) {
        case LineKind::Other:
            out.Append(line.text);
            out.Append("\r\n");
            break;
        case LineKind::Verbatim:
            // What follows a broken header is not read back by the next load, so everything
            // the model still has to write goes in front of it.
            finish();
            out.Append(line.text);
            out.Append("\r\n");
            break;
        case LineKind::Header:
            if (regenerate && current) {
                writePending(*current);
                forgetWrittenKeys();
            }
            regenerate = line.lastHeader;
            writtenSections[size_t(line.section->index)] = 1;
            current = line.section;
            width = current ? current->longestKey : 0;
            if (format) {
                out.Append("[");
                out.Append(line.name);
                out.Append("]\r\n");
            } else {
                out.Append(line.text);
                out.Append("\r\n");
            }
            break;
        case LineKind::Key:
            if (regenerate) {
                const ZString* value = current ? current->keys.Get(line.name) : nullptr;
                if (value) {
                    if (format) {
                        AppendKeyLine(out, indent, line.name, value->Str(), width);
                    } else {
                        out.Append(line.text);
                        out.Append("\r\n");
                    }
                    writtenKeys->Insert(line.name, 1);
                }
            } else {
                out.Append(indent);
                out.Append(line.text);
                out.Append("\r\n");
            }
            break;
        }
    }
    finish();
    return out;
}

bool ZIni::Save(ZStr dir, ZStr file, bool format, int* errorCode)
{
    ZString target = FormPath(dir, file);
    ZString contents = BuildText(format);
    path = std::move(target);
    return ZReplaceFile(path, contents.Str(), errorCode);
}

bool ZIni::Get(ZStr section, ZStr key, ZString& value, ZStr def) const
{
    const Section* s = FindSection(Normalise(section));
    const ZString* stored = s ? s->keys.Get(key) : nullptr;
    if (stored) {
        value = *stored;
        return true;
    }
    value = def;
    return false;
}

void ZIni::Set(ZStr section, ZStr key, ZStr value)
{
    GetOrCreateSection(Normalise(section))->SetKey(key, value);
}

bool ZIni::HasSection(ZStr section) const
{
    return FindSection(Normalise(section)) != nullptr;
}

void ZIni::ListKeys(ZStr section, XArray<ZString, false>& out) const
{
    out.RemoveAll();
    if (const Section* s = FindSection(Normalise(section))) {
        std::vector<ZStr> keys;
        s->SortedKeys(keys);
        for (ZStr key : keys) {
            out.Append(ZString(key));
        }
    }
}

void ZIni::ListSections(XArray<ZString, false>& out, bool sort, bool ascending, ZStr prefix) const
{
    out.RemoveAll();
    std::vector<ZStr> names;
    for (ZStr name : m_fileOrder) {
        if (name.StartsWith(prefix)) {
            names.push_back(name);
        }
    }
    if (sort) {
        std::sort(names.begin(), names.end(), [ascending](ZStr a, ZStr b) {
            int c = a.Compare(b);
            return ascending ? c < 0 : c > 0;
        });
    }
    for (ZStr name : names) {
        out.Append(ZString(name));
    }
}

void ZIni::Clear()
{
    text.Clear();
    m_lines.RemoveAll();
    m_lineText.Clear();
    m_fileOrder.RemoveAll();
    m_sectionIndex.Clear();
    m_sections.clear();
}
