#pragma once

#include "core/launch/run_record.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace varno {

// Where the servers' run records lie (the crash logs' folder) and whose server a call is for. Asked again at every
// call, since one console bridge serves whichever server is selected. Without a folder no record is kept or read,
// and every game console is the one server's, as before the panel ran several.
struct RunRecordPlace {
    std::string folder;
    std::string profile;
};
using RunRecordPlaceSource = std::function<RunRecordPlace()>;

// The profile's record; nothing when there is none or it cannot be read.
std::optional<RunRecord> readRunRecord(const RunRecordPlace& place);
// Replaces the profile's record in one piece, creating the folder if need be; false when it could not be written.
bool writeRunRecord(const RunRecordPlace& place, const RunRecord& record);
// The records of the folder's other profiles.
std::vector<RunRecord> otherRunRecords(const RunRecordPlace& place);

} // namespace varno
