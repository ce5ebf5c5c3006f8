// SPDX-License-Identifier: GPL-2.0-or-later
#include "xml/TXMLPrintPolicy.h"

TXMLPrintAction TXMLPrintPolicy::Decide(const TXMLNode&, ZString&, int32_t)
{
    return TXMLPrintAction::Write;
}

void TXMLPrintPolicy::WriteAttributes(const TXMLNode& node, const TXMLAttributes& attributes,
                                      ZString& out)
{
    node.WriteAttributes(attributes, out);
}

TXMLPrintPolicy& TXMLPrintPolicy::Standard()
{
    // Stateless, so one instance serves every caller.
    static TXMLPrintPolicy s_standard;
    return s_standard;
}
