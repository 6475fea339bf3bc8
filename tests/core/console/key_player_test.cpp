#include "core/console/key_player.h"

#include "key_test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

using namespace varno;
using varno::test::usEventsOf;

namespace {

// Holds the playback until the test finishes it, as a platform delivering keys in the background would.
class FakeInjector : public KeyInjector {
public:
    enum class Mode { Accept, Refuse, FinishAtOnce, Throw };

    bool start(std::vector<KeyEvent> events, std::function<void()> finished) override
    {
        ++starts;
        if (mode == Mode::Refuse)
            return false;
        if (mode == Mode::Throw)
            throw std::runtime_error("platform failure");
        played.push_back(std::move(events));
        finishers.push_back(std::move(finished));
        if (mode == Mode::FinishAtOnce)
            finish();
        return true;
    }

    // Reports the end of the latest playback.
    void finish() { finishers.back()(); }

    std::string deliveryProblem() const override { return problem; }

    Mode mode = Mode::Accept;
    std::string problem;
    int starts = 0;
    std::vector<std::vector<KeyEvent>> played;
    std::vector<std::function<void()>> finishers;
};

class KeyPlayerTest : public ::testing::Test {
protected:
    KeyPlayerTest()
    {
        auto injector = std::make_unique<FakeInjector>();
        m_injector = injector.get();
        m_player =
            std::make_unique<KeyPlayer>(std::move(injector), std::make_unique<UsKeyboardLayout>(), [] { return 0u; });
    }

    KeyPlayer& player() { return *m_player; }
    FakeInjector& injector() { return *m_injector; }

private:
    FakeInjector* m_injector = nullptr;
    std::unique_ptr<KeyPlayer> m_player;
};

} // namespace

TEST_F(KeyPlayerTest, HandsTheWholeEventListToTheInjector)
{
    EXPECT_EQ(player().PlayKeyString("echo hello{ENTER}"), kpOk);
    ASSERT_EQ(injector().played.size(), 1u);
    EXPECT_EQ(injector().played[0], usEventsOf("echo hello{ENTER}"));
    EXPECT_TRUE(player().isPlaying());
}

TEST_F(KeyPlayerTest, AnswersEachKindOfTextWithItsResult)
{
    const struct {
        std::string text;
        KeyPlayResult result;
    } cases[] = {
        {"Fraglimit 30{ENTER}", kpOk},
        {"{enter}", kpOk},
        {std::string(32767, 'a'), kpOk},
        {"", kpOtherError},
        {"@", kpOtherError},
        {"@^~", kpOtherError},
        {std::string(32768, 'a'), kpOtherError},
        {"{RETURN}", kpBadToken},
        {"{}", kpBadToken},
        {"{ESCAPEX}", kpBadToken},
        {"{ENTER", kpBadToken},
        {"kick ^1Bob{NAME}{ENTER}", kpBadToken},
    };
    for (const auto& c : cases) {
        const int startsBefore = injector().starts;
        EXPECT_EQ(player().PlayKeyString(c.text), c.result) << "text: " << c.text.substr(0, 40);
        EXPECT_EQ(injector().starts - startsBefore, c.result == kpOk ? 1 : 0) << "text: " << c.text.substr(0, 40);
        if (player().isPlaying())
            injector().finish();
    }
}

TEST_F(KeyPlayerTest, RefusesANewStringWhileOneIsPlaying)
{
    ASSERT_EQ(player().PlayKeyString("map q3dm1{ENTER}"), kpOk);
    EXPECT_EQ(player().PlayKeyString("map q3dm2{ENTER}"), kpBusy);
    EXPECT_EQ(player().PlayKeyString("{RETURN}"), kpBusy);
    EXPECT_EQ(injector().starts, 1);
    EXPECT_EQ(injector().played[0], usEventsOf("map q3dm1{ENTER}"));
    EXPECT_TRUE(player().isPlaying());

    injector().finish();
    EXPECT_FALSE(player().isPlaying());
    EXPECT_EQ(player().PlayKeyString("map q3dm2{ENTER}"), kpOk);
    ASSERT_EQ(injector().played.size(), 2u);
    EXPECT_EQ(injector().played[1], usEventsOf("map q3dm2{ENTER}"));
}

TEST_F(KeyPlayerTest, StaysIdleWhenTheInjectorRefuses)
{
    injector().mode = FakeInjector::Mode::Refuse;
    EXPECT_EQ(player().PlayKeyString("status{ENTER}"), kpHookFailed);
    EXPECT_FALSE(player().isPlaying());

    injector().mode = FakeInjector::Mode::Accept;
    EXPECT_EQ(player().PlayKeyString("status{ENTER}"), kpOk);
}

TEST_F(KeyPlayerTest, StaysIdleWhenTheInjectorFails)
{
    injector().mode = FakeInjector::Mode::Throw;
    EXPECT_EQ(player().PlayKeyString("status{ENTER}"), kpOtherError);
    EXPECT_FALSE(player().isPlaying());
}

TEST_F(KeyPlayerTest, IsIdleAgainWhenPlaybackEndsWithinStart)
{
    injector().mode = FakeInjector::Mode::FinishAtOnce;
    EXPECT_EQ(player().PlayKeyString("a"), kpOk);
    EXPECT_FALSE(player().isPlaying());
    EXPECT_EQ(player().PlayKeyString("b"), kpOk);
}

TEST_F(KeyPlayerTest, IgnoresARepeatedEndOfAnEarlierPlayback)
{
    ASSERT_EQ(player().PlayKeyString("a"), kpOk);
    injector().finishers[0]();
    ASSERT_EQ(player().PlayKeyString("b"), kpOk);

    injector().finishers[0]();
    EXPECT_TRUE(player().isPlaying());
    injector().finishers[1]();
    EXPECT_FALSE(player().isPlaying());
}

TEST_F(KeyPlayerTest, DropsModifiersLeftOverFromAnEarlierString)
{
    for (const std::string first : {"@", "^", "~", "@{RETURN}", "^{ENTER"}) {
        player().PlayKeyString(first);
        if (player().isPlaying())
            injector().finish();
        const auto before = injector().played.size();
        ASSERT_EQ(player().PlayKeyString("a"), kpOk) << "after " << first;
        ASSERT_EQ(injector().played.size(), before + 1);
        EXPECT_EQ(injector().played.back(), usEventsOf("a")) << "after " << first;
        injector().finish();
    }
}

TEST_F(KeyPlayerTest, ReportsTheEndOfEachPlaybackWithWhatWentWrong)
{
    std::vector<std::string> reports;
    player().setDeliveredHandler([&](const std::string& problem) { reports.push_back(problem); });
    ASSERT_EQ(player().PlayKeyString("a"), kpOk);
    EXPECT_TRUE(reports.empty());
    injector().finish();
    injector().finish(); // a repeated end is not a second report
    ASSERT_EQ(player().PlayKeyString("b"), kpOk);
    injector().problem = "the pane is dead";
    injector().finish();
    EXPECT_EQ(reports, (std::vector<std::string>{"", "the pane is dead"}));
    EXPECT_EQ(player().lastProblem(), "the pane is dead");
}
