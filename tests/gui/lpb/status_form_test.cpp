#include "gui/app/forms.h"
#include "gui/app/main_window.h"
#include "gui/lpb/fake_rcon_server.h"
#include "gui/lpb/lpb_page.h"
#include "gui/lpb/status_form.h"
#include "support/gui_fixture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextEdit>

using namespace varno;
using namespace varno::test;

namespace {

TStatusForm& statusForm()
{
    return *forms().StatusForm;
}

QStringList headerTexts(const QTableWidget* grid)
{
    QStringList texts;
    for (int column = 0; column < grid->columnCount(); ++column)
        texts << grid->horizontalHeaderItem(column)->text();
    return texts;
}

} // namespace

class StatusFormTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        createWindows(false, false);
    }
};

TEST_F(StatusFormTest, StartsHiddenWithItsTabsAndAnEmptyHeaderUntilShown)
{
    TStatusForm& form = statusForm();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Status Window"));
    EXPECT_EQ(form.objectName(), QStringLiteral("StatusForm"));
    ASSERT_EQ(form.PageControl1->count(), 2);
    EXPECT_EQ(form.PageControl1->tabText(0), QStringLiteral("Grid View"));
    EXPECT_EQ(form.PageControl1->tabText(1), QStringLiteral("RAW Data View"));
    EXPECT_EQ(form.StatusGrid->rowCount(), 1);
    EXPECT_EQ(form.StatusGrid->columnCount(), 4);
    EXPECT_EQ(headerTexts(form.StatusGrid), (QStringList{"", "", "", ""}));
    EXPECT_TRUE(form.RichStatus->isReadOnly());
    EXPECT_FALSE(form.CopyGW->isVisibleTo(&form));
    QStringList items;
    for (const QAction* action : form.StatusPopup->actions())
        items << action->text();
    EXPECT_EQ(items, (QStringList{"Copy Selection", "", "Kick", "Ban"}));
}

TEST_F(StatusFormTest, ViewStatusShowsItModelessCentredAsANormalWindowWithItsHeader)
{
    click(forms().Form1->lpbPage->Button10);
    TStatusForm& form = statusForm();
    ASSERT_TRUE(form.isVisible());
    EXPECT_FALSE(form.isModal());
    EXPECT_FALSE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(headerTexts(form.StatusGrid), (QStringList{"Player's Name", "Ping", "IP Address", ""}));
    const QRect screen = form.screen()->availableGeometry();
    EXPECT_LE((form.frameGeometry().center() - screen.center()).manhattanLength(), 4);
    EXPECT_GE(form.width(), 416);
    EXPECT_GE(form.height(), 271);
}

TEST_F(StatusFormTest, TheRawViewDropsTheFirstLineAndDrawsAShortSeparatorAcross)
{
    const QString dashes(121, QLatin1Char('-'));
    const QString longSeparator(80, QLatin1Char('-'));
    const struct {
        QString reply;
        QStringList lines;
    } cases[] = {
        {QString::fromLatin1("\xff\xff\xff\xffprint\nmap: q3dm17\nnum score\n--- -----\n  0 row\n"),
         {"", "map: q3dm17", "num score", dashes, "  0 row", ""}},
        {QStringLiteral("print\nmap: x\nhead\n") + longSeparator + QStringLiteral("\n"),
         {"", "map: x", "head", longSeparator, ""}},
        {QStringLiteral("print\nBad rconpassword.\n"), {"", "Bad rconpassword.", ""}},
    };
    for (const auto& c : cases) {
        statusForm().setRawText(c.reply);
        EXPECT_EQ(statusForm().RichStatus->toPlainText().split(QLatin1Char('\n')), c.lines);
    }
}

TEST_F(StatusFormTest, CopySelectionPutsTheSelectedCellOnTheClipboard)
{
    TStatusForm& form = statusForm();
    form.addPlayerRow({" 0", "0", "Sarge^7 ", "bot"});
    form.addPlayerRow({" 1", "45", "Player^7 ", "192.168.0.7:27960"});
    form.StatusGrid->setCurrentCell(1, 2);
    form.CopySelection1->trigger();
    EXPECT_EQ(form.CopyGW->text(), QStringLiteral("192.168.0.7:27960"));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("192.168.0.7:27960"));
    EXPECT_EQ(form.StatusGrid->rowCount(), 3);

    form.resetGrid();
    EXPECT_EQ(form.StatusGrid->rowCount(), 1);
    EXPECT_EQ(form.StatusGrid->item(0, 0), nullptr);
}
