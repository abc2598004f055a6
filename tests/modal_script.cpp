#include "modal_script.h"

namespace testing_support {

namespace {

ModalScript* g_running = nullptr;

}  // namespace

ModalScript::ModalScript(std::vector<Step> steps) : m_steps(std::move(steps)) {
    g_running = this;
    m_timer = ::SetTimer(nullptr, 0, 10, &ModalScript::Tick);
}

ModalScript::~ModalScript() {
    ::KillTimer(nullptr, m_timer);
    if (g_running == this) g_running = nullptr;
}

void CALLBACK ModalScript::Tick(HWND, UINT, UINT_PTR, DWORD) {
    ModalScript* script = g_running;
    if (script == nullptr || script->Finished()) return;
    // Advance first: a step may run a nested loop that ticks on.
    Step& step = script->m_steps[script->m_next++];
    step();
}

}  // namespace testing_support
