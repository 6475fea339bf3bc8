#include "gui/lpb/lpb_page.h"

#include "core/app/varno_error.h"
#include "core/lpb/lpb_log.h"
#include "core/settings/schema.h"
#include "gui/app/dialogs.h"
#include "gui/app/error_report.h"
#include "gui/app/forms.h"
#include "gui/app/main_window.h"
#include "gui/app/spin_edit.h"
#include "gui/app/status_line.h"
#include "gui/app/widget_helpers.h"
#include "net/rcon_endpoint.h"
#include "net/rcon_session.h"
#include "gui/lpb/status_form.h"
#include "gui/settings/advanced_page.h"
#include "gui/settings/loaded_values.h"
#include "platform/file_writer.h"
#include "platform/qt_text.h"
#include "platform/settings_factory.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedLayout>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace varno {

namespace {

constexpr int kInitialTimerInterval = 4000;

const QString kEnableCaption = QStringLiteral("Enable");
const QString kDisableCaption = QStringLiteral("Disable");
// The caption is the running state: "Disable" while the watcher runs.
constexpr qsizetype kRunningCaptionLength = 7;

const QString kNoPasswordMessage = QStringLiteral("You must setup an RCon Password before enabling this feature!");
const QString kMinPingZeroMessage = QStringLiteral("MinPing 0!?! you better fix that.");

const QString kRadio1Hint = QStringLiteral("Select to have the ZOZ Idaroz connect to ports on this computer.");
const QString kRadio2Hint = QStringLiteral("Select to have the ZOZ Idaroz connect to ports on a remote computer.");
const QString kServerEditHint = QStringLiteral("Specify the remote server to scan.");
const QString kPortSpinHint = QStringLiteral("Main port to scan for LPBs.");
const QString kExtraPortHint =
    QStringLiteral("Set port value greater than 0 to scan multiple ports.  Set value to 0 to disable.");
const QString kCheckRateHint = QStringLiteral(
    "Scans each port at N intervals.  To do all 4 ports, at 20 second intervals each, choose 5 as your check rate.");
const QString kRconHint = QStringLiteral("Specify the servers RCon password here");
const QString kKickBannedHint =
    QStringLiteral("Removes players whose address the Banned IP List matches, whatever their ping");
const QString kLpbMsgHint = QStringLiteral("Enables/Disables the message announced just before kicking an LPB");
const QString kMsg1Hint = QStringLiteral("Prefix to LPB kicking message.");
const QString kMsg2Hint = QStringLiteral("Sufix to LPB kicking message");
const QString kKickHint = QStringLiteral("Enables/Disables the kicking of LPBs");
const QString kLogHint = QStringLiteral("Enables/Disables the logging of LPBs Name, Ping, and IP");

const QString kNotSentMessage = QStringLiteral("Not sent when the watcher stopped: ");

const QStringList kLogFilters{QStringLiteral("Varno Log (*.log)"), QStringLiteral("Text File (*.txt)"),
                              QStringLiteral("All Files (*.*)")};

QString minPingText(int value)
{
    return QStringLiteral("Anyone with a ping lower than ") + QString::number(value) +
           QStringLiteral(" will be kicked.");
}

SpinEdit* makeSpin(QWidget* parent, const char* name, const SettingKey& key, int digits)
{
    return makeControl<SpinEdit>(parent, name, key.minimum, key.maximum, key.defaultInteger(), digits);
}

QString trimmedWire(std::string_view text)
{
    return fromWire(text).trimmed();
}

QString playerText(const PlayerRecord& player)
{
    return QStringLiteral("client ") + trimmedWire(player.clientNumber) + QLatin1Char(' ') + trimmedWire(player.name);
}

// How an unsent command is named to the operator.
QString unsentText(const LpbCommandReport& report)
{
    const QString who = playerText(report.player);
    switch (report.kind) {
    case LpbCommandKind::Announcement:
        return QStringLiteral("announcement of ") + who;
    case LpbCommandKind::Kick:
        return QStringLiteral("kick of ") + who;
    case LpbCommandKind::AddIp:
        return QStringLiteral("addip ") + toQ(report.address);
    }
    return {};
}

QTableWidgetItem* readOnlyItem(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

// Grey and disabled while the localhost choice holds, white and editable otherwise.
void setServerEditUsable(QLineEdit* edit, bool usable)
{
    QPalette palette = edit->palette();
    const QPalette standard = QApplication::palette(edit);
    palette.setColor(QPalette::Base, usable ? standard.color(QPalette::Base) : standard.color(QPalette::Window));
    edit->setPalette(palette);
    edit->setEnabled(usable);
}

} // namespace

LpbPage::LpbPage(ModelBindings& bindings, StatusLine* statusLine, QWidget* parent)
    : QWidget(parent)
    , m_bindings(bindings)
    , m_statusLine(statusLine)
{
    LPBRadio1 = makeControl<QRadioButton>(this, "LPBRadio1", QStringLiteral("Work on Localhost"));
    LPBRadio1->setChecked(true);
    LPBRadio2 = makeControl<QRadioButton>(this, "LPBRadio2", QStringLiteral("Specify Remote Server"));
    LPBServerEdit = makeControl<QLineEdit>(this, "LPBServerEdit");
    setServerEditUsable(LPBServerEdit, false);
    LPBPortSpin = makeSpin(this, "LPBPortSpin", kLPBRemotePort, 7);
    LPBPort2 = makeSpin(this, "LPBPort2", kLPBPort2, 7);
    LPBPort3 = makeSpin(this, "LPBPort3", kLPBPort3, 7);
    LPBPort4 = makeSpin(this, "LPBPort4", kLPBPort4, 7);
    SpinMinPing = makeSpin(this, "SpinMinPing", kLPBMinPing, 4);
    SpinCheckLPB = makeSpin(this, "SpinCheckLPB", kLPBCheckRate, 4);
    LPBRcon = makeControl<QLineEdit>(this, "LPBRcon");
    LPBRcon->setEchoMode(QLineEdit::Password);
    LPBMsg = makeControl<QCheckBox>(this, "LPBMsg", QStringLiteral("Display a message for any detected LPBs"));
    LPBMsg->setChecked(true);
    msg1 = makeControl<QLineEdit>(this, "msg1", toQ(kLPBMsg1.defaultText));
    msg2 = makeControl<QLineEdit>(this, "msg2", toQ(kLPBMsg2.defaultText));
    KickCB = makeControl<QCheckBox>(this, "KickCB", QStringLiteral("Kick LPB"));
    KickCB->setChecked(true);
    BanIPCB = makeControl<QCheckBox>(this, "BanIPCB", QStringLiteral("Ban IP"));
    KickBannedCB = makeControl<QCheckBox>(this, "KickBannedCB", QStringLiteral("Remove banned players"));
    KickBannedCB->setChecked(kKickBanned.defaultInteger() != 0);
    LogLPBsCB = makeControl<QCheckBox>(this, "LogLPBsCB", QStringLiteral("Log LPBs"));
    LogLPBsCB->setChecked(true);
    LpbButton = makeControl<QPushButton>(this, "LpbButton", kEnableCaption);
    Button10 = makeControl<QPushButton>(this, "Button10", QStringLiteral("View Status"));

    LPBHealth = makeControl<QLabel>(this, "LPBHealth", QStringLiteral("Stopped"));
    LPBHealth->setWordWrap(true);
    LPBcnt = makeControl<QLabel>(this, "LPBcnt", QStringLiteral("0"));
    QPalette red = LPBcnt->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    LPBcnt->setPalette(red);
    BannedCnt = makeControl<QLabel>(this, "BannedCnt", QStringLiteral("0"));
    BannedCnt->setPalette(red);
    LPBGrid = makeControl<QTableWidget>(this, "LPBGrid", 1, 3);
    LPBListBox = makeControl<QPlainTextEdit>(this, "LPBListBox");
    LPBListBox->setLineWrapMode(QPlainTextEdit::NoWrap);
    LPBListBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    LPBListBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Button9 = makeControl<QPushButton>(this, "Button9", QStringLiteral("Save"));

    RulesPopupMenu = new QMenu(this);
    RulesPopupMenu->setObjectName(QStringLiteral("RulesPopupMenu"));
    BanIP1 = RulesPopupMenu->addAction(QStringLiteral("Ban IP"));
    BanIP1->setObjectName(QStringLiteral("BanIP1"));
    RulesPopupMenu->addSeparator();
    ClearAll1 = RulesPopupMenu->addAction(QStringLiteral("Clear All"));
    ClearAll1->setObjectName(QStringLiteral("ClearAll1"));

    LPBTimer = new QTimer(this);
    LPBTimer->setObjectName(QStringLiteral("LPBTimer"));
    LPBTimer->setInterval(kInitialTimerInterval);

    m_session = new RconSession(this);
    UDP1 = m_session->endpoint();

    buildLayout();
    connectHandlers();
    installHints();
}

LpbPage::~LpbPage() = default;

void LpbPage::buildLayout()
{
    auto* settingsBox = new QGroupBox(QStringLiteral(" Settings "), this);
    auto* grid = new QGridLayout(settingsBox);
    int row = 0;
    grid->addWidget(LPBRadio1, row++, 0, 1, 2);
    auto* remote = new QHBoxLayout;
    remote->addWidget(LPBRadio2);
    remote->addWidget(LPBServerEdit, 1);
    grid->addLayout(remote, row++, 0, 1, 2);

    auto* ports = new QHBoxLayout;
    for (SpinEdit* port : {LPBPortSpin, LPBPort2, LPBPort3, LPBPort4})
        ports->addWidget(port);
    ports->addStretch();
    grid->addWidget(makeLabel(settingsBox, QStringLiteral("Port(s)"), LPBPortSpin), row, 0);
    grid->addLayout(ports, row++, 1);

    auto* rates = new QHBoxLayout;
    rates->addWidget(SpinMinPing);
    rates->addWidget(makeLabel(settingsBox, QStringLiteral("ms.")));
    rates->addSpacing(16);
    rates->addWidget(makeLabel(settingsBox, QStringLiteral("Check every"), SpinCheckLPB));
    rates->addWidget(SpinCheckLPB);
    rates->addWidget(makeLabel(settingsBox, QStringLiteral("seconds.")));
    rates->addStretch();
    grid->addWidget(makeLabel(settingsBox, QStringLiteral("Kick anyone below"), SpinMinPing), row, 0);
    grid->addLayout(rates, row++, 1);

    grid->addWidget(makeLabel(settingsBox, QStringLiteral("RCon Password"), LPBRcon), row, 0);
    grid->addWidget(LPBRcon, row++, 1);
    grid->addWidget(LPBMsg, row++, 0, 1, 2);

    auto* message = new QHBoxLayout;
    message->addWidget(msg1, 1);
    message->addWidget(makeLabel(settingsBox, QStringLiteral("players name")));
    message->addWidget(msg2, 2);
    grid->addLayout(message, row++, 0, 1, 2);

    grid->setRowStretch(row++, 1);
    grid->addWidget(KickBannedCB, row++, 0, 1, 2, Qt::AlignLeft);
    auto* options = new QHBoxLayout;
    options->addWidget(KickCB);
    options->addWidget(BanIPCB);
    options->addWidget(LogLPBsCB);
    options->addStretch();
    options->addWidget(LpbButton);
    options->addWidget(Button10);
    grid->addLayout(options, row, 0, 1, 2);
    grid->setColumnStretch(1, 1);

    auto* infoBox = new QGroupBox(QStringLiteral(" Returned Info. "), this);
    auto* info = new QVBoxLayout(infoBox);
    info->addWidget(LPBHealth);
    auto* count = new QHBoxLayout;
    count->addWidget(makeLabel(infoBox, QStringLiteral("LPBs Kicked so far:")));
    count->addWidget(LPBcnt);
    count->addSpacing(24);
    count->addWidget(makeLabel(infoBox, QStringLiteral("Banned players removed:")));
    count->addWidget(BannedCnt);
    count->addStretch();
    info->addLayout(count);
    auto* listLine = new QHBoxLayout;
    listLine->addWidget(makeLabel(infoBox, QStringLiteral("List of Kicked LPB:")));
    listLine->addStretch();
    listLine->addWidget(Button9);
    info->addLayout(listLine);

    LPBGrid->setHorizontalHeaderLabels(
        {QStringLiteral("Player's Name"), QStringLiteral("Ping"), QStringLiteral("IP Address")});
    LPBGrid->verticalHeader()->setVisible(false);
    LPBGrid->verticalHeader()->setDefaultSectionSize(LPBGrid->fontMetrics().height() + 4);
    LPBGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LPBGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    LPBGrid->setSelectionBehavior(QAbstractItemView::SelectItems);
    LPBGrid->setWordWrap(false);
    const QFontMetrics metrics(LPBGrid->font());
    const int designWidths[] = {154, 37, 154};
    for (int column = 0; column < 3; ++column) {
        const int needed = metrics.horizontalAdvance(LPBGrid->horizontalHeaderItem(column)->text()) + 16;
        LPBGrid->setColumnWidth(column, std::max(designWidths[column], needed));
    }
    LPBGrid->horizontalHeader()->setStretchLastSection(true);
    LPBGrid->setContextMenuPolicy(Qt::CustomContextMenu);
    LPBGrid->setMinimumWidth(LPBGrid->columnWidth(0) + LPBGrid->columnWidth(1) + LPBGrid->columnWidth(2) +
                             2 * LPBGrid->frameWidth() + 20);
    resetLpbGrid();

    // The log lies under the table, which covers it: it is seen only through the saved file.
    auto* stack = new QStackedLayout;
    stack->addWidget(LPBGrid);
    stack->addWidget(LPBListBox);
    stack->setCurrentWidget(LPBGrid);
    info->addLayout(stack, 1);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(settingsBox, 1);
    layout->addWidget(infoBox, 1);
}

void LpbPage::connectHandlers()
{
    connect(LPBRadio1, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            runHandler([this] { LPBRadio1Click(); });
    });
    connect(LPBRadio2, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            runHandler([this] { LPBRadio2Click(); });
    });
    onEvent(LPBServerEdit, &QLineEdit::textChanged, this, &LpbPage::LPBServerEditChange);
    onEvent(LPBPortSpin, &SpinEdit::changed, this, &LpbPage::LPBPortSpinChange);
    onEvent(LPBPort2, &SpinEdit::changed, this, &LpbPage::LPBPort2Change);
    onEvent(LPBPort3, &SpinEdit::changed, this, &LpbPage::LPBPort3Change);
    onEvent(LPBPort4, &SpinEdit::changed, this, &LpbPage::LPBPort4Change);
    onEvent(SpinMinPing, &SpinEdit::changed, this, &LpbPage::SpinMinPingChange);
    onEvent(SpinCheckLPB, &SpinEdit::changed, this, &LpbPage::SpinCheckLPBChange);
    onEvent(msg1, &QLineEdit::textChanged, this, &LpbPage::msg1Change);
    onEvent(msg2, &QLineEdit::textChanged, this, &LpbPage::msg2Change);
    onEvent(LPBRcon, &QLineEdit::textChanged, this, &LpbPage::LPBRconChange);
    onEvent(LPBMsg, &QCheckBox::toggled, this, &LpbPage::LPBMsgClick);
    onEvent(KickCB, &QCheckBox::toggled, this, &LpbPage::KickCBClick);
    onEvent(BanIPCB, &QCheckBox::toggled, this, &LpbPage::BanIPCBClick);
    onEvent(KickBannedCB, &QCheckBox::toggled, this, &LpbPage::KickBannedCBClick);
    onEvent(LogLPBsCB, &QCheckBox::toggled, this, &LpbPage::LogLPBsCBClick);
    onEvent(LpbButton, &QPushButton::clicked, this, &LpbPage::LpbButtonClick);
    onEvent(Button10, &QPushButton::clicked, this, &LpbPage::Button10Click);
    onEvent(Button9, &QPushButton::clicked, this, &LpbPage::Button9Click);
    onEvent(BanIP1, &QAction::triggered, this, &LpbPage::BanIP1Click);
    onEvent(ClearAll1, &QAction::triggered, this, &LpbPage::ClearAll1Click);
    onEvent(LPBTimer, &QTimer::timeout, this, &LpbPage::LPBTimerTimer);
    connect(LPBGrid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { RulesPopupMenu->popup(LPBGrid->viewport()->mapToGlobal(at)); });

    m_session->onReply = [this](std::string_view reply, const ParsedStatus& status) {
        runHandler([&] { parseStatus(std::string(reply), status); });
    };
    m_session->onSent = [this](std::uint64_t id) { commandSent(id); };
    m_session->onHealth = [this] { showHealth(); };
    m_session->onError = [](const QString& message) { runHandler([&] { throw VarnoError(toStd(message)); }); };
}

void LpbPage::installHints()
{
    m_hints = {{LPBRadio1, kRadio1Hint},
               {LPBRadio2, kRadio2Hint},
               {LPBServerEdit, kServerEditHint},
               {LPBPortSpin, kPortSpinHint},
               {LPBPort2, kExtraPortHint},
               {LPBPort3, kExtraPortHint},
               {LPBPort4, kExtraPortHint},
               {SpinCheckLPB, kCheckRateHint},
               {LPBRcon, kRconHint},
               {LPBMsg, kLpbMsgHint},
               {msg1, kMsg1Hint},
               {msg2, kMsg2Hint},
               {KickCB, kKickHint},
               {KickBannedCB, kKickBannedHint},
               {LogLPBsCB, kLogHint}};
    for (QObject* control : m_hints.keys())
        control->installEventFilter(this);
    SpinMinPing->installEventFilter(this);
}

bool LpbPage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Enter) {
        if (watched == SpinMinPing)
            m_statusLine->setText(minPingText(SpinMinPing->value()));
        else if (const auto hint = m_hints.constFind(watched); hint != m_hints.constEnd())
            m_statusLine->setText(*hint);
    }
    return QWidget::eventFilter(watched, event);
}

// --- Settings of the page ---

void LpbPage::LPBRadio1Click()
{
    {
        const auto store = createSettingsStore();
        store->WriteBool(kLocalHost, LPBRadio1->isChecked());
        store->WriteBool(kRemoteHost, false);
    }
    setServerEditUsable(LPBServerEdit, false);
}

void LpbPage::LPBRadio2Click()
{
    if (isRunning() && LPBServerEdit->text().isEmpty())
        LpbButtonClick();
    std::string address;
    {
        const auto store = createSettingsStore();
        store->WriteBool(kLocalHost, false);
        store->WriteBool(kRemoteHost, LPBRadio2->isChecked());
        address = store->ReadString(kRemoteHostAddress);
    }
    LPBServerEdit->setText(toQ(address));
    setServerEditUsable(LPBServerEdit, true);
}

void LpbPage::LPBServerEditChange()
{
    createSettingsStore()->WriteString(kRemoteHostAddress, toStd(LPBServerEdit->text()));
}

void LpbPage::LPBPortSpinChange()
{
    createSettingsStore()->WriteInteger(kLPBRemotePort, LPBPortSpin->value());
}

void LpbPage::LPBPort2Change()
{
    createSettingsStore()->WriteInteger(kLPBPort2, LPBPort2->value());
}

void LpbPage::LPBPort3Change()
{
    createSettingsStore()->WriteInteger(kLPBPort3, LPBPort3->value());
}

void LpbPage::LPBPort4Change()
{
    createSettingsStore()->WriteInteger(kLPBPort4, LPBPort4->value());
}

void LpbPage::SpinMinPingChange()
{
    createSettingsStore()->WriteInteger(kLPBMinPing, SpinMinPing->value());
    m_statusLine->setText(minPingText(SpinMinPing->value()));
}

void LpbPage::SpinCheckLPBChange()
{
    createSettingsStore()->WriteInteger(kLPBCheckRate, SpinCheckLPB->value());
    applyTimerPeriod();
}

void LpbPage::msg1Change()
{
    createSettingsStore()->WriteString(kLPBMsg1, toStd(msg1->text()));
}

void LpbPage::msg2Change()
{
    createSettingsStore()->WriteString(kLPBMsg2, toStd(msg2->text()));
}

void LpbPage::LPBRconChange()
{
    createSettingsStore()->WriteString(kLPBRCon, toStd(LPBRcon->text()));
}

void LpbPage::LPBMsgClick()
{
    createSettingsStore()->WriteBool(kLPBMsg, LPBMsg->isChecked());
}

void LpbPage::KickCBClick()
{
    createSettingsStore()->WriteBool(kKickLPB, KickCB->isChecked());
}

void LpbPage::BanIPCBClick()
{
    createSettingsStore()->WriteBool(kBanIP, BanIPCB->isChecked());
}

void LpbPage::KickBannedCBClick()
{
    createSettingsStore()->WriteBool(kKickBanned, KickBannedCB->isChecked());
}

void LpbPage::sendBanListEdit(bool added, const QString& entry)
{
    if (!isRunning() || m_session->health().state != HealthState::Answering) {
        m_statusLine->setText(QStringLiteral("%1 stored; the server gets it with its next launch").arg(entry));
        return;
    }
    const std::string command = std::string(added ? " addip " : " removeip ") + toStd(entry);
    m_session->send(rconDatagram(toStd(LPBRcon->text()), command));
    m_statusLine->setText(QStringLiteral("Sending%1 to the running server").arg(toQ(command)));
}

void LpbPage::removePlayer(const PlayerRecord& player, bool ban)
{
    if (!isRunning()) {
        m_statusLine->setText(QStringLiteral("Enable the ZOZ Idaroz to kick or ban ") + playerText(player));
        return;
    }
    const LpbDecision decision = m_watcher.removeByOperator(m_tableTarget, player, ban, storedBans());
    sendDecided(m_tableTarget, decision);
    if (decision.storeBan)
        forms().Form1->advancedPage->appendBan(fromWire(*decision.storeBan));
    m_statusLine->setText((ban ? QStringLiteral("Banning ") : QStringLiteral("Kicking ")) + playerText(player));
}

void LpbPage::LogLPBsCBClick()
{
    createSettingsStore()->WriteBool(kLogLPBs, LogLPBsCB->isChecked());
}

void LpbPage::loadStoredSettings(SettingsStore& store)
{
    setRadioLoaded(LPBRadio2, store.ReadBool(kRemoteHost));
    setRadioLoaded(LPBRadio1, store.ReadBool(kLocalHost));
    if (LPBRadio2->isChecked()) {
        LPBServerEdit->setText(toQ(store.ReadString(kRemoteHostAddress)));
        setServerEditUsable(LPBServerEdit, true);
    }
    loadNumber(store, kLPBRemotePort, LPBPortSpin);
    loadNumber(store, kLPBMinPing, SpinMinPing);
    loadNumber(store, kLPBCheckRate, SpinCheckLPB);
    loadText(store, kLPBMsg1, msg1);
    loadText(store, kLPBMsg2, msg2);
    loadText(store, kLPBRCon, LPBRcon);
    loadFlag(store, kLPBMsg, LPBMsg);
    loadFlag(store, kKickLPB, KickCB);
    loadFlag(store, kBanIP, BanIPCB);
    loadFlag(store, kKickBanned, KickBannedCB);
    loadFlag(store, kLogLPBs, LogLPBsCB);
}

// --- Enabling, polling and sending ---

bool LpbPage::isRunning() const
{
    return LpbButton->text().size() == kRunningCaptionLength;
}

bool LpbPage::isSending() const
{
    return m_session->isSending();
}

void LpbPage::applyTimerPeriod()
{
    const int period = SpinCheckLPB->value() * 1000;
    LPBTimer->setInterval(period);
    // A zero period would fire continuously: the watcher then stays enabled but does not poll.
    if (isRunning() && period > 0)
        LPBTimer->start();
    else
        LPBTimer->stop();
}

void LpbPage::stop()
{
    LPBTimer->stop();
    LpbButton->setText(kEnableCaption);
    m_session->clearQueued();
    QStringList unsent;
    for (const LpbCommandReport& report : m_watcher.dropPending())
        unsent << unsentText(report);
    LPBHealth->setText(QStringLiteral("Stopped"));
    if (!unsent.isEmpty())
        m_statusLine->setText(kNotSentMessage + unsent.join(QStringLiteral(", ")));
}

WatcherOptions LpbPage::options() const
{
    WatcherOptions options;
    options.localHost = LPBRadio1->isChecked();
    options.remoteHost = toStd(LPBServerEdit->text());
    options.ports = {LPBPortSpin->value(), LPBPort2->value(), LPBPort3->value(), LPBPort4->value()};
    options.minPing = SpinMinPing->value();
    options.checkRateSeconds = SpinCheckLPB->value();
    options.password = toStd(LPBRcon->text());
    options.announce = LPBMsg->isChecked();
    options.msg1 = toStd(msg1->text());
    options.msg2 = toStd(msg2->text());
    options.kick = KickCB->isChecked();
    options.ban = BanIPCB->isChecked();
    options.kickBanned = KickBannedCB->isChecked();
    options.log = LogLPBsCB->isChecked();
    return options;
}

void LpbPage::showHealth()
{
    if (!isRunning())
        return;
    const WatcherHealthStatus health = m_session->health();
    LPBHealth->setText(toQ(health.text));
    // The status line hears of trouble and of the recovery from it, once per change of state; a watcher that
    // simply answers leaves the line to the replies' own notices.
    if (health.key == m_shownHealthKey)
        return;
    const bool fine = health.state == HealthState::Answering || health.state == HealthState::Waiting;
    if (!fine || m_healthTroubled)
        m_statusLine->setText(toQ(health.text));
    m_healthTroubled = !fine;
    m_shownHealthKey = health.key;
}

void LpbPage::LpbButtonClick()
{
    aimEndpoint(false);
    if (isRunning()) {
        stop();
        return;
    }
    if (LPBRcon->text().isEmpty()) {
        dialogs::showMessage(kNoPasswordMessage);
        return;
    }
    if (SpinMinPing->value() == 0) {
        dialogs::showMessage(kMinPingZeroMessage);
        return;
    }
    LpbButton->setText(kDisableCaption);
    applyTimerPeriod();
    m_session->resetHealth();
    m_shownHealthKey.clear();
    m_healthTroubled = false;
    showHealth();
    m_session->send(rconDatagram(toStd(LPBRcon->text()), kRconStartAnnouncement));
    m_watcher.startAnnouncementSent();
}

void LpbPage::enableFromCommandLine()
{
    if (!isRunning())
        LpbButtonClick();
}

void LpbPage::LPBTimerTimer()
{
    const WatcherOptions current = options();
    m_polled = {current.host(), m_portCycle.pollPort(current.ports)};
    m_watcher.pollSent(m_polled);
    m_session->poll(m_polled, rconDatagram(current.password, kRconStatusCommand));
}

RconTarget LpbPage::aimEndpoint(bool advanceCycle)
{
    const WatcherOptions current = options();
    const int port = advanceCycle ? m_portCycle.pollPort(current.ports) : m_portCycle.currentPort(current.ports);
    m_polled = {current.host(), port};
    m_session->aim(m_polled);
    return m_polled;
}

// --- Replies ---

void LpbPage::handleReply(std::string_view replyText)
{
    m_session->deliver(replyText);
}

std::vector<std::string> LpbPage::storedBans() const
{
    AdvancedPage* advanced = forms().Form1 ? forms().Form1->advancedPage : nullptr;
    return advanced ? advanced->banList() : std::vector<std::string>();
}

void LpbPage::sendDecided(const RconTarget& target, const LpbDecision& decision)
{
    const std::string password = toStd(LPBRcon->text());
    for (const LpbCommand& command : decision.commands)
        m_session->sendTo(target, rconDatagram(password, command.commandText), command.minGapUs, command.id);
}

void LpbPage::parseStatus(const std::string& replyText, const ParsedStatus& parsed)
{
    if (m_watcher.announceStartAgain(parsed))
        m_session->send(rconDatagram(toStd(LPBRcon->text()), kRconStartAnnouncement));
    const std::vector<LpbDecision> decisions = m_watcher.decide(m_polled, parsed, options(), storedBans());
    // The datagrams first: everything else here only shows what happened, and the kick should not wait for it.
    // All go to the server whose reply this is; the pacer keeps the kick 10 ms behind the announcement.
    for (const LpbDecision& decision : decisions)
        sendDecided(m_polled, decision);

    TStatusForm* statusForm = forms().StatusForm;
    // Every rcon command has a short reply of its own; only a status table replaces the player table.
    if (parsed.layout != StatusLayout::Unknown && statusForm) {
        statusForm->resetGrid();
        m_tableTarget = m_polled;
    }
    for (const StatusRow& row : parsed.rows) {
        if (const std::string_view notice = row.notice(); !notice.empty()) {
            m_statusLine->setText(fromWire(notice));
            continue;
        }
        if (statusForm)
            statusForm->addPlayerRow(row.player);
    }
    for (const LpbDecision& decision : decisions)
        showLpb(decision);
    if (statusForm)
        statusForm->setRawText(fromWire(replyText));
    if (parsed.error)
        throw VarnoError(*parsed.error);
}

void LpbPage::showLpb(const LpbDecision& decision)
{
    const PlayerRecord& player = decision.player;
    if (decision.message)
        m_statusLine->setText(fromWire(*decision.message));
    else if (decision.banned && !decision.retry)
        m_statusLine->setText(QStringLiteral("Removing banned player %1 (%2)")
                                  .arg(trimmedWire(player.name), fromWire(player.address)));
    if (decision.logLine) {
        m_logLines.push_back(*decision.logLine);
        LPBListBox->appendPlainText(fromWire(*decision.logLine));
        const int last = LPBGrid->rowCount() - 1;
        LPBGrid->setItem(last, 0, readOnlyItem(fromWire(player.name)));
        LPBGrid->setItem(last, 1, readOnlyItem(fromWire(player.ping)));
        LPBGrid->setItem(last, 2, readOnlyItem(fromWire(player.address)));
        LPBGrid->setRowCount(last + 2);
    }
    if (decision.storeBan)
        forms().Form1->advancedPage->appendBan(fromWire(*decision.storeBan));
    if (decision.countedNow)
        countLpb();
}

void LpbPage::commandSent(std::uint64_t id)
{
    // The count follows what has left, as varno watch reports it.
    const std::optional<LpbCommandReport> report = m_watcher.commandSent(id);
    if (report && report->byOperator)
        m_statusLine->setText(QStringLiteral("Sent %1 of %2")
                                  .arg(report->kind == LpbCommandKind::Kick ? QStringLiteral("the kick")
                                                                            : QStringLiteral("addip ") + toQ(report->address),
                                       playerText(report->player)));
    else if (report && report->counted && report->banned)
        BannedCnt->setText(QString::number(m_watcher.bannedCount()));
    else if (report && report->counted)
        countLpb();
}

void LpbPage::countLpb()
{
    LPBcnt->setText(QString::number(LPBcnt->text().toInt() + 1));
}

// --- Log commands ---

void LpbPage::resetLpbGrid()
{
    LPBGrid->clearContents();
    LPBGrid->setRowCount(1);
    LPBGrid->setCurrentCell(0, 0);
}

void LpbPage::Button9Click()
{
    dialogs::SaveRequest request;
    request.filters = kLogFilters;
    request.filterIndex = 0;
    request.defaultSuffix = QStringLiteral("log");
    request.fileName = QStringLiteral("Varnolpb.log");
    const dialogs::SaveAnswer answer = dialogs::askSaveFileName(this, request);
    if (!answer.accepted)
        return;
    writeFileAtomically(answer.fileName, QByteArray::fromStdString(lpbLogRtf(m_logLines)));
}

void LpbPage::BanIP1Click()
{
    const int row = std::max(0, LPBGrid->currentRow());
    const QTableWidgetItem* cell = LPBGrid->item(row, 2);
    const QString address = cell ? cell->text() : QString();
    forms().Form1->advancedPage->appendBan(address);
    // While the watcher runs, the server it polls refuses the address at once, as after the watcher's own bans.
    const std::optional<std::string> addIp = addIpCommand({{}, {}, {}, toStd(address)});
    if (isRunning() && addIp)
        m_session->send(rconDatagram(toStd(LPBRcon->text()), *addIp));
    m_statusLine->setText(QStringLiteral("IP: ") + address + QStringLiteral(" was added to the Banned IP List!"));
}

void LpbPage::ClearAll1Click()
{
    LPBListBox->clear();
    m_logLines.clear();
    resetLpbGrid();
}

void LpbPage::Button10Click()
{
    TStatusForm* statusForm = forms().StatusForm;
    statusForm->show();
    statusForm->raise();
    statusForm->activateWindow();
}

} // namespace varno
