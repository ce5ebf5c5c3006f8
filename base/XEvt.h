#pragma once

#include "base/NXGeom.h"
#include "base/ZStr.h"

#include <cstdint>

/// The kind word of an event.
enum class XEvtKind : int32_t {
    GUI = 0,      ///< window input (XEvtGUI and below)
    Observer = 1, ///< observer notices (XEvtObserver)
};

/// The base of all events.
class XEvt
{
public:
    explicit XEvt(XEvtKind evtKind, int32_t evtWord = 0)
        : kind(evtKind)
        , word(evtWord)
    {
    }
    virtual ~XEvt() = default;
    /// What happens to an event nobody handled; true when that handled it. Nothing, here.
    virtual bool DefaultAction() { return false; }

    XEvtKind kind;
    int32_t word; ///< a word the creator may set; 0 unless given
};

/// An observer notice: one of the texts below (or an owner's own).
class XEvtObserver : public XEvt
{
public:
    static constexpr const char* kBegin = "XObserveBegin";
    static constexpr const char* kEnd = "XObserveEnd";
    static constexpr const char* kDeleted = "XObservedDeleted";
    static constexpr const char* kChanged = "XObservedChanged";

    explicit XEvtObserver(ZStr text, int32_t evtWord = 0)
        : XEvt(XEvtKind::Observer, evtWord)
        , message(text)
    {
    }
    /// Whether the notice carries the given message text.
    bool Is(ZStr text) const { return message.Equals(text); }

    ZStr message; ///< views static or caller-owned text that outlives the notice
};
