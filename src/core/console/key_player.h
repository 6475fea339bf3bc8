#pragma once

#include "core/console/key_events.h"
#include "core/console/key_parser.h"
#include "core/console/keyboard_layout.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace varno {

// Delivers a finished event list to whatever has the keyboard focus (a journal hook on Windows, a tmux pane
// elsewhere), in order and without delay between events.
class KeyInjector {
public:
    virtual ~KeyInjector() = default;

    // Begins delivering events, which is never empty. Returns false when the platform refuses; nothing is
    // delivered then and finished is never called. Otherwise finished is called once, on the player's
    // thread, after the last event has been delivered (it may already be called before start returns).
    virtual bool start(std::vector<KeyEvent> events, std::function<void()> finished) = 0;

    // Why the last playback did not reach the console whole, as the operator should read it; empty when it
    // did. Valid once finished has been called.
    virtual std::string deliveryProblem() const { return {}; }
};

// Plays key strings one at a time. The program keeps one for its whole run; it is used from the
// user-interface thread only.
class KeyPlayer {
public:
    KeyPlayer(std::unique_ptr<KeyInjector> injector, std::unique_ptr<KeyboardLayout> layout, TickSource ticks);
    ~KeyPlayer();

    KeyPlayer(const KeyPlayer&) = delete;
    KeyPlayer& operator=(const KeyPlayer&) = delete;

    // Builds the events of text and starts playing them; returns once playback has started. While a
    // playback runs, a new string is refused with kpBusy and the running one goes on undisturbed.
    KeyPlayResult PlayKeyString(std::string_view text);

    bool isPlaying() const { return m_playing; }

    // Called once a started playback has ended, with the injector's problem (empty when all was delivered).
    using DeliveredHandler = std::function<void(const std::string& problem)>;
    void setDeliveredHandler(DeliveredHandler handler) { m_delivered = std::move(handler); }
    // The problem of the last playback that ended; empty while none has or when it was delivered.
    const std::string& lastProblem() const { return m_lastProblem; }

private:
    void startPlayback(std::vector<KeyEvent> events);
    void playbackFinished(std::uint64_t playback);

    std::unique_ptr<KeyboardLayout> m_layout;
    TickSource m_ticks;
    bool m_playing = false;
    DeliveredHandler m_delivered;
    std::string m_lastProblem;
    // Tells a late or repeated finished call from the current playback's.
    std::uint64_t m_playback = 0;
    // Declared last so that it goes first: it may hold callbacks into this player.
    std::unique_ptr<KeyInjector> m_injector;
};

// What a refused play request means, as the operator should read it.
std::string_view keyPlayResultText(KeyPlayResult result);

} // namespace varno
