// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/XDataBind.h"

XDataBind::XDataBind(XDataBinder& binder, ZStr name, ZStr path)
    : m_name(name)
    , m_path(path)
    , m_binder(&binder)
{
    m_binder->Register(*this);
}

XDataBind::~XDataBind()
{
    m_binder->Unregister(*this);
}

bool XDataBind::SetText(ZStr v)
{
    ZString text(v);
    return Exchange(XDataDir::Write, XValueRef(&text));
}

bool XDataBind::Exchange(XDataDir, const XValueRef&)
{
    return SetErrorPath("not implemented", m_path);
}

bool XDataError::SetError(ZStr text)
{
    m_error.Assign(text);
    return false;
}

bool XDataError::SetErrorPath(ZStr message, ZStr path)
{
    m_error.Format("%.*s\r\nPath: %.*s", int(message.len), message.ptr, int(path.len), path.ptr);
    return false;
}

std::unique_ptr<XDataBind> XDataBinder::Lookup(ZStr path)
{
    SetErrorPath("not implemented", path);
    return nullptr;
}

XDataBind* XDataBinder::Find(ZStr name) const
{
    XDataBind* bind = nullptr;
    return m_binds.Lookup(name, bind) ? bind : nullptr;
}

bool XDataBinder::SetText(ZStr path, ZStr v)
{
    ZString text(v);
    return Transfer(path, XDataDir::Write, XValueRef(&text));
}

bool XDataBinder::Transfer(ZStr path, XDataDir dir, const XValueRef& ref)
{
    std::unique_ptr<XDataBind> bind = Lookup(path);
    if (!bind) {
        return false;
    }
    if (!bind->Exchange(dir, ref)) {
        // The binding dies here; its message stays with the binder.
        return SetError(bind->GetError().Str());
    }
    return true;
}

void XDataBinder::Register(XDataBind& bind)
{
    m_binds.Insert(bind.GetName(), &bind);
}

void XDataBinder::Unregister(XDataBind& bind)
{
    // A later binding of the same name may have replaced this one; leave that one in place.
    if (Find(bind.GetName()) == &bind) {
        m_binds.Remove(bind.GetName());
    }
}

XDataBind_DataRef::XDataBind_DataRef(XDataBinder& binder, ZStr name, ZStr path,
                                     const XValueRef& ref)
    : XDataBind(binder, name, path)
    , m_ref(ref)
{
}

bool XDataBind_DataRef::Exchange(XDataDir dir, const XValueRef& ref)
{
    const bool ok = dir == XDataDir::Read ? Convert(ref, m_ref, KindChange::Allow)
                                          : Convert(m_ref, ref, KindChange::Allow);
    return ok ? true : SetErrorPath("value cannot be converted", GetPath());
}
