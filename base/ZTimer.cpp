// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/ZTimer.h"

#include "base/TypeDict.h"
#include "platform/Application.h"

#include <mutex>

namespace {

// The common procedure of all window-system timers that ZTimer asks for.
class TimerProc : public plat::TimerCB
{
public:
    void OnTimer(uint32_t id, uint32_t) override { ZTimer::Dispatch(id); }
};

// The registry of running timers by window-system id, and the live-timer count. The lock
// is made once and lives until the process ends; everything else exists while a timer does.
std::mutex& RegistryLock()
{
    static std::mutex* lock = new std::mutex;
    return *lock;
}
TypeDict<uint32_t, ZTimer*>* s_registry = nullptr;
TimerProc* s_proc = nullptr;
int32_t s_live = 0;

} // namespace

bool ZTimerCB::OnTimer(ZTimer&, uint32_t, uint32_t, uint32_t)
{
    return true;
}

ZTimerCB& ZTimerCB::Default()
{
    static ZTimerCB* instance = new ZTimerCB;
    return *instance;
}

ZTimer::ZTimer(ZTimerCB& cb, uint32_t periodMs, uint32_t countLimit)
    : m_cb(&cb)
    , m_period(periodMs)
    , m_countLimit(countLimit)
{
    std::lock_guard<std::mutex> guard(RegistryLock());
    if (s_live++ == 0) {
        s_registry = new TypeDict<uint32_t, ZTimer*>(10);
        s_proc = new TimerProc;
        plat::SetTimerCallback(s_proc);
    }
}

ZTimer::~ZTimer()
{
    Stop();
    std::lock_guard<std::mutex> guard(RegistryLock());
    if (--s_live == 0) {
        plat::SetTimerCallback(nullptr);
        delete s_proc;
        s_proc = nullptr;
        delete s_registry;
        s_registry = nullptr;
    }
}

int32_t ZTimer::LiveCount()
{
    std::lock_guard<std::mutex> guard(RegistryLock());
    return s_live;
}

bool ZTimer::IsRunning() const
{
    return m_id != 0;
}

void ZTimer::Setup(ZTimerCB& cb, uint32_t periodMs, uint32_t countLimit)
{
    m_cb = &cb;
    SetPeriod(periodMs, countLimit);
}

void ZTimer::SetCB(ZTimerCB& cb)
{
    m_cb = &cb;
}

void ZTimer::SetPeriod(uint32_t periodMs, uint32_t countLimit)
{
    m_period = periodMs;
    m_countLimit = countLimit;
}

bool ZTimer::Start(uint32_t periodMs, uint32_t countLimit)
{
    SetPeriod(periodMs, countLimit);
    return Restart();
}

bool ZTimer::Restart()
{
    Stop();
    m_fireCount = 0;
    m_startTick = m_lastTick = plat::GetTickCount();
    return Arm(m_period);
}

bool ZTimer::Arm(uint32_t periodMs)
{
    Stop();
    uint32_t id = plat::StartTimer(periodMs);
    if (id == 0) {
        return false;
    }
    m_id = id;
    Register(id);
    return true;
}

bool ZTimer::Stop()
{
    if (m_id == 0) {
        return false;
    }
    uint32_t id = m_id;
    bool killed = plat::StopTimer(id);
    Unregister(id);
    m_id = 0;
    return killed;
}

void ZTimer::Register(uint32_t id)
{
    std::lock_guard<std::mutex> guard(RegistryLock());
    if (s_registry) {
        s_registry->Insert(id, this);
    }
}

void ZTimer::Unregister(uint32_t id)
{
    std::lock_guard<std::mutex> guard(RegistryLock());
    // Removal re-inserts the rest of the probe run, so the other ids stay reachable.
    if (s_registry) {
        s_registry->Remove(id);
    }
}

void ZTimer::Dispatch(uint32_t id)
{
    ZTimer* timer = nullptr;
    {
        std::lock_guard<std::mutex> guard(RegistryLock());
        if (s_registry == nullptr || !s_registry->Lookup(id, timer)) {
            return;
        }
    }
    // A firing that was already on its way when the timer re-armed or stopped is stale.
    if (timer != nullptr && timer->m_id == id) {
        timer->Fire();
    }
}

void ZTimer::Fire()
{
    uint32_t now = plat::GetTickCount();
    // Unsigned differences stay right across one wrap of the 32-bit tick count.
    uint32_t sinceStart = now - m_startTick;
    uint32_t sincePrevious = now - m_lastTick;
    ++m_fireCount;
    uint32_t firingId = m_id;
    if (!m_cb->OnTimer(*this, m_fireCount, sinceStart, sincePrevious)) {
        Stop();
        return;
    }
    // A callback that stopped or restarted the timer has decided what happens next.
    if (m_id != firingId) {
        return;
    }
    if (m_countLimit == 0 || m_fireCount < m_countLimit) {
        m_lastTick = now;
        Arm(m_period);
    } else {
        Stop();
    }
}
