#include "core/console/key_player.h"

#include "core/console/send_key_error.h"

#include <string>
#include <utility>

namespace varno {

namespace {

constexpr std::string_view kNothingToPlay = "Nothing to play";

} // namespace

KeyPlayer::KeyPlayer(std::unique_ptr<KeyInjector> injector, std::unique_ptr<KeyboardLayout> layout, TickSource ticks)
    : m_layout(std::move(layout))
    , m_ticks(std::move(ticks))
    , m_injector(std::move(injector))
{
}

KeyPlayer::~KeyPlayer() = default;

KeyPlayResult KeyPlayer::PlayKeyString(std::string_view text)
{
    try {
        if (m_playing)
            throw ESKAlreadyPlaying();
        auto events = buildKeyEvents(text, *m_layout, m_ticks);
        if (events.empty())
            throw ESendKeyError(std::string(kNothingToPlay));
        startPlayback(std::move(events));
        return kpOk;
    } catch (const ESKAlreadyPlaying&) {
        return kpBusy;
    } catch (const ESKSetHookError&) {
        return kpHookFailed;
    } catch (const ESKInvalidToken&) {
        return kpBadToken;
    } catch (const std::exception&) {
        return kpOtherError;
    }
}

void KeyPlayer::startPlayback(std::vector<KeyEvent> events)
{
    const std::uint64_t playback = ++m_playback;
    m_lastProblem.clear();
    // Set first: an injector that delivers everything at once reports the end from inside start.
    m_playing = true;
    bool started = false;
    try {
        started = m_injector->start(std::move(events), [this, playback] { playbackFinished(playback); });
    } catch (...) {
        m_playing = false;
        throw;
    }
    if (!started) {
        m_playing = false;
        throw ESKSetHookError();
    }
}

void KeyPlayer::playbackFinished(std::uint64_t playback)
{
    if (playback != m_playback || !m_playing)
        return;
    m_playing = false;
    m_lastProblem = m_injector->deliveryProblem();
    if (m_delivered)
        m_delivered(m_lastProblem);
}

std::string_view keyPlayResultText(KeyPlayResult result)
{
    switch (result) {
    case kpOk:
        return "typed";
    case kpHookFailed:
        return "the console refused the keys";
    case kpBadToken:
        return "a braced key name is not known or not closed";
    case kpOtherError:
        return "the text gives no keys to type, or too many";
    case kpBusy:
        return "another text is still being typed";
    }
    return "unknown result";
}

} // namespace varno
