// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/XObserver.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

// Records every notice as "<receiver>:<message>:<source>".
class Recorder : public XObserver
{
public:
    Recorder(const char* name, std::vector<std::string>& log)
        : XObserver(name)
        , m_log(log)
    {
    }
    void Notified(const XEvtObserver& evt, XObserver* source) override
    {
        m_log.push_back(std::string(GetName().Text()) + ":" +
                        std::string(evt.message.ptr, size_t(evt.message.len)) + ":" +
                        (source ? source->GetName().Text() : "null"));
        if (m_stopOnDelete && evt.Is(XEvtObserver::kDeleted)) {
            StopObserving(source);
        }
    }
    bool m_stopOnDelete = false;

private:
    std::vector<std::string>& m_log;
};

TEST(XObserverTest, IdsAreUniqueAndIncreasing)
{
    XObserver a, b;
    EXPECT_GT(a.GetId(), 0u);
    EXPECT_EQ(b.GetId(), a.GetId() + 1);
}

TEST(XObserverTest, ObservingTwiceAddsOnceAndNotifiesBeginOnce)
{
    std::vector<std::string> log;
    Recorder chart("chart", log), line("line", log);
    chart.Observe(&line);
    chart.Observe(&line);
    chart.Observe(&chart); // never itself
    chart.Observe(nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"chart:XObserveBegin:chart"}));
    EXPECT_EQ(line.ObserverCount(), 1);
    EXPECT_EQ(chart.ObservedCount(), 1);
    EXPECT_TRUE(chart.IsObserving(&line));

    log.clear();
    chart.StopObserving(&line);
    chart.StopObserving(&line);
    EXPECT_EQ(log, (std::vector<std::string>{"chart:XObserveEnd:chart"}));
    EXPECT_EQ(line.ObserverCount(), 0);
}

TEST(XObserverTest, NotifyReachesObserversInOrder)
{
    std::vector<std::string> log;
    Recorder data("data", log), first("first", log), second("second", log);
    first.Observe(&data);
    second.Observe(&data);
    log.clear();
    data.NotifyAll(XEvtObserver(XEvtObserver::kChanged));
    EXPECT_EQ(log, (std::vector<std::string>{"first:XObservedChanged:data",
                                             "second:XObservedChanged:data"}));
}

TEST(XObserverTest, DestroyingAnObservedObjectNotifiesDeletedThenEnd)
{
    // Every observer hears of the deletion, in order, and ends its observation; one that
    // stops observing from inside the notice ends at once and skips no other.
    const struct
    {
        bool firstStops;
        std::vector<std::string> log;
    } cases[] = {
        {false,
         {"first:XObservedDeleted:data", "second:XObservedDeleted:data",
          "second:XObserveEnd:second", "first:XObserveEnd:first"}},
        {true,
         {"first:XObservedDeleted:data", "first:XObserveEnd:first", "second:XObservedDeleted:data",
          "second:XObserveEnd:second"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> log;
        auto data = std::make_unique<Recorder>("data", log);
        Recorder first("first", log), second("second", log);
        first.m_stopOnDelete = c.firstStops;
        first.Observe(data.get());
        second.Observe(data.get());
        log.clear();
        data.reset();
        EXPECT_EQ(log, c.log) << c.firstStops;
        EXPECT_EQ(first.ObservedCount(), 0);
        EXPECT_EQ(second.ObservedCount(), 0);
    }
}

TEST(XObserverTest, DestroyingAnObserverLeavesTheObservedClean)
{
    std::vector<std::string> log;
    Recorder a("a", log), b("b", log);
    {
        Recorder watcher("watcher", log);
        watcher.Observe(&a);
        watcher.Observe(&b);
    }
    EXPECT_EQ(a.ObserverCount(), 0);
    EXPECT_EQ(b.ObserverCount(), 0);
    a.NotifyAll(XEvtObserver(XEvtObserver::kChanged)); // nothing dangling to call
}

} // namespace
