// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "app/engine/BuildGeometry.h"
#include "app/engine/DesignReport.h"

#include <memory>
#include <string>

class ComputedDesign;

/// Computes designs with dimensions corrected for the box as built on a thread of its own,
/// so that the window stays responsive through a correction that takes seconds for a design
/// with many rods. Only the newest request counts: it replaces one still waiting, and the
/// result of one replaced while it runs is dropped. Used from one thread, the window's.
class CorrectionWorker
{
public:
    CorrectionWorker() = default;
    /// Does not wait for a correction that runs: it finishes on its own and is dropped.
    ~CorrectionWorker();
    CorrectionWorker(const CorrectionWorker&) = delete;
    CorrectionWorker& operator=(const CorrectionWorker&) = delete;

    /// Asks for the corrected design of the parameter text `parms` with the report's lengths
    /// in `unit`. The thread starts with the first request; where it cannot be started, the
    /// design is computed here, before this returns.
    void Request(const std::string& parms, LengthUnit unit, FeedKind feed);
    /// Drops the newest request and its result.
    void Cancel();
    /// Whether a request waits, runs, or has a result not yet taken.
    bool Pending() const;
    /// The newest request's result once it is ready: true once, with the design as
    /// `ComputedDesign::Compute` returns it (null, with the reason in `status`, for invalid
    /// inputs). False while it runs or when nothing is pending.
    bool TakeResult(std::shared_ptr<const ComputedDesign>& design, std::string& status);
    /// As TakeResult, but waits for a request that runs. False when nothing is pending.
    bool WaitResult(std::shared_ptr<const ComputedDesign>& design, std::string& status);

private:
    struct Shared;
    /// The thread's loop over the requests until the owner is gone.
    static void Run(std::shared_ptr<Shared> shared);

    /// Shared with the thread, which keeps it alive past this object while it finishes.
    std::shared_ptr<Shared> m_shared;
};
