// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <cstdint>

class ZTimer;

/// What a timer calls when it fires.
class ZTimerCB
{
public:
    virtual ~ZTimerCB() = default;
    /// The timer fired for the fireCount-th time (from 1), sinceStartMs after its (re)start
    /// and sincePreviousMs after the previous firing. Returning false stops the timer.
    virtual bool OnTimer(ZTimer& timer, uint32_t fireCount, uint32_t sinceStartMs,
                         uint32_t sincePreviousMs);
    /// The shared callback of timers without a host: it only lets the timer go on.
    static ZTimerCB& Default();
};

/// A repeating or one-shot timer on the user-interface thread. Each firing arms a fresh
/// window-system timer; a count limit of 0 repeats until stopped, a limit of n stops after
/// the n-th firing. The callback is not owned.
///
/// A process-wide registry maps window-system timer ids to timers, so that a firing is
/// delivered only to the timer that holds that id now; ids of stopped timers are ignored.
class ZTimer
{
public:
    /// A stopped timer; Start or Restart runs it.
    explicit ZTimer(ZTimerCB& cb = ZTimerCB::Default(), uint32_t periodMs = 100,
                    uint32_t countLimit = 0);
    ZTimer(const ZTimer&) = delete;
    ZTimer& operator=(const ZTimer&) = delete;
    /// Stops the timer.
    virtual ~ZTimer();

    virtual bool IsRunning() const;
    /// Sets callback, period and count limit without starting.
    virtual void Setup(ZTimerCB& cb, uint32_t periodMs, uint32_t countLimit);
    virtual void SetCB(ZTimerCB& cb);
    virtual void SetPeriod(uint32_t periodMs, uint32_t countLimit);
    /// Sets period and count limit, then restarts. False when no timer could be had.
    virtual bool Start(uint32_t periodMs, uint32_t countLimit);
    /// Stops, clears the fire count, takes the start time and arms the timer.
    virtual bool Restart();
    /// Stops the timer; true when a window-system timer was running and was killed.
    virtual bool Stop();
    /// One firing: the callback runs, then the timer re-arms or stops. The callback may
    /// stop or restart the timer, but must not destroy it.
    virtual void Fire();

    uint32_t GetPeriod() const { return m_period; }
    uint32_t GetCountLimit() const { return m_countLimit; }
    uint32_t GetFireCount() const { return m_fireCount; }
    /// The window-system timer id, 0 when stopped.
    uint32_t GetId() const { return m_id; }

    /// Number of timers alive in the process (the registry exists while it is above 0).
    static int32_t LiveCount();
    /// Delivers a window-system timer firing: the timer registered for id fires, if it still
    /// holds that id. Called by the common timer procedure; public for tests.
    static void Dispatch(uint32_t id);

protected:
    /// Stops, then asks the window system for a new timer and registers it.
    virtual bool Arm(uint32_t periodMs);
    virtual void Register(uint32_t id);
    virtual void Unregister(uint32_t id);

private:
    ZTimerCB* m_cb;
    uint32_t m_id = 0;
    uint32_t m_period;
    uint32_t m_countLimit;
    uint32_t m_fireCount = 0;
    uint32_t m_startTick = 0;
    uint32_t m_lastTick = 0;
};

/// A timer callback that calls a member of its owner, for classes that own several timers
/// and tell them apart by the timer reference.
template <typename Owner> class ZTimerCBMember : public ZTimerCB
{
public:
    using Handler = bool (Owner::*)(ZTimer&, uint32_t, uint32_t, uint32_t);
    ZTimerCBMember(Owner& owner, Handler handler)
        : m_owner(owner)
        , m_handler(handler)
    {
    }
    bool OnTimer(ZTimer& timer, uint32_t count, uint32_t sinceStart, uint32_t sincePrev) override
    {
        return (m_owner.*m_handler)(timer, count, sinceStart, sincePrev);
    }

private:
    Owner& m_owner;
    Handler m_handler;
};
