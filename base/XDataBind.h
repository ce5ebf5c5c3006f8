// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/NXGeom.h"
#include "base/StringTypeDict.h"
#include "base/XValueRef.h"
#include "base/ZString.h"

#include <memory>

class XDataBinder;

/// Which way Exchange moves a value.
enum class XDataDir : int32_t {
    Read = 0,  ///< the bound value is copied into the given reference
    Write = 1, ///< the given reference is copied into the bound value
};

/// The error of a binding or a binder: the message of its last failure.
class XDataError
{
public:
    /// Stores text as the error and returns false.
    bool SetError(ZStr text);
    /// Stores "message\r\nPath: path" as the error and returns false.
    bool SetErrorPath(ZStr message, ZStr path);
    const ZString& GetError() const { return m_error; }

protected:
    ~XDataError() = default;

private:
    ZString m_error;
};

/// One binding: a value somewhere, reached by a path, read and written in any of the typed
/// kinds of XValueRef. A binding registers itself with its binder under its name while it
/// lives. Every operation returns false on failure and leaves a message in GetError().
class XDataBind : public XDataError
{
public:
    /// Registers the binding with binder (which must outlive it) under name.
    XDataBind(XDataBinder& binder, ZStr name, ZStr path);
    virtual ~XDataBind();
    XDataBind(const XDataBind&) = delete;
    XDataBind& operator=(const XDataBind&) = delete;

    bool GetFlag(bool& v) { return Exchange(XDataDir::Read, XValueRef(&v)); }
    bool SetFlag(bool v) { return Exchange(XDataDir::Write, XValueRef(&v)); }
    bool GetInt(int32_t& v) { return Exchange(XDataDir::Read, XValueRef(&v)); }
    bool SetInt(int32_t v) { return Exchange(XDataDir::Write, XValueRef(&v)); }
    bool GetReal(double& v) { return Exchange(XDataDir::Read, XValueRef(&v)); }
    bool SetReal(double v) { return Exchange(XDataDir::Write, XValueRef(&v)); }
    bool GetText(ZString& v) { return Exchange(XDataDir::Read, XValueRef(&v)); }
    bool SetText(ZStr v);
    bool GetPair(NXPoint& v) { return Exchange(XDataDir::Read, XValueRef(&v)); }
    bool SetPair(NXPoint v) { return Exchange(XDataDir::Write, XValueRef(&v)); }
    bool GetRect(NXRect& v) { return Exchange(XDataDir::Read, XValueRef(&v)); }
    bool SetRect(NXRect v) { return Exchange(XDataDir::Write, XValueRef(&v)); }

    /// Moves the value between the bound place and ref in direction dir. The base class
    /// binds nothing and fails.
    virtual bool Exchange(XDataDir dir, const XValueRef& ref);

    const ZString& GetName() const { return m_name; }
    const ZString& GetPath() const { return m_path; }
    XDataBinder& GetBinder() const { return *m_binder; }

private:
    ZString m_name;
    ZString m_path;
    XDataBinder* m_binder;
};

/// Resolves paths to bindings. Derived binders provide Lookup; the typed operations by path
/// look the path up, use the binding once and delete it, keeping its error text.
class XDataBinder : public XDataError
{
public:
    XDataBinder() = default;
    virtual ~XDataBinder() = default;
    XDataBinder(const XDataBinder&) = delete;
    XDataBinder& operator=(const XDataBinder&) = delete;

    /// A new binding for path (owned by the caller), or null with the error text set.
    virtual std::unique_ptr<XDataBind> Lookup(ZStr path);
    /// The live binding registered under name, or null.
    XDataBind* Find(ZStr name) const;

    bool GetFlag(ZStr path, bool& v) { return Transfer(path, XDataDir::Read, XValueRef(&v)); }
    bool SetFlag(ZStr path, bool v) { return Transfer(path, XDataDir::Write, XValueRef(&v)); }
    bool GetInt(ZStr path, int32_t& v) { return Transfer(path, XDataDir::Read, XValueRef(&v)); }
    bool SetInt(ZStr path, int32_t v) { return Transfer(path, XDataDir::Write, XValueRef(&v)); }
    bool GetReal(ZStr path, double& v) { return Transfer(path, XDataDir::Read, XValueRef(&v)); }
    bool SetReal(ZStr path, double v) { return Transfer(path, XDataDir::Write, XValueRef(&v)); }
    bool GetText(ZStr path, ZString& v) { return Transfer(path, XDataDir::Read, XValueRef(&v)); }
    bool SetText(ZStr path, ZStr v);
    bool GetPair(ZStr path, NXPoint& v) { return Transfer(path, XDataDir::Read, XValueRef(&v)); }
    bool SetPair(ZStr path, NXPoint v) { return Transfer(path, XDataDir::Write, XValueRef(&v)); }
    bool GetRect(ZStr path, NXRect& v) { return Transfer(path, XDataDir::Read, XValueRef(&v)); }
    bool SetRect(ZStr path, NXRect v) { return Transfer(path, XDataDir::Write, XValueRef(&v)); }
    /// Any kind, arrays included: looks path up and exchanges ref with it once.
    bool Transfer(ZStr path, XDataDir dir, const XValueRef& ref);

    /// Called by XDataBind's constructor and destructor.
    void Register(XDataBind& bind);
    void Unregister(XDataBind& bind);

private:
    StringTypeDict<XDataBind*> m_binds;
};

/// A binding to storage of the caller, given as a typed reference. Values convert between
/// kinds as Convert allows with KindChange::Allow.
class XDataBind_DataRef : public XDataBind
{
public:
    XDataBind_DataRef(XDataBinder& binder, ZStr name, ZStr path, const XValueRef& ref);
    bool Exchange(XDataDir dir, const XValueRef& ref) override;

private:
    XValueRef m_ref;
};
