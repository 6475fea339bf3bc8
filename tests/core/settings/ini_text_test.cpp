#include "core/settings/ini_text.h"

#include "core/app/varno_error.h"

#include <gtest/gtest.h>

using namespace varno;

TEST(IniText, HandEditedLinesReadAsWrittenAndTheProgramsOwnAsWritten)
{
    const struct {
        std::string line;
        std::optional<std::string> value;
    } cases[] = {
        // Hand edits: the text after "=", blanks around it dropped.
        {"ServerName=Frag, Palace", "Frag, Palace"},
        {"MOTD=say \"hi\" there", "say \"hi\" there"},
        {"BanIPList=10.0.0.1,\"my host\"", "10.0.0.1,\"my host\""},
        {"MOTD=no camping; be nice", "no camping; be nice"},
        {"ServerName =  Frag Palace  ", "Frag Palace"},
        {"RConPW=pa\\ss", "pa\\ss"},
        {"MOTD=@home", "@home"},
        {"MOTD=say \"hi; there", "say \"hi; there"},
        // As the program (and QSettings) write them.
        {"ServerName=Frag Palace", "Frag Palace"},
        {"ServerName=\"Frag, Palace\"", "Frag, Palace"},
        {"MOTD=\"say \\\"hi\\\"; there\"", "say \"hi\"; there"},
        {"MOTD=\" padded \"", " padded "},
        {"MOTD=a\\\\b\\tc", "a\\b\tc"},
        {"MOTD=\\x1\\x66", "\x01"
                           "f"},
        {"MOTD=@@home", "@home"},
        {"MOTD=", ""},
        {"MOTD=@Invalid()", std::nullopt},
    };
    for (const auto& c : cases) {
        const std::string text = "[ServerSettings]\n" + c.line + "\n";
        const std::string name = c.line.substr(0, c.line.find_first_of(" ="));
        EXPECT_EQ(iniValue(text, "ServerSettings", name), c.value) << c.line;
    }
}

TEST(IniText, WrittenValuesReadBackUnchanged)
{
    const std::string values[] = {
        "",
        "plain",
        "Frag, Palace",
        "say \"hi\" there",
        "a;b=c",
        " lead",
        "trail ",
        "back\\slash",
        "@at",
        "@@twice",
        "tab\there",
        "line\nbreak",
        std::string("\x01"
                    "1f",
                    3),
        "\x7f",
        "Caf\xc3\xa9",
        "@Invalid()",
        "@Variant(x)",
        "q3dm1,\"my map\"",
    };
    std::string text;
    for (const auto& value : values) {
        text = withIniValue(text, "ServerSettings", "MOTD", value);
        EXPECT_EQ(iniValue(text, "ServerSettings", "MOTD"), value) << text;
    }
}

namespace {

// The text with its first from replaced by to.
std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    return text.replace(text.find(from), from.size(), to);
}

} // namespace

TEST(IniText, AWriteChangesOnlyItsOwnLine)
{
    const std::string file = "; kept as it is\n"
                             "[General]\nRestoreFlags=2\n\n"
                             "[ServerSettings]\nServerName=Frag, Palace\r\nMOTD=say \"hi\" there\n\n"
                             "[AdvancedSettings]\nPassword=x\n";
    const struct {
        std::string section;
        std::string name;
        std::string value;
        std::string text;
    } cases[] = {
        {"ServerSettings", "MOTD", "new", replaced(file, "MOTD=say \"hi\" there", "MOTD=new")},
        {"ServerSettings", "ServerName", "a,b", replaced(file, "ServerName=Frag, Palace", "ServerName=\"a,b\"")},
        {"ServerSettings", "RConPW", "pw", replaced(file, "there\n\n", "there\nRConPW=pw\n\n")},
        {"MapSettings", "MapRotation", "q3dm1", file + "\n[MapSettings]\nMapRotation=q3dm1\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(withIniValue(file, c.section, c.name, c.value), c.text) << c.name;
    // A file without a General section gets one at its top.
    EXPECT_EQ(withIniValue("[A]\nx=1\n", "General", "RestoreFlags", "2"), "[General]\nRestoreFlags=2\n\n[A]\nx=1\n");
    EXPECT_EQ(withIniValue("", "A", "x", "1"), "[A]\nx=1\n");
}

TEST(IniText, ErasesASectionAndListsWhatIsLeft)
{
    const std::string file = "[General]\nRestoreFlags=2\n[A]\nx=1\n; note\n[B]\ny=2\n[A]\nz=3\n";
    EXPECT_EQ(withoutIniSection(file, "A"), "[General]\nRestoreFlags=2\n[B]\ny=2\n");
    EXPECT_EQ(withoutIniSection(file, "Missing"), file);
    EXPECT_EQ(iniValueNames(file), (std::vector<std::string>{"General/RestoreFlags", "A/x", "B/y", "A/z"}));
}

TEST(IniText, TypedValuesAreRefused)
{
    for (const std::string value : {"@Variant(\\0\\0\\0\\x2)", "@ByteArray(abc)", "@Rect(1 2 3 4)"}) {
        try {
            iniValue("[S]\nServerName=" + value + "\n", "S", "ServerName");
            ADD_FAILURE() << value;
        } catch (const VarnoError& error) {
            EXPECT_STREQ(error.what(), "Invalid data type for 'ServerName'");
        }
    }
}
