#include "core/launch/run_record.h"

#include <gtest/gtest.h>

using namespace varno;

TEST(RunRecord, ReadsBackWhatItWritesAndNothingElse)
{
    EXPECT_EQ(parseRunRecord(formatRunRecord({4120, 133502345678901234})), (RunRecord{4120, 133502345678901234}));
    for (const char* text : {"", "4120 1335023456", "4120\n", "4120  1335023456\n", "-4120 1335023456\n",
                             "4120 +1335023456\n", "0 1335023456\n", "4120 0\n", "4294967296 1335023456\n",
                             "4120 18446744073709551616\n", "4120 1335023456\n7\n"})
        EXPECT_EQ(parseRunRecord(text), std::nullopt) << text;
}

TEST(RunRecord, EachProfileHasAFileOfItsOwn)
{
    EXPECT_EQ(runRecordProfile(runRecordFileName("")), "");
    EXPECT_EQ(runRecordProfile(runRecordFileName("second-hall")), "second-hall");
    for (const char* name : {"server-run..txt", "server-run.Hall.txt", "server-runner.txt", "server-run.txt.41.tmp"})
        EXPECT_EQ(runRecordProfile(name), std::nullopt) << name;
}

TEST(RunRecord, AServerIsTheProcessItsRecordNamesAndTheFirstServerMayTakeAnUnrecordedOne)
{
    const RunRecord first{100, 5000}, second{200, 6000}, unrecorded{300, 7000}, unknownTime{200, 0};
    const struct {
        const char* what;
        std::vector<RunRecord> consoles;
        bool firstServer;
        std::optional<RunRecord> own;
        std::vector<RunRecord> others;
        std::optional<std::size_t> expected;
    } cases[] = {
        {"its recorded process", {first, second}, false, second, {first}, 1},
        {"its id given to a later process", {RunRecord{200, 6001}}, false, second, {}, std::nullopt},
        {"a process of unknown time", {unknownTime}, false, second, {}, std::nullopt},
        {"another's, without a record", {first}, false, std::nullopt, {first}, std::nullopt},
        {"the first's, unrecorded", {first, unrecorded}, true, std::nullopt, {first}, 1},
        {"the first's, beside a stale record", {RunRecord{100, 4000}}, true, std::nullopt, {first}, 0},
        {"the first's, all recorded", {first, unknownTime}, true, std::nullopt, {first, second}, std::nullopt},
        {"the first's, with a record", {unrecorded}, true, first, {}, std::nullopt},
    };
    for (const auto& entry : cases)
        EXPECT_EQ(recordedServerAmong(entry.consoles, entry.firstServer, entry.own, entry.others), entry.expected)
            << entry.what;
}
