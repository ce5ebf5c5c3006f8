// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace plat {
class Dialog;
class Window;
} // namespace plat
class XFindDlgBaseCB;

/// The operations of the find dialog XFindDlgBase as an interface that is complete in this
/// header. Code that reaches the resource library only by loading it holds the dialog
/// through this interface (made by QuillRES_NewFindDlg): every call goes through the
/// object, and nothing of the library, not even its type information, needs to be linked.
/// XFindDlgBase documents each operation.
class XFindDlgBaseAPI
{
public:
    /// Control ids of the find template.
    static constexpr int kIdCombo = 1001;
    static constexpr int kIdIgnoreCase = 1002;
    static constexpr int kIdNext = 1003;
    static constexpr int kIdPrev = 1004;
    static constexpr int kIdKeepOpen = 1005;

    virtual ~XFindDlgBaseAPI() = default;

    virtual void SetCB(XFindDlgBaseCB* cb) = 0;
    virtual XFindDlgBaseCB* CB() const = 0;
    virtual void SetIgnoreCase(bool ignoreCase) = 0;
    virtual bool GetIgnoreCase() const = 0;
    virtual void SetKeepOpen(bool keepOpen) = 0;
    virtual bool GetKeepOpen() const = 0;
    virtual int32_t AddFind(const char* text) = 0;
    virtual void SelectFind(int32_t index) = 0;
    virtual void RemoveAll() = 0;
    virtual void Reset() = 0;
    virtual bool CreateDlg(plat::Window* parent, int id) = 0;
    virtual bool CreateDlgChild(plat::Window* parent, bool show, int id) = 0;
    virtual int DoModal() = 0;
    virtual void InitDlg() = 0;
    virtual void GetEdit(std::string& out) const = 0;
    virtual void DoDataExchange(bool save) = 0;
    virtual int32_t GetFindCount() const = 0;
    virtual std::string GetFind(int32_t index) const = 0;
    virtual int32_t GetSelectedFind() const = 0;
    virtual bool IsEdited() const = 0;
    virtual bool IsFresh() const = 0;
    /// The dialog window object itself (show, hide, its controls).
    virtual plat::Dialog& GetDialog() = 0;
};
