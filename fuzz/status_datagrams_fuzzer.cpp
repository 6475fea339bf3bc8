// Datagrams from several senders, joined into replies by ReplyAssembler and read by the status parser.
//
// Input: one byte for the join window in milliseconds, then records of one control byte (low four bits: the
// sender, high four bits: an index into kDelays, the time since the previous datagram), a little-endian
// 16-bit payload length (cut to what is left) and the payload.

#include "core/lpb/reply_assembler.h"
#include "core/lpb/status_parser.h"
#include "fuzz_check.h"
#include "status_checks.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace varno;

// From datagrams of one burst to pauses far beyond any join window, with the window's edges in between.
constexpr std::array<std::int64_t, 16> kDelays = {0, 0, 1, 2, 5, 10, 20, 50, 90, 99, 100, 101, 150, 250, 1000, 5000};

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size)
        : m_data(data)
        , m_size(size)
    {
    }

    bool atEnd() const { return m_pos >= m_size; }

    std::uint8_t byte() { return atEnd() ? 0 : m_data[m_pos++]; }

    std::string_view bytes(std::size_t count)
    {
        count = std::min(count, m_size - m_pos);
        const std::string_view text(reinterpret_cast<const char*>(m_data + m_pos), count);
        m_pos += count;
        return text;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

class Harness {
public:
    explicit Harness(std::int64_t joinWindowMs)
        : m_assembler(joinWindowMs)
    {
    }

    void feed(std::string_view payload, std::int64_t arrivalMs, const std::string& source)
    {
        m_fed[source].emplace_back(payload);
        m_assembler.feed(payload, arrivalMs, source);
        VARNO_FUZZ_REQUIRE(!m_assembler.isEmpty() && m_assembler.nextDeadline().has_value());
    }

    // What a caller does when its timer fires at nowMs: take every complete reply.
    void drain(std::int64_t nowMs)
    {
        while (auto reply = m_assembler.takeComplete(nowMs))
            check(*reply);
        // Anything still held waits for a later time, or the caller's timer would fire at once forever.
        if (const auto deadline = m_assembler.nextDeadline())
            VARNO_FUZZ_REQUIRE(*deadline > nowMs);
    }

    void drainAll(std::int64_t nowMs)
    {
        drain(nowMs);
        VARNO_FUZZ_REQUIRE(m_assembler.isEmpty() && !m_assembler.nextDeadline());
    }

private:
    void check(const AssembledReply& reply)
    {
        // A reply is a datagram of its own sender, perhaps with continuations, and stays bounded.
        const auto fed = m_fed.find(reply.source);
        VARNO_FUZZ_REQUIRE(fed != m_fed.end());
        bool startsWithFed = false;
        std::size_t firstSize = 0;
        for (const std::string& payload : fed->second) {
            if (reply.text.starts_with(payload)) {
                startsWithFed = true;
                firstSize = std::max(firstSize, payload.size());
            }
        }
        VARNO_FUZZ_REQUIRE(startsWithFed);
        VARNO_FUZZ_REQUIRE(reply.text.size() <= std::max(ReplyAssembler::kMaxReplyBytes, firstSize));

        const ParsedStatus status = parseStatusReply(reply.text);
        fuzz::checkStatus(status);
    }

    ReplyAssembler m_assembler;
    std::map<std::string, std::vector<std::string>, std::less<>> m_fed;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input input(data, size);
    Harness harness(input.byte());
    std::int64_t nowMs = 1'000'000;
    while (!input.atEnd()) {
        const std::uint8_t control = input.byte();
        std::size_t length = input.byte();
        length |= std::size_t(input.byte()) << 8;
        const std::string_view payload = input.bytes(length);
        nowMs += kDelays[control >> 4];
        harness.feed(payload, nowMs, "192.0.2." + std::to_string(control & 0x0F) + ":27960");
        harness.drain(nowMs);
    }
    harness.drainAll(nowMs + 1'000'000);
    return 0;
}
