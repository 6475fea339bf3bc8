#include "status_checks.h"

#include "core/settings/integer_text.h"
#include "fuzz_check.h"

#include <cstddef>
#include <string_view>

namespace varno::fuzz {

namespace {

bool hasControlCharacters(std::string_view text)
{
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20)
            return true;
    }
    return false;
}

void checkRow(const StatusRow& row)
{
    const PlayerRecord& player = row.player;
    VARNO_FUZZ_REQUIRE(player.clientNumber.size() == kMaxClientNumberLength);
    VARNO_FUZZ_REQUIRE(!player.ping.empty() && player.ping.size() <= kMaxPingLength);
    VARNO_FUZZ_REQUIRE(!player.name.empty() && player.name.size() <= kMaxNameLength && player.name.back() == ' ');
    VARNO_FUZZ_REQUIRE(!player.address.empty() && player.address.size() <= kMaxAddressLength);
    VARNO_FUZZ_REQUIRE(!hasControlCharacters(player.clientNumber) && !hasControlCharacters(player.ping));
    VARNO_FUZZ_REQUIRE(!hasControlCharacters(player.name) && !hasControlCharacters(player.address));
    const auto ping = parseDecimal(player.ping);
    switch (row.kind) {
    case StatusRowKind::Player:
        VARNO_FUZZ_REQUIRE(ping && *ping == row.ping);
        VARNO_FUZZ_REQUIRE(row.notice().empty() && row.isTableRow());
        break;
    case StatusRowKind::InvalidPing:
        VARNO_FUZZ_REQUIRE(!ping && row.isTableRow() && !isLowPingPlayer(row, 1 << 30));
        break;
    case StatusRowKind::Zombie:
    case StatusRowKind::Connecting:
        VARNO_FUZZ_REQUIRE(!ping && !row.notice().empty() && !row.isTableRow() && !isLowPingPlayer(row, 1 << 30));
        break;
    }
}

} // namespace

void checkStatus(const ParsedStatus& status)
{
    VARNO_FUZZ_REQUIRE(status.mapName.size() <= kMaxMapNameLength && !hasControlCharacters(status.mapName));
    if (status.layout == StatusLayout::Unknown)
        VARNO_FUZZ_REQUIRE(status.rows.empty());
    for (std::size_t i = 0; i < status.rows.size(); ++i) {
        checkRow(status.rows[i]);
        const bool last = i + 1 == status.rows.size();
        VARNO_FUZZ_REQUIRE((status.rows[i].kind == StatusRowKind::InvalidPing) == (last && status.error.has_value()));
    }
    if (status.rows.empty())
        VARNO_FUZZ_REQUIRE(!status.error);
}

bool sameStatus(const ParsedStatus& a, const ParsedStatus& b)
{
    if (a.layout != b.layout || a.mapName != b.mapName || a.error != b.error || a.rows.size() != b.rows.size())
        return false;
    for (std::size_t i = 0; i < a.rows.size(); ++i) {
        const StatusRow& x = a.rows[i];
        const StatusRow& y = b.rows[i];
        if (x.kind != y.kind || x.ping != y.ping || x.player.clientNumber != y.player.clientNumber ||
            x.player.ping != y.player.ping || x.player.name != y.player.name || x.player.address != y.player.address)
            return false;
    }
    return true;
}

} // namespace varno::fuzz
