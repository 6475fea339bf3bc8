#pragma once

#include "core/settings/ini_salvage.h"

#include <string>
#include <vector>

namespace varno {

// A settings file found damaged at a program's start, and what became of it.
struct DamagedSettingsFile {
    std::string path;
    std::string keptAs;                   // where the damaged file was moved; empty when it could not be
    std::vector<std::string> keptValues;  // "Section/Name" of each value the fresh file starts with
    std::vector<UnreadableIniLine> lines; // what could not be read
};

// One unreadable line in words, for example: line 14 (LPBCheckRate) has no "=".
std::string describeUnreadableLine(const UnreadableIniLine& line);

// What the panel shows and varno prints when its start found the settings file damaged: which lines
// could not be read, where the original was kept and which values were saved from it.
std::string damagedSettingsNotice(const DamagedSettingsFile& file);

} // namespace varno
