// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/StringTypeDict.h"
#include "base/XArray.h"
#include "base/ZString.h"

#include <memory>
#include <vector>

/// An INI file held in memory: sections of key/value lines. The lines of the loaded file are
/// kept, so a save keeps comments, blank lines and the order of sections and keys; values are
/// rewritten in place, new keys join their section and new sections go to the end.
///
/// Section names and keys compare exactly. An empty section name means the default section
/// "@Default", which holds the key lines before the first header.
class ZIni
{
public:
    static constexpr const char* kDefaultSection = "@Default";

    ZIni();
    ZIni(const ZIni&) = delete;
    ZIni& operator=(const ZIni&) = delete;
    /// Frees the model; writes nothing.
    virtual ~ZIni();

    /// Reads dir/file (see FormPath; `path` takes the new path at once). On a read failure
    /// returns false and leaves the model unchanged. Otherwise clears the model unless keep
    /// is set, parses the text and returns the parse result: false when a section header
    /// lacks its "]" (what was read before it stays in the model, and every line from there
    /// on is kept verbatim for the next save).
    bool Load(ZStr dir, ZStr file, bool keep = false);
    /// Parses contents as if loaded from a file (path stays); result as for Load.
    bool LoadText(ZStr contents, bool keep = false);
    /// Writes the model to dir/file, each line ending in CR LF. The text goes to a temporary
    /// file in the same folder that then replaces the old file, so a failed write leaves the
    /// old file as it was. format regenerates header and key lines with a four-space indent
    /// and aligned "= "; without it loaded lines are copied. False when the write failed;
    /// errorCode (when given) then receives ZReplaceFile's code, whose text ZFileErrorText
    /// gives, and 0 on success.
    [[nodiscard]] bool Save(ZStr dir, ZStr file, bool format = true, int* errorCode = nullptr);
    /// The text Save writes, without writing it.
    ZString BuildText(bool format = true) const;

    /// Sets value to the stored value and returns true, or to def and returns false.
    bool Get(ZStr section, ZStr key, ZString& value, ZStr def = ZStr("")) const;
    /// Stores value, creating the section and the key when missing.
    void Set(ZStr section, ZStr key, ZStr value);
    bool HasSection(ZStr section) const;
    /// Fills out with the keys of section in ascending byte order (empty when it is missing).
    void ListKeys(ZStr section, XArray<ZString, false>& out) const;
    /// Fills out with the names of the last parse's sections (file order, "@Default" first)
    /// that begin with prefix; sorted by unsigned bytes when sort is set.
    void ListSections(XArray<ZString, false>& out, bool sort = false, bool ascending = true,
                      ZStr prefix = ZStr("")) const;
    /// Empties the model (path stays).
    void Clear();

    /// dir without trailing white space, "/" unless dir is empty or ends in "/", then file
    /// without leading and trailing white space.
    static ZString FormPath(ZStr dir, ZStr file);

    ZString path; ///< full file name of the last load or save
    ZString text; ///< contents of the last load

private:
    enum class LineKind {
        Other = 0,
        Header = 1,
        Key = 2,
        Verbatim = 3, ///< after a parse stopped at a broken header: written exactly as read
    };
    struct Section;
    // Views into m_lineText, so that a large file costs no allocation per line.
    struct Line
    {
        LineKind kind = LineKind::Other;
        ZStr text;                  ///< trimmed text (verbatim for lines after a failed parse)
        ZStr name;                  ///< section name of a header, key of a key line
        Section* section = nullptr; ///< the section a header opens
        bool lastHeader = false;
    };
    struct Section
    {
        ZString name;
        // Most sections hold a name and a parameter text; a large table would cost an
        // allocation for each of its empty values.
        StringStringDict keys{3};
        int32_t longestKey = 0; ///< length of the longest key; keys are never removed
        int32_t index = 0;      ///< position in m_sections
        int32_t listedIn = 0;   ///< the parse that put the name in the file-order list
        int32_t lastHeader = 0; ///< line of its last header in that parse
        void SetKey(ZStr key, ZStr value);
        /// Views of the keys (valid until the next change) in ascending byte order.
        void SortedKeys(std::vector<ZStr>& out) const;
    };

    bool Parse();
    Section* FindSection(ZStr name) const;
    Section* GetOrCreateSection(ZStr name);
    static ZStr Normalise(ZStr section);

    ZString m_lineText; ///< the text the lines view: a copy of `text` as it was parsed
    int32_t m_parseCount = 0;
    XArray<Line> m_lines{0, 10, 64, 2.0};
    /// Names of the last parse's sections in file order: views of the sections' own names,
    /// which stay put until Clear drops both.
    XArray<ZStr> m_fileOrder;
    std::vector<std::unique_ptr<Section>> m_sections;
    /// Section name (a view of the section's own name) to its index in m_sections.
    StringTypeDict<int32_t> m_sectionIndex{15, DictKeys::Borrowed};
};
