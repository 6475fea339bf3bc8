// Status replies. The first byte chooses what the rest is: the whole reply text (0), rows under the head of a
// classic, ioquake3 or Quake3e table (1 to 3), so that most of the effort goes into rows; or (4) players that
// are printed with an engine's exact row format, where every field must read back as printed, also when the
// reply comes in datagrams of the server's size.

#include "core/lpb/reply_assembler.h"
#include "core/lpb/status_parser.h"
#include "fuzz_check.h"
#include "printed_status.h"
#include "status_checks.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view kReplyPrefix = "\xff\xff\xff\xffprint\n";

constexpr std::array<std::string_view, 4> kHeads = {
    "",
    "\xff\xff\xff\xffprint\nmap: q3dm17\n"
    "num score ping name            lastmsg address               qport rate\n"
    "--- ----- ---- --------------- ------- --------------------- ----- -----\n",
    "\xff\xff\xff\xffprint\nmap: q3dm7\n"
    "cl score ping name            address                                 rate \n"
    "-- ----- ---- --------------- --------------------------------------- -----\n",
    "\xff\xff\xff\xffprint\nmap: q3dm1\n"
    "cl score ping name             address                                  rate\n"
    "-- ----- ---- ---------------- ---------------------------------------- -----\n",
};

constexpr std::size_t kDatagramTextBytes = 1007;

// The reply as the server sends it, cut wherever its 1008-byte buffer fills, joined again.
std::string reassembled(std::string_view reply)
{
    varno::ReplyAssembler assembler;
    const std::string_view text = reply.substr(kReplyPrefix.size());
    for (std::size_t pos = 0; pos < text.size(); pos += kDatagramTextBytes)
        assembler.feed(std::string(kReplyPrefix) + std::string(text.substr(pos, kDatagramTextBytes)), 0);
    const auto assembled = assembler.takeComplete(varno::ReplyAssembler::kDefaultJoinWindowMs);
    VARNO_FUZZ_REQUIRE(assembled && !assembler.takeComplete(1'000'000));
    return assembled->text;
}

void checkPrinted(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider provider(data, size);
    const varno::fuzz::PrintedStatus printed = varno::fuzz::printStatus(provider);
    const varno::ParsedStatus status = varno::parseStatusReply(printed.reply);
    varno::fuzz::checkStatus(status);
    VARNO_FUZZ_REQUIRE(varno::fuzz::sameStatus(status, printed.expected));
    VARNO_FUZZ_REQUIRE(reassembled(printed.reply) == printed.reply);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    if (data[0] % (kHeads.size() + 1) == kHeads.size()) {
        checkPrinted(data + 1, size - 1);
        return 0;
    }
    std::string reply(kHeads[data[0] % (kHeads.size() + 1)]);
    reply.append(reinterpret_cast<const char*>(data + 1), size - 1);

    const varno::ParsedStatus status = varno::parseStatusReply(reply);
    varno::fuzz::checkStatus(status);

    // The datagram's 0xFF bytes and "print" line may stay in front or be taken off: the table reads the same.
    const std::string_view text(reply);
    if (text.starts_with(kReplyPrefix))
        VARNO_FUZZ_REQUIRE(varno::fuzz::sameStatus(status, varno::parseStatusReply(text.substr(kReplyPrefix.size()))));
    return 0;
}
