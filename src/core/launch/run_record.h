#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varno {

// Which process is a server profile's game, kept outside its settings (their keys are a fixed schema). The id
// alone would not do: the system gives a freed id to a later process, so the process's creation time goes with it.
struct RunRecord {
    unsigned long processId = 0;
    // The system's creation time of the process (FILETIME ticks on Windows); 0 where it could not be learnt.
    std::uint64_t createdAt = 0;

    bool operator==(const RunRecord&) const = default;
};

// The record's file, one per profile in the crash logs' folder: "server-run.txt" for the first server,
// "server-run.<id>.txt" for another.
std::string runRecordFileName(const std::string& profile);
// The profile whose record a file of that name holds; nothing for any other file.
std::optional<std::string> runRecordProfile(std::string_view fileName);

// "<process id> <creation time>\n".
std::string formatRunRecord(const RunRecord& record);
// Nothing for any text that formatRunRecord does not give, a zero id or time among them.
std::optional<RunRecord> parseRunRecord(std::string_view text);

// Which of the processes showing a game console (in window order) is a profile's server: the one its record
// names, same id and creation time. A profile without a record has none, except the first server, whose game may
// have been started before records were kept: it takes the first console that no other profile's record names.
std::optional<std::size_t> recordedServerAmong(const std::vector<RunRecord>& consoles, bool firstServer,
                                               const std::optional<RunRecord>& own,
                                               const std::vector<RunRecord>& others);

} // namespace varno
