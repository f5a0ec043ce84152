// A thread that runs one step, pauses, and runs it again until stopped.
// Stop waits at most a given time; a thread that does not end by then (a
// camera read that hangs) is left to finish alone and keeps its own state
// alive, so it never touches a destroyed owner.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace measurement {

class FrameLoop {
public:
    // The step returns false to leave the loop (an error it has handled).
    using Step = std::function<bool(const std::atomic<bool>& running)>;

    FrameLoop() = default;
    FrameLoop(const FrameLoop&) = delete;
    FrameLoop& operator=(const FrameLoop&) = delete;
    ~FrameLoop() { Stop(); }

    // 0 started, 1 already running, -1 the thread could not be created. The
    // thread runs at normal priority: raising it needs privileges the program
    // does not have.
    int Start(Step step, int pauseMs = 10);
    // Clears the running flag and waits up to timeoutMs for the thread to end.
    // True when it ended in time (or was not running).
    bool Stop(int timeoutMs = 1000);
    bool Running() const { return m_State && m_State->running; }

private:
    struct State {
        std::atomic<bool> running{false};
        std::mutex lock;
        std::condition_variable endedCv;
        bool ended = false;
    };
    std::shared_ptr<State> m_State;
    std::thread m_Thread;
};

}  // namespace measurement
