#include "gui/launch/map_rotation_page.h"

#include "core/app/varno_error.h"
#include "core/launch/map_list_file.h"
#include "core/launch/server_script.h"
#include "core/settings/comma_list.h"
#include "core/settings/schema.h"
#include "gui/app/dialogs.h"
#include "gui/app/error_report.h"
#include "gui/app/status_line.h"
#include "gui/app/widget_helpers.h"
#include "gui/launch/press_list_widget.h"
#include "gui/settings/model_bindings.h"
#include "platform/file_writer.h"
#include "platform/qt_text.h"

#include <QDir>
#include <QEvent>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace varno {

namespace {

constexpr const char* kCannotOpenFile = "Cannot open file %s";
constexpr const char* kBitmapNotValid = "Bitmap image is not valid";
constexpr const char* kNoMapsFolder = "Specify your Maps directory under Settings | Properties, to view maps";
constexpr QSize kPictureSize(153, 123);

const QStringList kMapListFilters{QStringLiteral("Quake 3 Config (*.cfg)"),
                                  QStringLiteral("Varno Map List File (*.qml)"), QStringLiteral("All Files (*.*)")};

// The default extension that each file type of the export dialog sets.
QString suffixForMapListType(int type)
{
    return type == 1 ? QStringLiteral("qml") : QStringLiteral("cfg");
}

QToolButton* makeListButton(QWidget* parent, const char* name, const QString& caption, const QString& hint)
{
    auto* button = makeControl<QToolButton>(parent, name);
    button->setText(caption);
    button->setToolTip(hint);
    return button;
}

// Loads a Windows bitmap, or says why not with the general error report's texts.
QImage loadBitmap(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw VarnoError(formatMessage(kCannotOpenFile, toStd(QDir::toNativeSeparators(fileName))));
    QImageReader reader(&file, "bmp");
    QImage image = reader.read();
    if (image.isNull())
        throw VarnoError(kBitmapNotValid);
    return image;
}

} // namespace

const QStringList& MapRotationPage::stockMaps()
{
    static const QStringList maps{
        "q3ctf1",     "q3ctf2",     "q3ctf3",     "q3ctf4",     "q3dm1",      "q3dm2",   "q3dm3",   "q3dm4",
        "q3dm5",      "q3dm6",      "q3dm7",      "q3dm8",      "q3dm9",      "q3dm10",  "q3dm11",  "q3dm12",
        "q3dm13",     "q3dm14",     "q3dm15",     "q3dm16",     "q3dm17",     "q3dm18",  "q3dm19",  "q3tourney1",
        "q3tourney2", "q3tourney3", "q3tourney4", "q3tourney5", "q3tourney6", "q3wctf1", "q3wctf2", "q3wctf3"};
    return maps;
}

MapRotationPage::MapRotationPage(ModelBindings& bindings, StatusLine* statusLine, QWidget* parent)
    : QWidget(parent)
    , m_bindings(bindings)
    , m_statusLine(statusLine)
{
    TitleLabel = makeControl<QLabel>(this, "Label9", QStringLiteral("Map Rotation Setup"));
    QFont titleFont = TitleLabel->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.2);
    TitleLabel->setFont(titleFont);

    ChoiceGroup = makeControl<QGroupBox>(this, "GroupBox5", QStringLiteral(" Maps to Choose From "));
    MapsListBox = makeControl<PressListWidget>(ChoiceGroup, "MapsListBox");
    MapsListBox->setSelectionMode(QAbstractItemView::ExtendedSelection);
    MapsListBox->addItems(stockMaps());
    Label10 = makeControl<QLabel>(ChoiceGroup, "Label10", QStringLiteral("Add Custom Map"));
    CustMapAddEdit = makeControl<QLineEdit>(ChoiceGroup, "CustMapAddEdit");
    Label10->setBuddy(CustMapAddEdit);
    Button5 = makeControl<QPushButton>(ChoiceGroup, "Button5", QStringLiteral("->"));
    Button5->setAutoDefault(false);
    Label11 = makeControl<QLabel>(ChoiceGroup, "Label11",
                                  QStringLiteral("Varno can generate a stand-alone map config by clicking Save to "
                                                 "File below and entering in the filename."));
    Label11->setWordWrap(true);
    Label11->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    MapListButton = makeControl<QPushButton>(ChoiceGroup, "MapListButton", QStringLiteral("Save to File"));
    MapListButton->setAutoDefault(false);
    MapImage = makeControl<QLabel>(ChoiceGroup, "MapImage");
    MapImage->setFixedSize(kPictureSize);
    MapImage->setScaledContents(true);
    MapImage->setVisible(false);

    SpeedButton2 = makeListButton(this, "SpeedButton2", QStringLiteral("->"), QStringLiteral("Add Selected"));
    SpeedButton3 = makeListButton(this, "SpeedButton3", QStringLiteral("<-"), QStringLiteral("Remove Selected"));
    SpeedButton1 = makeListButton(this, "SpeedButton1", QStringLiteral(">>"), QStringLiteral("Add All"));
    SpeedButton4 = makeListButton(this, "SpeedButton4", QStringLiteral("<<"), QStringLiteral("Remove All"));
    Button6 = makeControl<QPushButton>(this, "Button6", QStringLiteral("^"));
    Button7 = makeControl<QPushButton>(this, "Button7", QStringLiteral("v"));
    for (QPushButton* button : {Button6, Button7}) {
        button->setAutoDefault(false);
        button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("^^")) + 14);
    }

    RotationGroup = makeControl<QGroupBox>(this, "GroupBox6", QStringLiteral(" Current Map Rotation List "));
    RotateMapListBox = makeControl<QListWidget>(RotationGroup, "RotateMapListBox");
    RotateMapListBox->setSelectionMode(QAbstractItemView::ExtendedSelection);

    MapPreviewTimer = new QTimer(this);
    MapPreviewTimer->setObjectName(QStringLiteral("MapPreviewTimer"));
    MapPreviewTimer->setInterval(500);

    buildLayout();
    connectHandlers();
}

void MapRotationPage::buildLayout()
{
    const int listWidth = MapsListBox->fontMetrics().horizontalAdvance(QStringLiteral("q3tourney6")) + 36;
    MapsListBox->setFixedWidth(listWidth);

    auto* choice = new QGridLayout(ChoiceGroup);
    choice->addWidget(MapsListBox, 0, 0, 5, 1);
    choice->addWidget(Label10, 0, 1, 1, 2);
    choice->addWidget(CustMapAddEdit, 1, 1);
    choice->addWidget(Button5, 1, 2);
    choice->addWidget(Label11, 2, 1, 1, 2);
    // The picture is drawn over the hint text while it is shown.
    choice->addWidget(MapImage, 2, 1, 2, 2, Qt::AlignLeft | Qt::AlignTop);
    choice->addWidget(MapListButton, 4, 1, 1, 2, Qt::AlignLeft);
    choice->setRowStretch(3, 1);
    choice->setColumnMinimumWidth(1, kPictureSize.width() - Button5->sizeHint().width());
    choice->setRowMinimumHeight(2, kPictureSize.height() / 2);
    choice->setRowMinimumHeight(3, kPictureSize.height() / 2);

    auto* moves = new QGridLayout;
    moves->addWidget(SpeedButton2, 0, 0);
    moves->addWidget(SpeedButton3, 1, 0);
    moves->addWidget(SpeedButton1, 2, 0);
    moves->addWidget(SpeedButton4, 3, 0);
    moves->addWidget(Button6, 1, 1);
    moves->addWidget(Button7, 2, 1);
    moves->setRowStretch(4, 1);

    auto* rotation = new QVBoxLayout(RotationGroup);
    RotateMapListBox->setMinimumWidth(listWidth + 20);
    rotation->addWidget(RotateMapListBox);

    auto* row = new QHBoxLayout;
    row->addWidget(ChoiceGroup, 3);
    row->addLayout(moves);
    row->addWidget(RotationGroup, 2);
    auto* page = new QVBoxLayout(this);
    page->addWidget(TitleLabel);
    page->addLayout(row, 1);
}

void MapRotationPage::connectHandlers()
{
    // The rotation is loaded without storing it back; the page's commands store it.
    m_bindings.custom(
        RotateMapListBox, kMapRotation, [this] { return ToCommaList(rotation()); },
        [this](const std::string& text) { setRotation(FromCommaList(text)); },
        [this](SettingsStore& store) { setRotation(FromCommaList(store.ReadString(kMapRotation))); });
    onEvent(SpeedButton2, &QToolButton::clicked, this, &MapRotationPage::SpeedButton2Click);
    onEvent(SpeedButton3, &QToolButton::clicked, this, &MapRotationPage::SpeedButton3Click);
    onEvent(SpeedButton1, &QToolButton::clicked, this, &MapRotationPage::SpeedButton1Click);
    onEvent(SpeedButton4, &QToolButton::clicked, this, &MapRotationPage::SpeedButton4Click);
    onEvent(Button6, &QPushButton::clicked, this, &MapRotationPage::Button6Click);
    onEvent(Button7, &QPushButton::clicked, this, &MapRotationPage::Button7Click);
    onEvent(Button5, &QPushButton::clicked, this, &MapRotationPage::Button5Click);
    onEvent(MapListButton, &QPushButton::clicked, this, &MapRotationPage::MapListButtonClick);
    onEvent(MapsListBox, &PressListWidget::mousePressed, this, &MapRotationPage::MapsListBoxMouseDown);
    onEvent(MapsListBox, &PressListWidget::mouseReleased, this, &MapRotationPage::MapsListBoxMouseUp);
    onEvent(MapPreviewTimer, &QTimer::timeout, this, &MapRotationPage::MapPreviewTimerTimer);
    MapsListBox->installEventFilter(this);
    CustMapAddEdit->installEventFilter(this);
}

bool MapRotationPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == MapsListBox && event->type() == QEvent::FocusOut) {
        runHandler([this] { MapsListBoxExit(); });
    } else if (watched == CustMapAddEdit && event->type() == QEvent::KeyPress) {
        const auto key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            runHandler([this] { Button5Click(); });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

std::vector<std::string> MapRotationPage::rotation() const
{
    std::vector<std::string> entries;
    for (int i = 0; i < RotateMapListBox->count(); ++i)
        entries.push_back(toStd(RotateMapListBox->item(i)->text()));
    return entries;
}

void MapRotationPage::setRotation(const std::vector<std::string>& entries)
{
    RotateMapListBox->clear();
    for (const auto& entry : entries)
        RotateMapListBox->addItem(toQ(entry));
}

void MapRotationPage::storeRotation()
{
    m_bindings.model().storeList(kMapRotation, rotation());
}

void MapRotationPage::SpeedButton2Click()
{
    m_bindings.model().changeText(kStartMap, kNoStartMap);
    for (int i = 0; i < MapsListBox->count(); ++i) {
        if (MapsListBox->item(i)->isSelected())
            RotateMapListBox->addItem(MapsListBox->item(i)->text());
    }
    storeRotation();
}

void MapRotationPage::SpeedButton1Click()
{
    RotateMapListBox->addItems(stockMaps());
    storeRotation();
}

void MapRotationPage::SpeedButton3Click()
{
    for (int i = RotateMapListBox->count() - 1; i >= 0; --i) {
        if (RotateMapListBox->item(i)->isSelected())
            delete RotateMapListBox->takeItem(i);
    }
    storeRotation();
}

void MapRotationPage::SpeedButton4Click()
{
    RotateMapListBox->clear();
    storeRotation();
}

int MapRotationPage::focusedRotationRow() const
{
    if (RotateMapListBox->count() == 0)
        return -1;
    // A list the operator has not touched yet is focused on its first entry.
    return std::max(RotateMapListBox->currentRow(), 0);
}

void MapRotationPage::moveFocusedEntry(int offset)
{
    const int from = focusedRotationRow();
    const int to = from + offset;
    if (from >= 0 && to >= 0 && to < RotateMapListBox->count()) {
        QListWidgetItem* moved = RotateMapListBox->takeItem(from);
        RotateMapListBox->insertItem(to, moved);
        // The neighbour that took the old place is no longer selected; the moved entry is, and keeps
        // the focus so that the next press moves it on.
        RotateMapListBox->item(from)->setSelected(false);
        RotateMapListBox->setCurrentItem(moved, QItemSelectionModel::NoUpdate);
        moved->setSelected(true);
    }
    RotateMapListBox->setFocus();
    storeRotation();
}

void MapRotationPage::Button6Click()
{
    moveFocusedEntry(-1);
}

void MapRotationPage::Button7Click()
{
    moveFocusedEntry(+1);
}

void MapRotationPage::Button5Click()
{
    if (CustMapAddEdit->text().isEmpty())
        return;
    RotateMapListBox->addItem(CustMapAddEdit->text());
    // In the rotation from now on, but not stored until the list changes otherwise.
    m_bindings.model().holdList(kMapRotation, rotation());
}

void MapRotationPage::MapListButtonClick()
{
    dialogs::SaveRequest request;
    request.title = QStringLiteral("Export Map List As...");
    request.filters = kMapListFilters;
    request.filterIndex = m_lastMapListType;
    request.defaultSuffix = m_mapListSuffix;
    request.fileName = m_lastMapListName;
    request.suffixForFilter = suffixForMapListType;
    const dialogs::SaveAnswer answer = dialogs::askSaveFileName(this, request);
    if (!answer.accepted)
        return;
    m_lastMapListName = answer.fileName;
    m_lastMapListType = answer.filterIndex < 0 ? 0 : answer.filterIndex;
    m_mapListSuffix = suffixForMapListType(m_lastMapListType);
    // The form follows the chosen file type, not the name's extension.
    const MapListForm form = mapListFormForFileType(m_lastMapListType + 1);
    const std::string text = buildMapListFile(rotation(), form);
    // A script-form list is a game config like the server script: private unless the file it replaces was not.
    writeFileAtomically(answer.fileName, QByteArray::fromStdString(text),
                        form == MapListForm::Script ? FileAccess::KeepOrOwnerOnly : FileAccess::Usual);
}

QString MapRotationPage::pictureFileName() const
{
    const QListWidgetItem* focused = MapsListBox->currentItem();
    QString folder = toQ(m_bindings.model().text(kMapsDir));
    if (!folder.endsWith(QDir::separator()))
        folder += QDir::separator();
    return folder + (focused ? focused->text() : QString()) + QStringLiteral(".bmp");
}

void MapRotationPage::MapsListBoxMouseDown()
{
    if (!m_bindings.model().flag(kShowMap))
        return;
    const QImage image = loadBitmap(pictureFileName());
    MapImage->setPixmap(QPixmap::fromImage(image));
    MapImage->setVisible(true);
    MapImage->raise();
    if (!MapPreviewTimer->isActive())
        MapPreviewTimer->start();
}

void MapRotationPage::MapsListBoxMouseUp()
{
    MapImage->setVisible(false);
    MapPreviewTimer->stop();
}

void MapRotationPage::MapsListBoxExit()
{
    MapImage->setVisible(false);
}

void MapRotationPage::MapPreviewTimerTimer()
{
    if (!m_bindings.model().flag(kShowMap))
        return;
    QPixmap picture;
    try {
        picture = QPixmap::fromImage(loadBitmap(pictureFileName()));
    } catch (const VarnoError&) {
        m_statusLine->setText(QString::fromLatin1(kNoMapsFolder));
        picture = QPixmap(kPictureSize);
        picture.fill(Qt::white);
    }
    MapImage->setPixmap(picture);
}

} // namespace varno
