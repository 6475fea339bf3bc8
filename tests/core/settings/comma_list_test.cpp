#include "core/settings/comma_list.h"

#include <gtest/gtest.h>

using varno::FromCommaList;
using varno::ToCommaList;
using List = std::vector<std::string>;

TEST(CommaList, WritesItemsQuotingOnlyWhatNeedsIt)
{
    const struct {
        List items;
        std::string text;
    } cases[] = {
        {{}, ""},
        {{""}, "\"\""},
        {{"q3dm1", "q3dm7", "q3tourney2"}, "q3dm1,q3dm7,q3tourney2"},
        {{"my map"}, "\"my map\""},
        {{"a,b"}, "\"a,b\""},
        {{"say \"hi\""}, "\"say \"\"hi\"\"\""},
        {{"tab\there"}, "\"tab\there\""},
        {{"a", "", "b"}, "a,,b"},
        {{"", ""}, ","},
        {{"x", ""}, "x,"},
        {{"caf\xc3\xa9"}, "caf\xc3\xa9"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ToCommaList(c.items), c.text);
}

TEST(CommaList, ReadsQuotedAndBareItems)
{
    const struct {
        std::string text;
        List items;
    } cases[] = {
        {"", {}},
        {"   ", {}},
        {"\"\"", {""}},
        {"q3dm1,q3dm7,q3tourney2", {"q3dm1", "q3dm7", "q3tourney2"}},
        {" q3dm1 , q3dm7 ", {"q3dm1", "q3dm7"}},
        {"q3dm1 q3dm7", {"q3dm1", "q3dm7"}},           // an unquoted blank ends an item
        {"\"my map\",x", {"my map", "x"}},
        {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
        {"a,,b", {"a", "", "b"}},
        {"x,", {"x"}},                                // a final empty item is lost
        {",x", {"", "x"}},
        {"\"unterminated", {"unterminated"}},
        {"\"a\"b", {"a", "b"}},
        {std::string("a\0b,c", 5), {"a"}},            // the text ends at a zero byte
    };
    for (const auto& c : cases)
        EXPECT_EQ(FromCommaList(c.text), c.items) << "text: " << c.text;
}

TEST(CommaList, RoundTripsEveryListButOneEndingInAnEmptyItem)
{
    const List lists[] = {
        {}, {""}, {"q3dm1"}, {"my map", "with,comma", "quote\"d", "", "end"}, {" lead", "trail "},
    };
    for (const auto& items : lists)
        EXPECT_EQ(FromCommaList(ToCommaList(items)), items);
}

TEST(CommaList, ReadingClearsTheTargetList)
{
    List items{"old"};
    FromCommaList("new", items);
    EXPECT_EQ(items, List{"new"});
}
