// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/XArray.h"
#include "base/XEvt.h"
#include "base/ZString.h"

#include <cstdint>

/// A two-way relation between objects: an object observes others and is observed by others.
/// Each side keeps a list of the other; the lists never hold an entry twice.
///
/// Notices: "XObserveBegin" when an observer starts observing (source: the observer),
/// "XObserveEnd" when it stops (source: the observer), "XObservedDeleted" to every observer
/// of an object being destroyed (source: the dying object), and "XObservedChanged", which
/// owners send through NotifyAll when their data changes.
class XObserver
{
public:
    /// An observer with a process-unique id (counting from 1) and a name.
    explicit XObserver(ZStr name = ZStr(""));
    XObserver(const XObserver&) = delete;
    XObserver& operator=(const XObserver&) = delete;
    /// Tells every observer "XObservedDeleted", then ends every relation of this object
    /// (each ended relation notifies its observer "XObserveEnd").
    virtual ~XObserver();

    /// Called for every notice to this object; source is the object the notice is about.
    virtual void Notified(const XEvtObserver& evt, XObserver* source);
    /// Calls Notified(evt, this) on every observer, in list order.
    virtual void NotifyAll(const XEvtObserver& evt);

    /// Starts observing `observed` (no-op when it already does, or for itself or null);
    /// notifies this object "XObserveBegin" when the relation is new.
    void Observe(XObserver* observed);
    /// Stops observing `observed`; notifies this object "XObserveEnd" when it was observed.
    void StopObserving(XObserver* observed);
    bool IsObserving(const XObserver* observed) const;

    uint32_t GetId() const { return m_id; }
    const ZString& GetName() const { return m_name; }
    int32_t ObserverCount() const { return m_observers.Count(); }
    XObserver* ObserverAt(int32_t i) const { return m_observers[i]; }
    int32_t ObservedCount() const { return m_observed.Count(); }
    XObserver* ObservedAt(int32_t i) const { return m_observed[i]; }

private:
    static bool RemoveFrom(XArray<XObserver*>& list, const XObserver* item);
    static int32_t IndexIn(const XArray<XObserver*>& list, const XObserver* item);

    uint32_t m_id = 0;
    ZString m_name;
    XArray<XObserver*> m_observers; ///< objects observing this one
    XArray<XObserver*> m_observed;  ///< objects this one observes
};
