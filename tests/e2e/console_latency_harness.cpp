// Run by hand: e2e_tests --gtest_also_run_disabled_tests --gtest_filter='*SendCommandLatency*'
// Prints how long a click on Send Command holds the window, and how long until the server has run the command.

#include "e2e/console_bridge_fixture.h"
#include "gui/console/console_page.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace varno;
using namespace varno::test;

namespace {

constexpr int kRounds = 100;

void printFigures(const char* what, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    const auto at = [&](double share) { return ms[std::min(ms.size() - 1, std::size_t(share * double(ms.size())))]; };
    std::printf("%-28s median %6.2f ms  p95 %6.2f ms  max %6.2f ms  (%zu rounds)\n", what, at(0.5), at(0.95), ms.back(),
                ms.size());
}

TEST_F(StandinConsoleTest, DISABLED_SendCommandLatency)
{
    launch();
    ASSERT_TRUE(waitForServerReady());
    ASSERT_TRUE(waitForStandinCommand(QStringLiteral("echo Varno Interface Complete!")));
    page->CmdBox->setEditText(QStringLiteral("Fraglimit"));

    std::vector<double> clickMs;
    std::vector<double> arrivalMs;
    for (int round = 0; round < kRounds; ++round) {
        ASSERT_TRUE(waitUntilIdle());
        const QString value = QString::number(1000 + round);
        page->ValueEdit->setText(value);
        QElapsedTimer timer;
        timer.start();
        click(page->SendButton);
        clickMs.push_back(double(timer.nsecsElapsed()) / 1e6);
        ASSERT_TRUE(waitForStandinCommand(QStringLiteral("Fraglimit ") + value));
        arrivalMs.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    printFigures("click handler (window held)", clickMs);
    printFigures("click to command run", arrivalMs);
}

} // namespace
