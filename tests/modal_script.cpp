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
    // The next step is due a full interval after this one ended, not at once after a slow step:
    // the loop sees its queue empty in between, as it would between two of a person's inputs.
    if (g_running == script) script->m_timer = ::SetTimer(nullptr, script->m_timer, 10, &ModalScript::Tick);
}

}  // namespace testing_support
