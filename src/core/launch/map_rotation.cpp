#include "core/launch/map_rotation.h"

namespace varno {

std::string rotationLine(std::size_t index, std::string_view mapName)
{
    std::string line = "set maps" + std::to_string(index) + " \"map ";
    line += mapName;
    line += "; set nextmap vstr maps" + std::to_string(index + 1) + '"';
    return line;
}

} // namespace varno
