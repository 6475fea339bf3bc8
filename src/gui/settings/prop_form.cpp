#include "gui/settings/prop_form.h"

#include "core/settings/maps_folder.h"
#include "core/settings/schema.h"
#include "gui/app/dialogs.h"
#include "gui/app/error_report.h"
#include "gui/app/spin_edit.h"
#include "gui/app/status_line.h"
#include "gui/app/widget_helpers.h"
#include "platform/qt_text.h"
#include "platform/services.h"
#include "gui/settings/model_bindings.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace varno {

namespace {

constexpr const char* kOpenTitle = "Location of Quake3.exe";

QCheckBox* makeAutoSaveBox(QWidget* parent, const char* name, const QString& caption)
{
    auto* box = makeControl<QCheckBox>(parent, name, caption);
    box->setEnabled(false);
    return box;
}

} // namespace

QString TPropForm::gameProgramFilter()
{
    return toQ(gameProgramFileFilter());
}

TPropForm::TPropForm(ModelBindings& bindings, QWidget* parent)
    : QDialog(parent)
    , m_bindings(bindings)
{
    setObjectName(QStringLiteral("PropForm"));

    GroupBox1 = makeControl<QGroupBox>(this, "GroupBox1", QStringLiteral(" Quake 3 "));
    Label1 = makeControl<QLabel>(GroupBox1, "Label1", QStringLiteral("Directory (Where quake3.exe resides)"));
    Q3DirEdit = makeControl<QLineEdit>(GroupBox1, "Q3DirEdit");
    SpeedButton1 = makeControl<QToolButton>(GroupBox1, "SpeedButton1");
    SpeedButton1->setText(QStringLiteral("..."));
    Label4 = makeControl<QLabel>(GroupBox1, "Label4", QStringLiteral("Directory where Q3 Map BMPs are kept"));
    MapsDirEdit = makeControl<QLineEdit>(GroupBox1, "MapsDirEdit");
    SpeedButton2 = makeControl<QToolButton>(GroupBox1, "SpeedButton2");
    SpeedButton2->setText(QStringLiteral("..."));
    SpeedButton2->setEnabled(false);
    MapPrevCB = makeControl<QCheckBox>(GroupBox1, "MapPrevCB", QStringLiteral("Display Map Preview"));
    SystrayCB = makeControl<QCheckBox>(GroupBox1, "SystrayCB", QStringLiteral("Use Systray Icon"));
    Label1->setBuddy(Q3DirEdit);
    Label4->setBuddy(MapsDirEdit);

    auto* quake = new QGridLayout(GroupBox1);
    quake->addWidget(Label1, 0, 0, 1, 2);
    quake->addWidget(Q3DirEdit, 1, 0);
    quake->addWidget(SpeedButton1, 1, 1);
    quake->addWidget(Label4, 2, 0, 1, 2);
    quake->addWidget(MapsDirEdit, 3, 0);
    quake->addWidget(SpeedButton2, 3, 1);
    auto* options = new QHBoxLayout;
    options->addWidget(MapPrevCB);
    options->addWidget(SystrayCB);
    options->addStretch(1);
    quake->addLayout(options, 4, 0, 1, 2);
    // On Linux the server's console is a tmux session; a terminal window shows it as Windows shows its window.
    ConsoleTerminalBox = makeControl<QCheckBox>(GroupBox1, "ConsoleTerminalBox",
                                                QStringLiteral("Open the server console in a terminal window"));
    quake->addWidget(ConsoleTerminalBox, 5, 0, 1, 2);
    // Stored at once, not by Ok: it rules what happens when the running server crashes.
    RelaunchServerBox = makeControl<QCheckBox>(GroupBox1, "RelaunchServerBox",
                                               QStringLiteral("Relaunch the server when it stops unexpectedly"));
    quake->addWidget(RelaunchServerBox, 6, 0, 1, 2);
    const int pathWidth = Q3DirEdit->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 40;
    Q3DirEdit->setMinimumWidth(pathWidth);

    GroupBox2 = makeControl<QGroupBox>(this, "GroupBox2", QStringLiteral(" Varno Control "));
    Label2 = makeControl<QLabel>(GroupBox2, "Label2", QStringLiteral("Varno Port:"));
    SpinEdit1 = makeControl<SpinEdit>(GroupBox2, "SpinEdit1", 0, 0, 10101, 7);
    Label3 = makeControl<QLabel>(GroupBox2, "Label3",
                                 QStringLiteral("Varno Server, and Varno Remote uses this port to connect to other "
                                                "Varno Servers."));
    Label3->setWordWrap(true);
    auto* control = new QGridLayout(GroupBox2);
    control->addWidget(Label2, 0, 0);
    control->addWidget(SpinEdit1, 0, 1);
    control->addWidget(Label3, 1, 0, 1, 2);
    control->setRowStretch(2, 1);

    GroupBox3 = makeControl<QGroupBox>(this, "GroupBox3", QStringLiteral(" Auto-Save "));
    GroupBox3->setEnabled(false);
    ASstartup = makeAutoSaveBox(GroupBox3, "ASstartup", QStringLiteral("Startup Menu"));
    ASmap = makeAutoSaveBox(GroupBox3, "ASmap", QStringLiteral("Map Rotation"));
    ASremote = makeAutoSaveBox(GroupBox3, "ASremote", QStringLiteral("Remote Access"));
    ASserver = makeAutoSaveBox(GroupBox3, "ASserver", QStringLiteral("Server Tools"));
    ASadvanced = makeAutoSaveBox(GroupBox3, "ASadvanced", QStringLiteral("Advanced Options"));
    auto* autoSave = new QVBoxLayout(GroupBox3);
    for (QCheckBox* box : {ASstartup, ASmap, ASremote, ASserver, ASadvanced})
        autoSave->addWidget(box);

    Button1 = makeControl<QPushButton>(this, "Button1", QStringLiteral("Ok"));
    Button1->setDefault(true);
    Button2 = makeControl<QPushButton>(this, "Button2", QStringLiteral("Cancel"));
    Button2->setAutoDefault(false);
    StatusBar1 = new StatusLine(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* grid = new QGridLayout(this);
    grid->addWidget(GroupBox1, 0, 0);
    grid->addWidget(GroupBox3, 0, 1, 2, 1);
    grid->addWidget(GroupBox2, 1, 0);
    grid->addLayout(buttons, 2, 0, 1, 2);
    grid->addWidget(StatusBar1, 3, 0, 1, 2);
    makeFixedDialog(this, QStringLiteral("Properties"));

    bindControls();
    onEvent(Button1, &QPushButton::clicked, this, &TPropForm::Button1Click);
    // Once the operator edits the folder it is theirs, even when it reads like the fallback.
    connect(MapsDirEdit, &QLineEdit::textEdited, this, [this] { m_mapsFolderFallback.clear(); });
    onEvent(Button2, &QPushButton::clicked, this, &TPropForm::Button2Click);
    onEvent(SpeedButton1, &QToolButton::clicked, this, &TPropForm::SpeedButton1Click);
}

void TPropForm::bindControls()
{
    // The folders and the two display options are in effect as shown and stored by Ok; the rest at once.
    m_bindings.heldText(Q3DirEdit, kQuakeDir);
    m_bindings.custom(
        MapsDirEdit, kMapsDir, [this] { return toStd(MapsDirEdit->text()); },
        // A folder put here from elsewhere than the operator's typing stands in for an unchosen one.
        [this](const std::string& folder) { showMapsFolderFallback(toQ(folder)); },
        [this](SettingsStore& store) {
            const std::string mapsDir = store.ReadString(kMapsDir);
            if (isMapsFolderUnset(mapsDir))
                showMapsFolderFallback(
                    toQ(shownMapsFolder(mapsDir, store.ReadString(kInstallDir), QDir::separator().toLatin1())));
            else
                MapsDirEdit->setText(toQ(mapsDir));
        });
    connect(MapsDirEdit, &QLineEdit::textChanged, this, [this] {
        m_bindings.whenChangedByOperator([this] { m_bindings.model().holdText(kMapsDir, toStd(MapsDirEdit->text())); });
    });
    m_bindings.heldFlag(MapPrevCB, kShowMap);
    m_bindings.heldFlag(SystrayCB, kSystray);
    m_bindings.flag(ConsoleTerminalBox, kOpenConsoleTerminal);
    m_bindings.flag(RelaunchServerBox, kRelaunchServer);
    m_bindings.flag(ASstartup, kAutoSaveStartup);
    m_bindings.flag(ASmap, kAutoSaveMapRotation);
    m_bindings.flag(ASremote, kAutoSaveRemoteAccess);
    m_bindings.flag(ASserver, kAutoSaveServerTools);
    m_bindings.flag(ASadvanced, kAutoSaveAdvanced);
}

void TPropForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_centred) {
        centreOnScreen(this);
        m_centred = true;
    }
    runHandler([this] { FormShow(); });
}

void TPropForm::FormShow()
{
    Button2->setEnabled(true);
}

void TPropForm::SpeedButton1Click()
{
    const QString picked = dialogs::askOpenFileName(this, QString::fromLatin1(kOpenTitle), gameProgramFilter());
    if (picked.isEmpty())
        return;
    Q3DirEdit->setText(QDir::toNativeSeparators(QFileInfo(picked).absolutePath()));
}

void TPropForm::Button1Click()
{
    ServerModel& model = m_bindings.model();
    model.storeHeld(kQuakeDir);
    model.storeHeld(kShowMap);
    model.storeHeld(kSystray);
    // A folder shown only in place of an unchosen one never replaces a folder the store holds.
    const bool showsFallback = !m_mapsFolderFallback.isEmpty() && MapsDirEdit->text() == m_mapsFolderFallback;
    if (!showsFallback || isMapsFolderUnset(model.openStore()->ReadString(kMapsDir)))
        model.storeHeld(kMapsDir);
    Button2->setEnabled(false);
    StatusBar1->setText(QStringLiteral("Settings Saved!"));
    hide();
}

void TPropForm::showMapsFolderFallback(const QString& folder)
{
    MapsDirEdit->setText(folder);
    m_mapsFolderFallback = folder;
}

void TPropForm::Button2Click()
{
    hide();
}

} // namespace varno
