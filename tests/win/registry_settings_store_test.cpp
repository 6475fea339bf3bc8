#include "platform/win/registry_settings_store.h"

#include "core/app/varno_error.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>

using varno::RegistrySettingsStore;
using varno::VarnoError;

namespace {

constexpr const char* kRootKey = "software\\Vrn";

// Every test gets a key of its own that stands in for HKEY_CURRENT_USER in this process, so that
// nothing touches the real user's settings, on Windows as under Wine.
class RegistrySettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_userKeyPath = "Software\\VarnoTests\\" +
                        std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
                        std::to_string(GetCurrentProcessId());
        RegDeleteTreeA(HKEY_CURRENT_USER, m_userKeyPath.c_str());
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, m_userKeyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_ALL_ACCESS, nullptr, &m_userKey, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, m_userKey), ERROR_SUCCESS);
    }

    void TearDown() override
    {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        if (m_userKey)
            RegCloseKey(m_userKey);
        RegDeleteTreeA(HKEY_CURRENT_USER, m_userKeyPath.c_str());
    }

    static bool keyExists(const std::string& path)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }

    static std::string sectionPath(const std::string& section) { return std::string(kRootKey) + "\\" + section; }

    struct StoredValue {
        DWORD type = REG_NONE;
        std::string bytes;
    };

    static std::optional<StoredValue> storedValue(const std::string& section, const std::string& name)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, sectionPath(section).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return std::nullopt;
        StoredValue value;
        DWORD size = 0;
        LONG status = RegQueryValueExA(key, name.c_str(), nullptr, &value.type, nullptr, &size);
        if (status == ERROR_SUCCESS) {
            value.bytes.resize(size);
            status = RegQueryValueExA(key, name.c_str(), nullptr, &value.type,
                                      reinterpret_cast<BYTE*>(value.bytes.data()), &size);
            value.bytes.resize(size);
        }
        RegCloseKey(key);
        if (status != ERROR_SUCCESS)
            return std::nullopt;
        return value;
    }

    // Puts a value there as another program might have, bypassing the store.
    static void putRawValue(const std::string& section, const std::string& name, DWORD type, const void* data,
                            DWORD size)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, sectionPath(section).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
        RegCloseKey(key);
    }

    std::string m_userKeyPath;
    HKEY m_userKey = nullptr;
};

} // namespace

TEST_F(RegistrySettingsStoreTest, AFreshUserGetsTheKeyOnFirstUseAndNoSectionUntilAWrite)
{
    EXPECT_FALSE(keyExists(kRootKey));
    RegistrySettingsStore store;
    EXPECT_TRUE(keyExists(kRootKey));

    EXPECT_EQ(store.ReadString("ServerSettings", "ServerName", "Varno - Beastly Server"), "Varno - Beastly Server");
    EXPECT_EQ(store.ReadInteger("ServerSettings", "Memory", 56), 56);
    EXPECT_TRUE(store.ReadBool("ServerSettings", "AllowRCon", true));
    EXPECT_FALSE(keyExists(sectionPath("ServerSettings")));

    store.WriteString("ServerSettings", "ServerName", "Frag Hall");
    EXPECT_TRUE(keyExists(sectionPath("ServerSettings")));
}

TEST_F(RegistrySettingsStoreTest, WritesStringValuesWithTheirTerminatingZero)
{
    const struct {
        const char* name;
        std::string text;
    } cases[] = {
        {"ServerName", "Varno - Beastly Server"},
        {"RConPW", ""},
        {"Memory", "56"},
        {"MapRotation", "q3dm1,\"q3 dm7\",q3tourney2"},
    };
    for (const auto& entry : cases) {
        RegistrySettingsStore store;
        store.WriteString("ServerSettings", entry.name, entry.text);

        const auto stored = storedValue("ServerSettings", entry.name);
        ASSERT_TRUE(stored) << entry.name;
        EXPECT_EQ(stored->type, static_cast<DWORD>(REG_SZ)) << entry.name;
        EXPECT_EQ(stored->bytes, entry.text + std::string(1, '\0')) << entry.name;
        EXPECT_EQ(RegistrySettingsStore().ReadString("ServerSettings", entry.name, "default"), entry.text);
    }
}

TEST_F(RegistrySettingsStoreTest, IntegersAndFlagsAreStoredAsDecimalText)
{
    RegistrySettingsStore store;
    store.WriteInteger("AdvancedSettings", "Gravity", -800);
    store.WriteBool("AdvancedSettings", "PS", true);
    store.WriteBool("AdvancedSettings", "CD", false);

    EXPECT_EQ(storedValue("AdvancedSettings", "Gravity")->bytes, std::string("-800", 5));
    EXPECT_EQ(storedValue("AdvancedSettings", "PS")->bytes, std::string("1", 2));
    EXPECT_EQ(storedValue("AdvancedSettings", "CD")->bytes, std::string("0", 2));
    EXPECT_EQ(store.ReadInteger("AdvancedSettings", "Gravity", 0), -800);
    EXPECT_TRUE(store.ReadBool("AdvancedSettings", "PS", false));
    EXPECT_FALSE(store.ReadBool("AdvancedSettings", "CD", true));
}

TEST_F(RegistrySettingsStoreTest, EraseSectionRemovesOnlyThatSectionAndIgnoresAMissingOne)
{
    RegistrySettingsStore store;
    store.WriteString("BotSettings", "BotList", "101");
    store.WriteString("BotSettings", "MinBots", "2");
    store.WriteString("General", "RestoreFlags", "2");

    store.EraseSection("BotSettings");
    EXPECT_FALSE(keyExists(sectionPath("BotSettings")));
    EXPECT_EQ(store.ReadString("BotSettings", "BotList", "none"), "none");
    EXPECT_EQ(store.ReadString("General", "RestoreFlags", "0"), "2");

    EXPECT_NO_THROW(store.EraseSection("BotSettings"));
    EXPECT_NO_THROW(store.EraseSection("ServerTools"));
    EXPECT_TRUE(keyExists(sectionPath("General")));
    EXPECT_TRUE(keyExists(kRootKey));
}

TEST_F(RegistrySettingsStoreTest, AValueOfAnotherTypeFailsEveryRead)
{
    const DWORD number = 56;
    putRawValue("ServerSettings", "Memory", REG_DWORD, &number, sizeof(number));
    RegistrySettingsStore store;

    const auto messageOf = [](const auto& read) -> std::string {
        try {
            read();
        } catch (const VarnoError& error) {
            return error.what();
        }
        return "no error";
    };
    EXPECT_EQ(messageOf([&] { store.ReadString("ServerSettings", "Memory", "56"); }), "Invalid data type for 'Memory'");
    EXPECT_EQ(messageOf([&] { store.ReadInteger("ServerSettings", "Memory", 56); }), "Invalid data type for 'Memory'");
    EXPECT_EQ(messageOf([&] { store.ReadBool("ServerSettings", "Memory", true); }), "Invalid data type for 'Memory'");
}

TEST_F(RegistrySettingsStoreTest, ReadIntegerTakesHexadecimalAndFallsBackOnBadText)
{
    const struct {
        const char* text;
        int expected;
    } cases[] = {
        {"0x1F", 31}, {"0X1f", 31},  {"0x7FFFFFFF", 2147483647}, {"27960", 27960}, {"-5", -5}, {"0x", -1}, {"abc", -1},
        {"", -1},     {"12abc", -1},
    };
    for (const auto& entry : cases) {
        RegistrySettingsStore store;
        store.WriteString("ServerTools", "LPBRemotePort", entry.text);
        EXPECT_EQ(store.ReadInteger("ServerTools", "LPBRemotePort", -1), entry.expected) << entry.text;
    }
}

TEST_F(RegistrySettingsStoreTest, StoredTextEndsAtItsFirstZeroByte)
{
    const struct {
        const char* label;
        std::string bytes;
        std::string expected;
    } cases[] = {
        {"embedded zero", std::string("Frag\0Hall\0", 10), "Frag"},
        {"no terminating zero", std::string("Frag Hall"), "Frag Hall"},
        {"zero only", std::string(1, '\0'), ""},
    };
    for (const auto& entry : cases) {
        putRawValue("ServerSettings", "ServerName", REG_SZ, entry.bytes.data(), static_cast<DWORD>(entry.bytes.size()));
        EXPECT_EQ(RegistrySettingsStore().ReadString("ServerSettings", "ServerName", "default"), entry.expected)
            << entry.label;
    }
}
