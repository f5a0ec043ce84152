#include "measurement/FrameLoop.h"

#include <chrono>
#include <system_error>

namespace measurement {

int FrameLoop::Start(Step step, int pauseMs)
{
    if (m_State && m_State->running) return 1;
    if (m_Thread.joinable()) {
        // A thread that left its loop on its own: collect it first.
        Stop(1000);
    }
    auto st = std::make_shared<State>();
    st->running = true;
    try {
        m_Thread = std::thread([st, step = std::move(step), pauseMs] {
            while (st->running) {
                if (!step(st->running)) {
                    st->running = false;
                    break;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
            }
            std::lock_guard<std::mutex> g(st->lock);
            st->ended = true;
            st->endedCv.notify_all();
        });
    } catch (const std::system_error&) {
        st->running = false;
        return -1;
    }
    m_State = st;
    return 0;
}

bool FrameLoop::Stop(int timeoutMs)
{
    if (!m_State) return true;
    auto st = m_State;
    st->running = false;
    bool ended;
    {
        std::unique_lock<std::mutex> g(st->lock);
        ended = st->endedCv.wait_for(g, std::chrono::milliseconds(timeoutMs), [&] { return st->ended; });
    }
    if (m_Thread.joinable()) {
        if (ended)
            m_Thread.join();
        else
            m_Thread.detach();
    }
    m_State.reset();
    return ended;
}

}  // namespace measurement
