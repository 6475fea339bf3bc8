#include "core/console/send_key_error.h"

#include <string>

namespace varno {

ESKSetHookError::ESKSetHookError()
    : ESendKeyError(std::string(kCouldntSetHook))
{
}

ESKAlreadyPlaying::ESKAlreadyPlaying()
    : ESendKeyError(std::string())
{
}

} // namespace varno
