// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/XObserver.h"

#include <mutex>

namespace {

// Ids are unique in the process; the counter is shared by every thread that makes objects.
std::mutex& IdLock()
{
    static std::mutex* lock = new std::mutex; // lives until the process ends
    return *lock;
}

uint32_t s_nextId = 1;

} // namespace

XObserver::XObserver(ZStr name)
    : m_name(name)
{
    std::lock_guard<std::mutex> guard(IdLock());
    m_id = s_nextId++;
}

XObserver::~XObserver()
{
    // Observers hear of the death first, while every relation is still in place.
    // An observer may stop observing from inside the notice, so walk by index.
    XEvtObserver deleted(XEvtObserver::kDeleted);
    for (int32_t i = 0; i < m_observers.Count(); ++i) {
        XObserver* observer = m_observers[i];
        observer->Notified(deleted, this);
        if (i < m_observers.Count() && m_observers[i] != observer) {
            --i;
        }
    }
    // Then this object stops observing, last relation first.
    XEvtObserver end(XEvtObserver::kEnd);
    for (int32_t i = m_observed.Count() - 1; i >= 0; i = m_observed.Count() - 1) {
        XObserver* observed = m_observed[i];
        RemoveFrom(observed->m_observers, this);
        m_observed.Remove(i);
        // Only this class's part is alive now: the notice reaches XObserver::Notified.
        XObserver::Notified(end, this);
    }
    // Finally every observer is let go, last first, and told so.
    for (int32_t i = m_observers.Count() - 1; i >= 0; i = m_observers.Count() - 1) {
        XObserver* observer = m_observers[i];
        m_observers.Remove(i);
        if (RemoveFrom(observer->m_observed, this)) {
            observer->Notified(end, observer);
        }
    }
}

void XObserver::Notified(const XEvtObserver&, XObserver*) {}

void XObserver::NotifyAll(const XEvtObserver& evt)
{
    // An observer may stop observing from inside its notice; walk by index and re-check.
    for (int32_t i = 0; i < m_observers.Count(); ++i) {
        XObserver* observer = m_observers[i];
        observer->Notified(evt, this);
        if (i < m_observers.Count() && m_observers[i] != observer) {
            --i;
        }
    }
}

void XObserver::Observe(XObserver* observed)
{
    if (observed == nullptr || observed == this) {
        return;
    }
    if (IndexIn(observed->m_observers, this) < 0) {
        observed->m_observers.Append(this);
    }
    if (IndexIn(m_observed, observed) < 0) {
        m_observed.Append(observed);
        Notified(XEvtObserver(XEvtObserver::kBegin), this);
    }
}

void XObserver::StopObserving(XObserver* observed)
{
    if (observed == nullptr) {
        return;
    }
    RemoveFrom(observed->m_observers, this);
    if (RemoveFrom(m_observed, observed)) {
        Notified(XEvtObserver(XEvtObserver::kEnd), this);
    }
}

bool XObserver::IsObserving(const XObserver* observed) const
{
    return IndexIn(m_observed, observed) >= 0;
}

int32_t XObserver::IndexIn(const XArray<XObserver*>& list, const XObserver* item)
{
    for (int32_t i = 0; i < list.Count(); ++i) {
        if (list[i] == item) {
            return i;
        }
    }
    return -1;
}

bool XObserver::RemoveFrom(XArray<XObserver*>& list, const XObserver* item)
{
    int32_t i = IndexIn(list, item);
    if (i < 0) {
        return false;
    }
    list.Remove(i);
    return true;
}
