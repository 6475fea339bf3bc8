#include "core/launch/run_record.h"

#include <gtest/gtest.h>

using namespace varno;

TEST(RunRecord, ReadsBackWhatItWritesAndNothingElse)
{
    const RunRecord record{4120, 133502345678901234};
    EXPECT_EQ(parseRunRecord(formatRunRecord(record)), record);

    for (const char* text : {"", "4120 133502345678901234", "4120\n", "4120  133502345678901234\n",
                             "-4120 133502345678901234\n", "4120 +133502345678901234\n", "0 133502345678901234\n",
                             "4120 0\n", "4294967296 133502345678901234\n", "4120 18446744073709551616\n",
                             "4120 1335023456x\n", "4120 133502345678901234\n7\n"})
        EXPECT_EQ(parseRunRecord(text), std::nullopt) << text;
}

TEST(RunRecord, EachProfileHasAFileOfItsOwn)
{
    const struct {
        const char* fileName;
        std::optional<std::string> profile;
    } cases[] = {
        {"server-run.txt", ""},
        {"server-run.second-hall.txt", "second-hall"},
        {"server-run..txt", std::nullopt},
        {"server-run.Second.txt", std::nullopt},
        {"server-runner.txt", std::nullopt},
        {"settings.second-hall.ini", std::nullopt},
        {"server-run.txt.4120.tmp", std::nullopt},
    };
    for (const auto& entry : cases) {
        EXPECT_EQ(runRecordProfile(entry.fileName), entry.profile) << entry.fileName;
        if (entry.profile)
            EXPECT_EQ(runRecordFileName(*entry.profile), entry.fileName);
    }
}

TEST(RunRecord, AServerIsTheProcessItsRecordNamesAndTheFirstServerMayTakeAnUnrecordedOne)
{
    const RunRecord first{100, 5000};
    const RunRecord second{200, 6000};
    const RunRecord unrecorded{300, 7000};
    const RunRecord unknownTime{200, 0};
    const struct {
        const char* what;
        std::vector<RunRecord> consoles;
        bool firstServer;
        std::optional<RunRecord> own;
        std::vector<RunRecord> others;
        std::optional<std::size_t> expected;
    } cases[] = {
        {"its recorded process", {first, second}, false, second, {first}, 1},
        {"the id given to a later process", {RunRecord{200, 6001}}, false, second, {}, std::nullopt},
        {"a process of unknown time", {unknownTime}, false, second, {}, std::nullopt},
        {"another's without a record", {first}, false, std::nullopt, {first}, std::nullopt},
        {"the first's unrecorded", {first, unrecorded}, true, std::nullopt, {first}, 1},
        {"the first's after a stale record", {RunRecord{100, 4000}}, true, std::nullopt, {first}, 0},
        {"the first's, all recorded", {first, unknownTime}, true, std::nullopt, {first, second}, std::nullopt},
        {"the first's own record only", {unrecorded}, true, first, {}, std::nullopt},
    };
    for (const auto& entry : cases)
        EXPECT_EQ(recordedServerAmong(entry.consoles, entry.firstServer, entry.own, entry.others), entry.expected)
            << entry.what;
}
