#pragma once

#include <stdexcept>
#include <string_view>

namespace varno {

// The keystroke player's own failures. They are raised and caught inside the player and reach its callers
// only as a KeyPlayResult; their texts are never shown.
class ESendKeyError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ESKSetHookError : public ESendKeyError {
public:
    ESKSetHookError();
};

class ESKInvalidToken : public ESendKeyError {
public:
    using ESendKeyError::ESendKeyError;
};

class ESKAlreadyPlaying : public ESendKeyError {
public:
    ESKAlreadyPlaying();
};

inline constexpr std::string_view kCouldntSetHook = "Couldn't set hook";
inline constexpr std::string_view kNoClosingBrace = "No closing brace";
inline constexpr std::string_view kInvalidToken = "Invalid token";

} // namespace varno
