#include "gui/settings/opening_form.h"

#include "core/settings/schema.h"
#include "gui/app/artwork.h"
#include "gui/app/error_report.h"
#include "gui/app/widget_helpers.h"
#include "gui/settings/model_bindings.h"

#include <QLabel>
#include <QProgressBar>
#include <QTimer>

namespace varno {

namespace {

constexpr QSize kClientSize(492, 193);

} // namespace

TOpeningForm::TOpeningForm(ModelBindings& bindings, QWidget* parent)
    : QDialog(parent)
    , m_bindings(bindings)
{
    setObjectName(QStringLiteral("OpeningForm"));
    setWindowTitle(QStringLiteral("Varno  v2.5 - More Beastlier than Ever!!!"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint);
    setFixedSize(kClientSize);
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);

    Image1 = makeControl<QLabel>(this, "Image1");
    Image1->setGeometry(0, 0, 491, 192);
    Image1->setPixmap(artwork::splashPicture(QSize(491, 192)));

    QPalette white = palette();
    white.setColor(QPalette::WindowText, Qt::white);
    Label1 = makeControl<QLabel>(this, "Label1", QStringLiteral("Version 2.5"));
    QFont serif(QStringLiteral("Serif"));
    serif.setStyleHint(QFont::Serif);
    serif.setPointSize(11);
    serif.setBold(true);
    Label1->setFont(serif);
    Label1->setPalette(white);
    Label1->adjustSize();
    Label1->move(kClientSize.width() - Label1->width() - 14, 112);

    LoadLabel = makeControl<QLabel>(this, "LoadLabel", QStringLiteral("Loading..."));
    LoadLabel->setPalette(white);
    LoadLabel->setAlignment(Qt::AlignCenter);
    LoadLabel->setGeometry(0, 136, kClientSize.width(), LoadLabel->sizeHint().height());

    ProgressBar1 = makeControl<QProgressBar>(this, "ProgressBar1");
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setGeometry(16, 164, kClientSize.width() - 32, 14);

    // All stages count from the window's creation; their intervals alone fix their order.
    Properties = makeTimer("Properties", 10, false, &TOpeningForm::PropertiesTimer);
    Startup = makeTimer("Startup", 50, false, &TOpeningForm::StartupTimer);
    Map = makeTimer("Map", 100, false, &TOpeningForm::MapTimer);
    ValueLoader = makeTimer("ValueLoader", 175, true, &TOpeningForm::ValueLoaderTimer);
    EnhConsole = makeTimer("EnhConsole", 200, false, &TOpeningForm::EnhConsoleTimer);
    RemAccess = makeTimer("RemAccess", 400, false, &TOpeningForm::RemAccessTimer);
    Advanced = makeTimer("Advanced", 500, false, &TOpeningForm::AdvancedTimer);
    HideTimer = makeTimer("HideTimer", 700, false, &TOpeningForm::HideTimerTimer);
    SafeTimer = makeTimer("SafeTimer", 2000, true, &TOpeningForm::SafeTimerTimer);
}

QTimer* TOpeningForm::makeTimer(const char* name, int interval, bool repeating, void (TOpeningForm::*handler)())
{
    auto* timer = new QTimer(this);
    timer->setObjectName(QString::fromLatin1(name));
    timer->setInterval(interval);
    timer->setSingleShot(false); // a stage stops its own timer, as the repeating ones do not
    onEvent(timer, &QTimer::timeout, this, handler);
    (void)repeating;
    timer->start();
    return timer;
}

void TOpeningForm::stopAllTimers()
{
    for (QTimer* timer : {Properties, Startup, Map, ValueLoader, EnhConsole, RemAccess, Advanced, HideTimer, SafeTimer})
        timer->stop();
}

void TOpeningForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    centreOnScreen(this);
}

void TOpeningForm::loadStage(SettingsStore& store, LoadStage stage)
{
    for (const SettingKey* key : settingsOfStage(stage))
        m_bindings.load(store, *key);
}

void TOpeningForm::loadAllStages()
{
    const auto store = m_bindings.model().openStore();
    loadStage(*store, LoadStage::Properties);
    loadStage(*store, LoadStage::Bots);
    if (store->ReadInteger(kRestoreFlags) == kStartupStageArmed)
        loadStage(*store, LoadStage::Startup);
    loadStage(*store, LoadStage::Maps);
    loadStage(*store, LoadStage::RemoteAccess);
    loadStage(*store, LoadStage::Advanced);
}

void TOpeningForm::PropertiesTimer()
{
    Properties->stop();
    LoadLabel->setText(QStringLiteral("Loading Properties..."));
    // The game folder also fills the game directory list, once.
    loadStage(*m_bindings.model().openStore(), LoadStage::Properties);
    ProgressBar1->setValue(10);
    LoadLabel->setText(QStringLiteral("Loading Properties...Bot Info..."));
    // A bot number that is not a number ends the stage here.
    loadStage(*m_bindings.model().openStore(), LoadStage::Bots);
}

void TOpeningForm::StartupTimer()
{
    Startup->stop();
    LoadLabel->setText(QStringLiteral("Loading Startup..."));
    const auto store = m_bindings.model().openStore();
    if (store->ReadInteger(kRestoreFlags) != kStartupStageArmed) {
        InitlizeDefaults();
        return;
    }
    loadStage(*store, LoadStage::Startup);
    store->WriteInteger(kRestoreFlags, kStartupStageArmed);
    ProgressBar1->setValue(20);
}

void TOpeningForm::InitlizeDefaults()
{
    Startup->stop();
    LoadLabel->setText(QStringLiteral("Initlizing Registry..."));
}

void TOpeningForm::MapTimer()
{
    Map->stop();
    LoadLabel->setText(QStringLiteral("Loading Maps..."));
    loadStage(*m_bindings.model().openStore(), LoadStage::Maps);
    ProgressBar1->setValue(40);
}

void TOpeningForm::ValueLoaderTimer()
{
    ProgressBar1->setValue(ProgressBar1->value() + 1);
}

void TOpeningForm::EnhConsoleTimer()
{
    EnhConsole->stop();
    LoadLabel->setText(QStringLiteral("Loading Console..."));
    ProgressBar1->setValue(60);
}

void TOpeningForm::RemAccessTimer()
{
    ValueLoader->stop();
    RemAccess->stop();
    LoadLabel->setText(QStringLiteral("Loading Remote Access Security..."));
    ProgressBar1->setValue(80);
    // The ZOZ Idaroz's host choice: the remote radio first, then the local one; the stored host only when the
    // remote one ends up on. The extra ports are not read.
    loadStage(*m_bindings.model().openStore(), LoadStage::RemoteAccess);
}

void TOpeningForm::AdvancedTimer()
{
    Advanced->stop();
    LoadLabel->setText(QStringLiteral("Loading Advanced Setup..."));
    loadStage(*m_bindings.model().openStore(), LoadStage::Advanced);
    ProgressBar1->setValue(100);
}

void TOpeningForm::HideTimerTimer()
{
    HideTimer->stop();
    hide();
    SafeTimer->stop();
    emit loadFinished();
}

void TOpeningForm::SafeTimerTimer()
{
    Properties->start();
    Startup->start();
}

} // namespace varno
