#include "core/launch/engine_program.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string_view>
#include <random>

namespace fs = std::filesystem;
using varno::findEngineProgram;

namespace {

class EngineProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
#ifdef _WIN32
        // The engine search reads POSIX execute bits; on Windows the game is quake3.exe and nothing is searched.
        if (std::string_view(::testing::UnitTest::GetInstance()->current_test_info()->name()) !=
            "FindsNothingInAFolderWithoutAnEngine")
            GTEST_SKIP() << "no execute bits on Windows";
#endif
        std::random_device random;
        m_folder = fs::temp_directory_path() /
                   ("varno-engine-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                    "-" + std::to_string(random()));
        fs::create_directories(m_folder);
    }

    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }

    void addFile(const std::string& name, fs::perms permissions)
    {
        std::ofstream(m_folder / name) << "#!/bin/sh\n";
        fs::permissions(m_folder / name, permissions);
    }

    fs::path m_folder;
};

constexpr fs::perms kReadWrite = fs::perms::owner_read | fs::perms::owner_write;
constexpr fs::perms kExecutable = kReadWrite | fs::perms::owner_exec;

} // namespace

TEST_F(EngineProgram, FindsNothingInAFolderWithoutAnEngine)
{
    EXPECT_EQ(findEngineProgram(m_folder), std::nullopt);
    addFile("quake3.exe", kExecutable);
    addFile("ioq3ded.sh", kExecutable);
    EXPECT_EQ(findEngineProgram(m_folder), std::nullopt);
    EXPECT_EQ(findEngineProgram(m_folder / "missing"), std::nullopt);
}

TEST_F(EngineProgram, TakesTheFirstNameInPreferenceOrder)
{
    addFile("q3ded", kExecutable);
    addFile("oa_ded", kExecutable);
    EXPECT_EQ(findEngineProgram(m_folder), m_folder / "oa_ded");
    addFile("ioq3ded", kExecutable);
    EXPECT_EQ(findEngineProgram(m_folder), m_folder / "ioq3ded");
}

TEST_F(EngineProgram, SkipsFilesWithoutExecutePermissionAndFolders)
{
    addFile("ioq3ded", kReadWrite);
    fs::create_directory(m_folder / "ioq3ded.x86_64");
    addFile("q3ded", kExecutable);
    EXPECT_EQ(findEngineProgram(m_folder), m_folder / "q3ded");
}

TEST_F(EngineProgram, AnyExecuteBitCounts)
{
    const fs::perms bits[] = {fs::perms::owner_exec, fs::perms::group_exec, fs::perms::others_exec};
    for (const auto bit : bits) {
        addFile("q3ded", kReadWrite | bit);
        EXPECT_EQ(findEngineProgram(m_folder), m_folder / "q3ded");
    }
}
