// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/gui/CorrectionWorker.h"

#include "app/engine/ComputedDesign.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <system_error>
#include <thread>

// Everything the window's thread and the worker share, under one lock. A request is known
// by its number; a result is kept only when its number is still the newest.
struct CorrectionWorker::Shared
{
    std::mutex lock;
    std::condition_variable changed;
    uint64_t newest = 0;  ///< the number of the newest request
    bool waiting = false; ///< the newest request waits for the thread
    bool pending = false; ///< the newest request's result is not yet taken
    bool ready = false;   ///< design and status hold that result
    bool started = false; ///< the thread runs
    bool quit = false;    ///< the owner is gone: the thread ends after its computation
    std::string parms;
    LengthUnit unit = LengthUnit::Millimetre;
    FeedKind feed = FeedKind::Wall;
    std::shared_ptr<const ComputedDesign> design;
    std::string status;

    // Stores the result of request `id`, unless a newer one replaced it meanwhile.
    void Finish(uint64_t id, std::shared_ptr<const ComputedDesign> result, std::string text)
    {
        if (id != newest || !pending) {
            return;
        }
        design = std::move(result);
        status = std::move(text);
        ready = true;
        changed.notify_all();
    }
};

namespace {

std::shared_ptr<const ComputedDesign> ComputeCorrected(const std::string& parms, LengthUnit unit,
                                                       FeedKind feed, std::string& status)
{
    return ComputedDesign::Compute(parms, unit, status, BuildChoice{feed, true});
}

} // namespace

// The newest waiting request is computed outside the lock. The computed design is immutable,
// so handing it over under the lock suffices.
void CorrectionWorker::Run(std::shared_ptr<Shared> shared)
{
    Shared& s = *shared;
    std::unique_lock<std::mutex> guard(s.lock);
    for (;;) {
        s.changed.wait(guard, [&s] { return s.quit || s.waiting; });
        if (s.quit) {
            return;
        }
        s.waiting = false;
        const uint64_t id = s.newest;
        const std::string parms = s.parms;
        const LengthUnit unit = s.unit;
        const FeedKind feed = s.feed;
        guard.unlock();
        std::string status;
        std::shared_ptr<const ComputedDesign> design = ComputeCorrected(parms, unit, feed, status);
        guard.lock();
        s.Finish(id, std::move(design), std::move(status));
    }
}

CorrectionWorker::~CorrectionWorker()
{
    if (m_shared) {
        std::lock_guard<std::mutex> guard(m_shared->lock);
        m_shared->quit = true;
        m_shared->changed.notify_all();
    }
}

void CorrectionWorker::Request(const std::string& parms, LengthUnit unit, FeedKind feed)
{
    if (!m_shared) {
        m_shared = std::make_shared<Shared>();
    }
    Shared& s = *m_shared;
    std::unique_lock<std::mutex> guard(s.lock);
    ++s.newest;
    s.parms = parms;
    s.unit = unit;
    s.feed = feed;
    s.pending = true;
    s.ready = false;
    s.design.reset();
    s.status.clear();
    if (!s.started) {
        try {
            // Detached: a correction that runs when the window closes must not hold it open.
            std::thread(Run, m_shared).detach();
            s.started = true;
        } catch (const std::system_error&) {
            // No thread to be had: the correction runs here, slow but complete.
            const uint64_t id = s.newest;
            guard.unlock();
            std::string status;
            std::shared_ptr<const ComputedDesign> design =
                ComputeCorrected(parms, unit, feed, status);
            guard.lock();
            s.Finish(id, std::move(design), std::move(status));
            return;
        }
    }
    s.waiting = true;
    s.changed.notify_all();
}

void CorrectionWorker::Cancel()
{
    if (!m_shared) {
        return;
    }
    std::lock_guard<std::mutex> guard(m_shared->lock);
    ++m_shared->newest;
    m_shared->waiting = m_shared->pending = m_shared->ready = false;
    m_shared->design.reset();
}

bool CorrectionWorker::Pending() const
{
    if (!m_shared) {
        return false;
    }
    std::lock_guard<std::mutex> guard(m_shared->lock);
    return m_shared->pending;
}

bool CorrectionWorker::TakeResult(std::shared_ptr<const ComputedDesign>& design,
                                  std::string& status)
{
    if (!m_shared) {
        return false;
    }
    std::lock_guard<std::mutex> guard(m_shared->lock);
    if (!m_shared->ready) {
        return false;
    }
    design = std::move(m_shared->design);
    status = std::move(m_shared->status);
    m_shared->ready = m_shared->pending = false;
    return true;
}

bool CorrectionWorker::WaitResult(std::shared_ptr<const ComputedDesign>& design,
                                  std::string& status)
{
    if (!m_shared) {
        return false;
    }
    {
        std::unique_lock<std::mutex> guard(m_shared->lock);
        m_shared->changed.wait(guard, [this] { return m_shared->ready || !m_shared->pending; });
    }
    return TakeResult(design, status);
}
