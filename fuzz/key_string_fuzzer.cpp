// Key strings as the operator types them for the server console, through the parser and the player.
// A bad braced name or an overlong string is refused with ESendKeyError, which is correct; anything else
// escaping, or a malformed event list, is a fault.

#include "core/console/console_line.h"
#include "core/console/key_parser.h"
#include "core/console/key_player.h"
#include "core/console/send_key_error.h"
#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using namespace varno;

// Delivers everything at once, as a backend that injects synchronously does.
class RecordingInjector : public KeyInjector {
public:
    explicit RecordingInjector(std::vector<KeyEvent>& delivered)
        : m_delivered(delivered)
    {
    }

    bool start(std::vector<KeyEvent> events, std::function<void()> finished) override
    {
        VARNO_FUZZ_REQUIRE(!events.empty());
        m_delivered = std::move(events);
        finished();
        return true;
    }

private:
    std::vector<KeyEvent>& m_delivered;
};

bool isKnownMessage(std::uint32_t message)
{
    return message == kWmKeyDown || message == kWmKeyUp || message == kWmSysKeyDown || message == kWmSysKeyUp;
}

// Every key goes down before it comes up and is up again at the end; events carry the layout's scan code
// and ticks in the order they were built.
void checkEvents(const std::vector<KeyEvent>& events, const KeyboardLayout& layout)
{
    VARNO_FUZZ_REQUIRE(events.size() <= kMaxKeyEvents);
    std::map<std::uint32_t, int> held;
    std::uint32_t lastTime = 0;
    for (const KeyEvent& event : events) {
        VARNO_FUZZ_REQUIRE(isKnownMessage(event.message));
        VARNO_FUZZ_REQUIRE(event.scanCode == layout.mapVirtualKey(event.keyCode));
        VARNO_FUZZ_REQUIRE(event.time > lastTime);
        lastTime = event.time;
        int& count = held[event.keyCode];
        count += isKeyDown(event) ? 1 : -1;
        VARNO_FUZZ_REQUIRE(count >= 0);
    }
    for (const auto& [keyCode, count] : held)
        VARNO_FUZZ_REQUIRE(count == 0);
}

// What a terminal console receives is printable text only, never more of it than there were keys, and a
// key-less delivery only at the end.
void checkDeliveries(const std::vector<KeyEvent>& events)
{
    const std::vector<ConsoleDelivery> deliveries = consoleDeliveries(events);
    std::size_t characters = 0;
    for (std::size_t i = 0; i < deliveries.size(); ++i) {
        for (char c : deliveries[i].text)
            VARNO_FUZZ_REQUIRE(c >= ' ' && c <= '~');
        characters += deliveries[i].text.size();
        VARNO_FUZZ_REQUIRE(deliveries[i].key != ConsoleKey::None || i + 1 == deliveries.size());
    }
    VARNO_FUZZ_REQUIRE(characters <= events.size());
}

bool sameStrokes(const std::vector<KeyEvent>& a, const std::vector<KeyEvent>& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].message != b[i].message || a[i].keyCode != b[i].keyCode || a[i].scanCode != b[i].scanCode)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const UsKeyboardLayout layout;
    std::uint32_t tick = 0;
    const TickSource ticks = [&tick] { return ++tick; };

    std::optional<std::vector<KeyEvent>> events;
    bool badToken = false;
    try {
        events = buildKeyEvents(text, layout, ticks);
    } catch (const ESKInvalidToken&) {
        badToken = true;
    } catch (const ESendKeyError&) {
    }
    if (events) {
        checkEvents(*events, layout);
        checkDeliveries(*events);
    }
    // Only a braced name can be bad, and a short text cannot stand for too many events (ten at most a key).
    if (text.find('{') == std::string_view::npos)
        VARNO_FUZZ_REQUIRE(!badToken);
    if (text.size() * 10 <= kMaxKeyEvents)
        VARNO_FUZZ_REQUIRE(events || badToken);

    // The player never throws and reports what the parser found.
    std::vector<KeyEvent> delivered;
    KeyPlayer player(std::make_unique<RecordingInjector>(delivered), std::make_unique<UsKeyboardLayout>(),
                     [] { return 1u; });
    const KeyPlayResult result = player.PlayKeyString(text);
    if (events && !events->empty()) {
        VARNO_FUZZ_REQUIRE(result == kpOk && sameStrokes(delivered, *events) && !player.isPlaying());
    } else {
        VARNO_FUZZ_REQUIRE(result == (badToken ? kpBadToken : kpOtherError) && delivered.empty());
    }
    return 0;
}
