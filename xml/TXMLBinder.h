// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/ZStr.h"

class ZString;

/// Resolves the variables that attribute values name between percent signs ("%title%").
/// The dialog engine implements it over its data binder; the parser only asks.
class TXMLBinder
{
public:
    virtual ~TXMLBinder() = default;
    /// Fills text with the current value of the variable called name (the characters
    /// between the percent signs) and returns true, or returns false when name is unknown.
    virtual bool GetVariableText(ZStr name, ZString& text) = 0;
};
