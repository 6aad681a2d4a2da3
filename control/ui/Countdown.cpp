#include "control/ui/Countdown.h"

#include <cwchar>

namespace control::ui {

CountdownSpec PowerScheduleCountdown(bool restart) { return {restart, 30, true, true, true}; }

CountdownSpec ProtectionChangeCountdown() { return {true, 5, false, false, true}; }

std::wstring CountdownMessage(const CountdownSpec& spec) {
    const wchar_t* action = spec.restart ? L"재부팅" : L"종료";
    const wchar_t* format = spec.scheduleWording ? L"하드코르바네의 전원관리 스케쥴에 의해 %d초 후에 시스템을 %ls합니다."
                                                 : L"%d초 후에 시스템을 %ls합니다.";
    wchar_t text[256] = {};
    std::swprintf(text, sizeof text / sizeof text[0], format, spec.seconds, action);
    return text;
}

bool CountdownRun::Tick() {
    if (m_finished) return false;
    if (m_position < m_spec.seconds) ++m_position;
    if (m_position < m_spec.seconds) return false;
    Request();
    return true;
}

bool CountdownRun::Confirm() {
    if (m_finished || !m_spec.okEnabled) return false;
    Request();
    return true;
}

void CountdownRun::Request() {
    m_finished = true;
    m_port.RequestSystemExit(m_spec.restart);
}

}  // namespace control::ui
