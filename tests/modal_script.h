// Drives a modal dialog from inside its own message loop: the steps run one at a time from a
// thread timer. WM_TIMER is retrieved only when nothing else is queued, so each step sees the
// effects of everything the steps before it posted, painted ones included.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

namespace testing_support {

class ModalScript {
public:
    using Step = std::function<void()>;

    explicit ModalScript(std::vector<Step> steps);
    ~ModalScript();
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    bool Finished() const { return m_next >= m_steps.size(); }
    std::size_t StepsStarted() const { return m_next; }

private:
    static void CALLBACK Tick(HWND hWnd, UINT message, UINT_PTR id, DWORD time);

    std::vector<Step> m_steps;
    std::size_t m_next = 0;
    UINT_PTR m_timer = 0;
};

}  // namespace testing_support
