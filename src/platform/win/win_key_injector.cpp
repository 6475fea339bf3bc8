#include "platform/win/win_key_injector.h"

#include <utility>

namespace varno {

std::vector<INPUT> sendInputRecords(const std::vector<KeyEvent>& events)
{
    std::vector<INPUT> inputs;
    inputs.reserve(events.size());
    for (const KeyEvent& event : events) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = static_cast<WORD>(event.keyCode);
        input.ki.wScan = static_cast<WORD>(event.scanCode);
        input.ki.dwFlags = isKeyUp(event) ? KEYEVENTF_KEYUP : 0;
        // Zero lets Windows stamp its own time.
        input.ki.time = 0;
        input.ki.dwExtraInfo = 0;
        inputs.push_back(input);
    }
    return inputs;
}

bool WinKeyInjector::start(std::vector<KeyEvent> events, std::function<void()> finished)
{
    std::vector<INPUT> inputs = sendInputRecords(events);
    const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent == 0)
        return false;
    // Whatever part was accepted has been queued; the playback is over either way.
    if (finished)
        finished();
    return true;
}

} // namespace varno
