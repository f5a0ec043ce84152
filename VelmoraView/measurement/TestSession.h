// The steps of one breath test, window-free: fed the instrument's event codes,
// the close button and the time, it decides what the test window shows, when
// the photograph is awaited and when the record is stored. The window draws
// what it is told (Hooks) and calls Tick when NextTickIn says.
#pragma once

#include "devicelink/DeviceEvents.h"

#include <QtGlobal>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

namespace measurement {

class TestSession {
public:
    static constexpr uint32_t kPhotoWaitMs = 300;
    static constexpr int kFirstWaits = 11;  // looks for the photograph
    static constexpr int kAllWaits = 21;    // after a result, with a second request
    // After "BRE" the close button comes back when the instrument has been
    // silent this long, so a vanished instrument never locks the window.
    static constexpr uint32_t kSilenceMs = 30000;
    static inline const char* const kRecalibrationNotice = QT_TRANSLATE_NOOP(
        "measurement", "                                  [ Need Recalibration ]");

    struct Hooks {
        virtual ~Hooks() = default;
        virtual void ShowStep(int step) = 0;  // Notice() is drawn with it
        virtual void SetCloseEnabled(bool enabled) = 0;
        virtual void RestartCamera() = 0;
        virtual void MakeTopmost() = 0;
        virtual void RequestPhoto() = 0;
        virtual bool PhotoKept() = 0;
        // RES: the result text that came with it becomes the last result.
        virtual void TakeResult(const std::string& result) = 0;
        virtual bool ResultIsAlert() = 0;  // the last result read as a number > 0
        // Stores the record (with the kept photograph, if any).
        virtual void Store(bool flowError) = 0;
        // An END came while a measured result was being stored: the unit code
        // it saw is cleared now, so it is asked for.
        virtual void AskForUnit() = 0;
        // The window closes: by its button (reset the instrument) or on END.
        virtual void Close(bool byButton) = 0;
    };

    explicit TestSession(Hooks& hooks, uint32_t photoWaitMs = kPhotoWaitMs);

    // An instrument event and its result text (RES only).
    void Event(DeviceEvent event, const std::string& result, uint32_t nowMs);
    void CloseButton(uint32_t nowMs);
    // The time has come (see NextTickIn).
    void Tick(uint32_t nowMs);
    // Milliseconds from nowMs until Tick has work (0: now), -1 for none.
    int64_t NextTickIn(uint32_t nowMs) const;

    int Step() const { return m_Step; }
    const std::string& Notice() const { return m_Notice; }
    bool CloseEnabled() const { return m_CloseEnabled; }
    bool FlowError() const { return m_FlowError; }
    bool Storing() const { return m_Waiting != Wait::None; }
    bool Closed() const { return m_Closed; }

private:
    enum class Wait { None, Result, Flow };
    // An event that waits for a store, or the close button (no event).
    struct Pending {
        std::optional<DeviceEvent> event;
        std::string result;
    };

    void Handle(const Pending& p);
    void ShowStep(int step);
    void SetCloseEnabled(bool enabled);
    void BeginWait(Wait kind, uint32_t nowMs);
    void Look(uint32_t nowMs);
    void StoreNow();
    void RunDeferred();
    void DoClose(bool byButton);

    Hooks& m_Hooks;
    uint32_t m_PhotoWaitMs;
    int m_Step = 1;
    std::string m_Notice;
    bool m_CloseEnabled = true;
    bool m_FlowError = false;
    bool m_Closed = false;
    bool m_AfterBre = false;  // BRE seen: the silence rule applies
    uint32_t m_LastFrameMs = 0;
    Wait m_Waiting = Wait::None;
    int m_Waits = 0;
    uint32_t m_NextLookMs = 0;
    uint32_t m_NowMs = 0;            // time of the call being handled
    std::deque<Pending> m_Deferred;  // events that came while a result was stored
};

}  // namespace measurement
