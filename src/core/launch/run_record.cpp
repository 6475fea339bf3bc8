#include "core/launch/run_record.h"

#include "core/settings/server_profiles.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace varno {

namespace {

constexpr std::string_view kFileStem = "server-run";
constexpr std::string_view kFileSuffix = ".txt";

// Digits only: from_chars alone would take a sign.
template <typename Number> std::optional<Number> positiveNumber(std::string_view digits)
{
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    Number value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() || value == 0)
        return std::nullopt;
    return value;
}

// Whether the record may name that process. A process whose creation time is unknown cannot be told from the
// recorded one by it, so the id alone decides.
bool mayName(const RunRecord& record, const RunRecord& process)
{
    return record.processId == process.processId && (process.createdAt == 0 || record.createdAt == process.createdAt);
}

} // namespace

std::string runRecordFileName(const std::string& profile)
{
    return std::string(kFileStem) + (profile.empty() ? "" : "." + profile) + std::string(kFileSuffix);
}

std::optional<std::string> runRecordProfile(std::string_view fileName)
{
    if (!fileName.starts_with(kFileStem) || !fileName.ends_with(kFileSuffix))
        return std::nullopt;
    std::string_view middle =
        fileName.substr(kFileStem.size(), fileName.size() - kFileStem.size() - kFileSuffix.size());
    if (middle.empty())
        return std::string();
    if (!middle.starts_with('.'))
        return std::nullopt;
    middle.remove_prefix(1);
    const std::string id(middle);
    if (id.empty() || profileIdFor(id) != id)
        return std::nullopt;
    return id;
}

std::string formatRunRecord(const RunRecord& record)
{
    return std::to_string(record.processId) + ' ' + std::to_string(record.createdAt) + '\n';
}

std::optional<RunRecord> parseRunRecord(std::string_view text)
{
    if (!text.ends_with('\n'))
        return std::nullopt;
    text.remove_suffix(1);
    const std::size_t space = text.find(' ');
    if (space == std::string_view::npos)
        return std::nullopt;
    const auto processId = positiveNumber<unsigned long>(text.substr(0, space));
    const auto createdAt = positiveNumber<std::uint64_t>(text.substr(space + 1));
    // A process id is 32 bits wide on every system the panel runs on.
    if (!processId || !createdAt || *processId > std::numeric_limits<std::uint32_t>::max())
        return std::nullopt;
    return RunRecord{*processId, *createdAt};
}

std::optional<std::size_t> recordedServerAmong(const std::vector<RunRecord>& consoles, bool firstServer,
                                               const std::optional<RunRecord>& own,
                                               const std::vector<RunRecord>& others)
{
    if (own) {
        const auto found = std::find(consoles.begin(), consoles.end(), *own);
        return found == consoles.end() ? std::nullopt : std::optional(std::size_t(found - consoles.begin()));
    }
    if (!firstServer)
        return std::nullopt;
    const auto unclaimed = std::find_if(consoles.begin(), consoles.end(), [&](const RunRecord& console) {
        return std::none_of(others.begin(), others.end(),
                            [&](const RunRecord& other) { return mayName(other, console); });
    });
    return unclaimed == consoles.end() ? std::nullopt : std::optional(std::size_t(unclaimed - consoles.begin()));
}

} // namespace varno
