#include "core/settings/schema.h"
#include "gui/app/dialogs.h"
#include "gui/app/forms.h"
#include "gui/app/main_window.h"
#include "gui/app/status_line.h"
#include "gui/launch/map_rotation_page.h"
#include "gui/launch/press_list_widget.h"
#include "gui/settings/prop_form.h"
#include "gui/settings/startup_page.h"
#include "support/gui_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest/QTest>

using namespace varno;
using namespace varno::test;

class MapRotationTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        createWindows(false, true);
        forms().Form1->showPage(QStringLiteral("Map Rotation"));
        forms().Form1->activateWindow();
        ASSERT_TRUE(waitFor([] { return forms().Form1->isActiveWindow(); }));
        dialogs::takeMessages();
        page = forms().Form1->mapRotationPage;
    }

    std::string storedRotation() { return settings->read(kMapRotation.section, kMapRotation.name); }

    QStringList rotationEntries() const
    {
        QStringList entries;
        for (int i = 0; i < page->RotateMapListBox->count(); ++i)
            entries << page->RotateMapListBox->item(i)->text();
        return entries;
    }

    void selectChoices(const QStringList& names)
    {
        page->MapsListBox->clearSelection();
        for (const QString& name : names)
            page->MapsListBox->findItems(name, Qt::MatchExactly).front()->setSelected(true);
    }

    QByteArray saveMapList(int type, const QString& name)
    {
        const QString path = settings->path(name);
        dialogs::queueSaveAnswer({true, path, type});
        click(page->MapListButton);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(path);
        return file.readAll();
    }

    MapRotationPage* page = nullptr;
};

TEST_F(MapRotationTest, ChoiceListHoldsTheStockMapsInOrder)
{
    EXPECT_EQ(page->MapsListBox->count(), 32);
    EXPECT_EQ(page->MapsListBox->item(0)->text(), QStringLiteral("q3ctf1"));
    EXPECT_EQ(page->MapsListBox->item(22)->text(), QStringLiteral("q3dm19"));
    EXPECT_EQ(page->MapsListBox->item(31)->text(), QStringLiteral("q3wctf3"));
    const struct {
        QToolButton* button;
        const char* caption;
        const char* hint;
    } buttons[] = {{page->SpeedButton2, "->", "Add Selected"},
                   {page->SpeedButton3, "<-", "Remove Selected"},
                   {page->SpeedButton1, ">>", "Add All"},
                   {page->SpeedButton4, "<<", "Remove All"}};
    for (const auto& b : buttons) {
        EXPECT_EQ(b.button->text(), QString::fromLatin1(b.caption));
        EXPECT_EQ(b.button->toolTip(), QString::fromLatin1(b.hint));
    }
}

TEST_F(MapRotationTest, AddSelectedAppendsInChoiceOrderAndResetsTheStartMap)
{
    auto* startMap = forms().Form1->startupPage->StartMapBox;
    startMap->setEditText(QStringLiteral("q3dm17"));
    selectChoices({"q3tourney2", "q3dm1", "q3dm7"});
    click(page->SpeedButton2);
    EXPECT_EQ(rotationEntries(), (QStringList{"q3dm1", "q3dm7", "q3tourney2"}));
    EXPECT_EQ(storedRotation(), "q3dm1,q3dm7,q3tourney2");
    EXPECT_EQ(startMap->currentText(), QStringLiteral("<none>"));
    EXPECT_EQ(page->MapsListBox->selectedItems().size(), 3);

    // Nothing selected: nothing added, but the value is written again.
    page->MapsListBox->clearSelection();
    settings->write(kMapRotation.section, kMapRotation.name, "stale");
    click(page->SpeedButton2);
    EXPECT_EQ(storedRotation(), "q3dm1,q3dm7,q3tourney2");
}

TEST_F(MapRotationTest, AddAllTwiceGivesSixtyFourEntries)
{
    click(page->SpeedButton1);
    click(page->SpeedButton1);
    EXPECT_EQ(page->RotateMapListBox->count(), 64);
    const QStringList stock = MapRotationPage::stockMaps();
    EXPECT_EQ(QString::fromStdString(storedRotation()), (stock + stock).join(QLatin1Char(',')));
}

TEST_F(MapRotationTest, RemoveSelectedAndRemoveAll)
{
    page->setRotation({"a", "b", "c", "d"});
    page->RotateMapListBox->item(0)->setSelected(true);
    page->RotateMapListBox->item(2)->setSelected(true);
    click(page->SpeedButton3);
    EXPECT_EQ(rotationEntries(), (QStringList{"b", "d"}));
    EXPECT_EQ(storedRotation(), "b,d");
    click(page->SpeedButton4);
    EXPECT_TRUE(rotationEntries().isEmpty());
    EXPECT_EQ(storedRotation(), "");
    click(page->SpeedButton4); // on an empty list too
    EXPECT_EQ(storedRotation(), "");
}

TEST_F(MapRotationTest, MoveUpExchangesTheFocusedEntryWithItsNeighbour)
{
    page->setRotation({"q3dm1", "q3dm7", "q3dm9"});
    page->RotateMapListBox->item(1)->setSelected(true);
    page->RotateMapListBox->item(0)->setSelected(true);
    page->RotateMapListBox->setCurrentRow(1, QItemSelectionModel::NoUpdate);
    click(page->Button6);
    EXPECT_EQ(rotationEntries(), (QStringList{"q3dm7", "q3dm1", "q3dm9"}));
    EXPECT_TRUE(page->RotateMapListBox->item(0)->isSelected());
    EXPECT_FALSE(page->RotateMapListBox->item(1)->isSelected());
    EXPECT_EQ(storedRotation(), "q3dm7,q3dm1,q3dm9");
    EXPECT_TRUE(page->RotateMapListBox->hasFocus());

    // At the top nothing moves, but the value is stored again.
    settings->write(kMapRotation.section, kMapRotation.name, "stale");
    click(page->Button6);
    EXPECT_EQ(rotationEntries(), (QStringList{"q3dm7", "q3dm1", "q3dm9"}));
    EXPECT_EQ(storedRotation(), "q3dm7,q3dm1,q3dm9");
}

TEST_F(MapRotationTest, MoveDownStopsAtTheLastEntry)
{
    page->setRotation({"a", "b", "c"});
    page->RotateMapListBox->setCurrentRow(1, QItemSelectionModel::NoUpdate);
    click(page->Button7);
    EXPECT_EQ(rotationEntries(), (QStringList{"a", "c", "b"}));
    EXPECT_TRUE(page->RotateMapListBox->item(2)->isSelected());
    click(page->Button7);
    EXPECT_EQ(rotationEntries(), (QStringList{"a", "c", "b"}));
    EXPECT_EQ(storedRotation(), "a,c,b");
}

TEST_F(MapRotationTest, UntouchedListMovesItsFirstEntry)
{
    page->setRotation({"a", "b"});
    click(page->Button7);
    EXPECT_EQ(rotationEntries(), (QStringList{"b", "a"}));
}

TEST_F(MapRotationTest, CustomMapIsAddedAsTypedWithoutStoring)
{
    auto* edit = page->CustMapAddEdit;
    click(page->Button5); // empty field: nothing
    EXPECT_TRUE(rotationEntries().isEmpty());
    typeInto(edit, QStringLiteral("my map"));
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Enter, Qt::ShiftModifier);
    EXPECT_EQ(rotationEntries(), (QStringList{"my map", "my map"}));
    EXPECT_EQ(edit->text(), QStringLiteral("my map"));
    EXPECT_EQ(storedRotation(), "<missing>");
    clearField(edit);
    typeInto(edit, QStringLiteral(" "));
    click(page->Button5);
    click(page->SpeedButton2); // the next storing command takes the custom entries along
    EXPECT_EQ(storedRotation(), "\"my map\",\"my map\",\" \"");
}

TEST_F(MapRotationTest, SaveToFileWritesTheScriptOrPlainFormByType)
{
    EXPECT_EQ(saveMapList(0, QStringLiteral("empty.cfg")),
              QByteArray("//This file was generated by Varno Server v2.5 (or above)\r\n"
                         "//Check out Varno on the Web @ www.varno.example.org\r\n"
                         "vstr maps0\r\n"));
    EXPECT_EQ(saveMapList(1, QStringLiteral("empty.qml")), QByteArray());

    page->setRotation({"q3dm1", "my map"});
    const QByteArray script = saveMapList(2, QStringLiteral("all.txt"));
    EXPECT_EQ(script, QByteArray("//This file was generated by Varno Server v2.5 (or above)\r\n"
                                 "//Check out Varno on the Web @ www.varno.example.org\r\n"
                                 "set maps0 \"map q3dm1; set nextmap vstr maps1\"\r\n"
                                 "set maps1 \"map my map; set nextmap vstr maps2\"\r\n"
                                 "vstr maps0\r\n"));
    EXPECT_EQ(saveMapList(1, QStringLiteral("list.cfg")), QByteArray("q3dm1\r\nmy map\r\n"));
    // A second export in the same run starts afresh.
    EXPECT_EQ(saveMapList(0, QStringLiteral("again.cfg")), script);
}

TEST_F(MapRotationTest, ScriptFormIsOwnerOnlyWhenNewAndKeepsTheReplacedFilesPermissions)
{
    const auto modeOf = [this](const char* name) {
        return int(QFileInfo(settings->path(QString::fromLatin1(name))).permissions() &
                   (QFile::ReadGroup | QFile::ReadOther | QFile::ReadOwner | QFile::WriteOwner));
    };
    const int ownerOnly = int(QFile::ReadOwner | QFile::WriteOwner);
    saveMapList(0, QStringLiteral("new.cfg"));
    EXPECT_EQ(modeOf("new.cfg"), ownerOnly);
    QFile shared(settings->path(QStringLiteral("shared.cfg")));
    ASSERT_TRUE(shared.open(QIODevice::WriteOnly));
    shared.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    shared.close();
    saveMapList(0, QStringLiteral("shared.cfg"));
    EXPECT_EQ(modeOf("shared.cfg"), ownerOnly | int(QFile::ReadGroup | QFile::ReadOther));
}

TEST_F(MapRotationTest, SaveDialogRemembersNameTypeAndExtension)
{
    click(page->MapListButton); // cancelled: nothing written, nothing reported
    dialogs::SaveRequest first = dialogs::lastSaveRequest();
    EXPECT_EQ(first.title, QStringLiteral("Export Map List As..."));
    EXPECT_EQ(first.filters, (QStringList{"Quake 3 Config (*.cfg)", "Varno Map List File (*.qml)", "All Files (*.*)"}));
    EXPECT_EQ(first.filterIndex, 0);
    EXPECT_EQ(first.defaultSuffix, QStringLiteral("cfg"));
    EXPECT_TRUE(first.fileName.isEmpty());
    EXPECT_EQ(first.suffixForFilter(1), QStringLiteral("qml"));
    EXPECT_EQ(first.suffixForFilter(2), QStringLiteral("cfg"));

    saveMapList(1, QStringLiteral("rotation.qml"));
    click(page->MapListButton);
    const dialogs::SaveRequest next = dialogs::lastSaveRequest();
    EXPECT_EQ(next.filterIndex, 1);
    EXPECT_EQ(next.defaultSuffix, QStringLiteral("qml"));
    EXPECT_EQ(next.fileName, settings->path(QStringLiteral("rotation.qml")));
    EXPECT_TRUE(dialogs::takeMessages().isEmpty());
}

TEST_F(MapRotationTest, SaveToAMissingFolderReportsAndKeepsNothingHalfWritten)
{
    const QString path = settings->path(QStringLiteral("missing/list.cfg"));
    dialogs::queueSaveAnswer({true, path, 0});
    click(page->MapListButton);
    EXPECT_EQ(dialogs::takeMessages(), QStringList{QStringLiteral("Cannot create file ") + path});
    EXPECT_FALSE(QFile::exists(path));
}

namespace {

void writeBitmap(const QString& path, const QColor& colour)
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(path, "BMP"));
}

QColor shownColour(const QLabel* picture)
{
    const QPixmap pixmap = picture->pixmap();
    return pixmap.isNull() ? QColor() : pixmap.toImage().pixelColor(5, 5);
}

} // namespace

class MapPreviewTest : public MapRotationTest {
protected:
    void SetUp() override
    {
        MapRotationTest::SetUp();
        mapsDir = settings->path(QStringLiteral("Maps"));
        QDir().mkpath(mapsDir);
        writeBitmap(mapsDir + QStringLiteral("/q3dm7.bmp"), Qt::red);
        writeBitmap(mapsDir + QStringLiteral("/q3dm9.bmp"), Qt::blue);
        QFile junk(mapsDir + QStringLiteral("/q3dm8.bmp"));
        junk.open(QIODevice::WriteOnly);
        junk.write("not a bitmap");
        forms().PropForm->MapsDirEdit->setText(mapsDir + QDir::separator()); // no doubled separator
    }

    QPoint centreOf(const char* map)
    {
        QListWidgetItem* item = page->MapsListBox->findItems(QString::fromLatin1(map), Qt::MatchExactly).front();
        page->MapsListBox->scrollToItem(item);
        return page->MapsListBox->visualItemRect(item).center();
    }

    QString mapsDir;
};

TEST_F(MapPreviewTest, PressShowsThePictureAndReleaseHidesIt)
{
    QWidget* viewport = page->MapsListBox->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, centreOf("q3dm7"));
    EXPECT_TRUE(page->MapImage->isVisible());
    EXPECT_EQ(shownColour(page->MapImage), QColor(Qt::red));
    EXPECT_EQ(page->MapImage->size(), QSize(153, 123));
    EXPECT_TRUE(page->MapPreviewTimer->isActive());
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, centreOf("q3dm7"));
    EXPECT_FALSE(page->MapImage->isVisible());
    EXPECT_FALSE(page->MapPreviewTimer->isActive());
    EXPECT_TRUE(dialogs::takeMessages().isEmpty());
}

TEST_F(MapPreviewTest, DraggingSwitchesThePictureWithinOneTick)
{
    QWidget* viewport = page->MapsListBox->viewport();
    QTest::mousePress(viewport, Qt::RightButton, {}, centreOf("q3dm7"));
    page->MapsListBox->setCurrentItem(page->MapsListBox->findItems(QStringLiteral("q3dm9"), Qt::MatchExactly).front());
    EXPECT_TRUE(waitFor([&] { return shownColour(page->MapImage) == QColor(Qt::blue); }, std::chrono::milliseconds(700)));

    // Onto an entry without a valid picture: a blank picture and the notice.
    page->MapsListBox->setCurrentItem(page->MapsListBox->findItems(QStringLiteral("q3dm8"), Qt::MatchExactly).front());
    EXPECT_TRUE(waitFor([&] { return shownColour(page->MapImage) == QColor(Qt::white); }, std::chrono::milliseconds(700)));
    EXPECT_EQ(forms().Form1->StatusBar1->text(),
              QStringLiteral("Specify your Maps directory under Settings | Properties, to view maps"));
    EXPECT_TRUE(dialogs::takeMessages().isEmpty());
}

TEST_F(MapPreviewTest, MissingOrInvalidPictureAtThePressIsReported)
{
    QWidget* viewport = page->MapsListBox->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, centreOf("q3dm1"));
    EXPECT_EQ(dialogs::takeMessages(), QStringList{QStringLiteral("Cannot open file ") + mapsDir + "/q3dm1.bmp"});
    EXPECT_FALSE(page->MapImage->isVisible());
    EXPECT_FALSE(page->MapPreviewTimer->isActive());
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, centreOf("q3dm1"));

    QTest::mousePress(viewport, Qt::LeftButton, {}, centreOf("q3dm8"));
    EXPECT_EQ(dialogs::takeMessages(), QStringList{QStringLiteral("Bitmap image is not valid")});
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, centreOf("q3dm8"));
}

TEST_F(MapPreviewTest, UntickedPreviewDoesNothing)
{
    forms().PropForm->MapPrevCB->setChecked(false);
    QWidget* viewport = page->MapsListBox->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, centreOf("q3dm1"));
    EXPECT_TRUE(dialogs::takeMessages().isEmpty());
    EXPECT_FALSE(page->MapImage->isVisible());
    EXPECT_FALSE(page->MapPreviewTimer->isActive());
}

TEST_F(MapPreviewTest, LeavingTheListHidesThePictureButKeepsTheTimer)
{
    QTest::mousePress(page->MapsListBox->viewport(), Qt::LeftButton, {}, centreOf("q3dm7"));
    ASSERT_TRUE(page->MapImage->isVisible());
    page->CustMapAddEdit->setFocus();
    EXPECT_TRUE(waitFor([&] { return !page->MapImage->isVisible(); }));
    EXPECT_TRUE(page->MapPreviewTimer->isActive());
}
