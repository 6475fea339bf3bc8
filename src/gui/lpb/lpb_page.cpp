#include "gui/lpb/lpb_page.h"

#include "core/app/varno_error.h"
#include "core/lpb/lpb_log.h"
#include "core/settings/integer_text.h"
#include "core/settings/schema.h"
#include "core/settings/server_model.h"
#include "drive/server_fleet.h"
#include "gui/app/dialogs.h"
#include "gui/app/error_report.h"
#include "gui/app/forms.h"
#include "gui/app/spin_edit.h"
#include "gui/app/status_line.h"
#include "gui/app/widget_helpers.h"
#include "gui/lpb/status_form.h"
#include "gui/settings/loaded_values.h"
#include "gui/settings/model_bindings.h"
#include "net/rcon_session.h"
#include "platform/file_writer.h"
#include "platform/qt_text.h"

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
const QString kStoppedHealth = QStringLiteral("Stopped");

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

QString shownPlayer(const PlayerRecord& player)
{
    return fromWire(playerText(player));
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

LpbPage::LpbPage(ModelBindings& bindings, FleetServer& server, StatusLine* statusLine, QWidget* parent)
    : QWidget(parent)
    , m_bindings(bindings)
    , m_statusLine(statusLine)
{
    LPBRadio1 = makeControl<QRadioButton>(this, "LPBRadio1", QStringLiteral("Work on Localhost"));
    LPBRadio2 = makeControl<QRadioButton>(this, "LPBRadio2", QStringLiteral("Specify Remote Server"));
    LPBServerEdit = makeControl<QLineEdit>(this, "LPBServerEdit");
    setServerEditUsable(LPBServerEdit, false);
    LPBPortSpin = makeControl<SpinEdit>(this, "LPBPortSpin", kLPBRemotePort, 7);
    LPBPort2 = makeControl<SpinEdit>(this, "LPBPort2", kLPBPort2, 7);
    LPBPort3 = makeControl<SpinEdit>(this, "LPBPort3", kLPBPort3, 7);
    LPBPort4 = makeControl<SpinEdit>(this, "LPBPort4", kLPBPort4, 7);
    SpinMinPing = makeControl<SpinEdit>(this, "SpinMinPing", kLPBMinPing, 4);
    SpinCheckLPB = makeControl<SpinEdit>(this, "SpinCheckLPB", kLPBCheckRate, 4);
    LPBRcon = makeControl<QLineEdit>(this, "LPBRcon");
    LPBRcon->setEchoMode(QLineEdit::Password);
    LPBMsg = makeControl<QCheckBox>(this, "LPBMsg", QStringLiteral("Display a message for any detected LPBs"));
    msg1 = makeControl<QLineEdit>(this, "msg1");
    msg2 = makeControl<QLineEdit>(this, "msg2");
    KickCB = makeControl<QCheckBox>(this, "KickCB", QStringLiteral("Kick LPB"));
    BanIPCB = makeControl<QCheckBox>(this, "BanIPCB", QStringLiteral("Ban IP"));
    KickBannedCB = makeControl<QCheckBox>(this, "KickBannedCB", QStringLiteral("Remove banned players"));
    LogLPBsCB = makeControl<QCheckBox>(this, "LogLPBsCB", QStringLiteral("Log LPBs"));
    LpbButton = makeControl<QPushButton>(this, "LpbButton", kEnableCaption);
    Button10 = makeControl<QPushButton>(this, "Button10", QStringLiteral("View Status"));

    LPBHealth = makeControl<QLabel>(this, "LPBHealth", kStoppedHealth);
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

    bindControls();
    buildLayout();
    connectHandlers();
    attach(server);
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

void LpbPage::bindControls()
{
    // The radio buttons keep their handlers, which store both values of the host choice in the order it always had.
    const auto bindRadio = [this](QRadioButton* button, const SettingKey& key) {
        m_bindings.custom(
            button, key, [button] { return toDecimal(button->isChecked()); },
            [button](const std::string& text) { setRadioLoaded(button, parseStoredInteger(text).value_or(0) != 0); },
            [button, &key](SettingsStore& store) { setRadioLoaded(button, store.ReadBool(key)); });
    };
    bindRadio(LPBRadio1, kLocalHost);
    bindRadio(LPBRadio2, kRemoteHost);
    // The stored host is read at start only when the remote choice ends up on.
    m_bindings.text(LPBServerEdit, kRemoteHostAddress, [this](SettingsStore& store) {
        if (!LPBRadio2->isChecked())
            return;
        loadText(store, kRemoteHostAddress, LPBServerEdit);
        setServerEditUsable(LPBServerEdit, true);
    });
    m_bindings.number(LPBPortSpin, kLPBRemotePort);
    m_bindings.number(LPBPort2, kLPBPort2);
    m_bindings.number(LPBPort3, kLPBPort3);
    m_bindings.number(LPBPort4, kLPBPort4);
    m_bindings.number(SpinMinPing, kLPBMinPing);
    m_bindings.number(SpinCheckLPB, kLPBCheckRate);
    m_bindings.text(msg1, kLPBMsg1);
    m_bindings.text(msg2, kLPBMsg2);
    m_bindings.text(LPBRcon, kLPBRCon);
    m_bindings.flag(LPBMsg, kLPBMsg);
    m_bindings.flag(KickCB, kKickLPB);
    m_bindings.flag(BanIPCB, kBanIP);
    m_bindings.flag(KickBannedCB, kKickBanned);
    m_bindings.flag(LogLPBsCB, kLogLPBs);
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
    onEvent(SpinMinPing, &SpinEdit::changed, this, &LpbPage::SpinMinPingChange);
    onEvent(SpinCheckLPB, &SpinEdit::changed, this, &LpbPage::SpinCheckLPBChange);
    onEvent(LpbButton, &QPushButton::clicked, this, &LpbPage::LpbButtonClick);
    onEvent(Button10, &QPushButton::clicked, this, &LpbPage::Button10Click);
    onEvent(Button9, &QPushButton::clicked, this, &LpbPage::Button9Click);
    onEvent(BanIP1, &QAction::triggered, this, &LpbPage::BanIP1Click);
    onEvent(ClearAll1, &QAction::triggered, this, &LpbPage::ClearAll1Click);
    connect(LPBGrid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { RulesPopupMenu->popup(LPBGrid->viewport()->mapToGlobal(at)); });
}

void LpbPage::attach(FleetServer& server)
{
    const bool switching = m_server != nullptr;
    if (m_server) {
        disconnect(m_replies);
        m_server->reportInBackground();
    }
    m_server = &server;
    m_driver = &server.watcher();
    LPBTimer = m_driver->timer();
    LPBTimer->setObjectName(QStringLiteral("LPBTimer"));
    if (!m_driver->isRunning())
        LPBTimer->setInterval(kInitialTimerInterval);
    UDP1 = m_driver->session().endpoint();
    m_replies = connect(&server, &FleetServer::replied, this, [this](const QByteArray& reply, const ParsedStatus& status) {
        runHandler([&] { showReply(std::string_view(reply.constData(), std::size_t(reply.size())), status); });
    });
    WatcherDriver& driver = *m_driver;
    driver.onStarted = [this](const RconTarget&, const WatcherOptions&) { LpbButton->setText(kDisableCaption); };
    driver.onStopped = [this](const std::vector<LpbCommandReport>& unsent) { showStopped(unsent); };
    driver.onHealth = [this](const WatcherDriver::HealthReport& health) { showHealth(health); };
    driver.onDecided = [this](const LpbDecision& decision) { runHandler([&] { showLpb(decision); }); };
    driver.onSent = [this](const LpbCommandReport& report) { commandSent(report); };
    driver.onReplyError = [](const std::string& error) { runHandler([&] { throw VarnoError(error); }); };
    driver.onFailure = [](const QString& message) { runHandler([&] { throw VarnoError(toStd(message)); }); };
    if (!switching)
        return;
    // The log and the counts are of the server shown; its watcher's state comes with it.
    ClearAll1Click();
    LPBcnt->setText(QString::number(m_driver->count()));
    BannedCnt->setText(QString::number(m_driver->bannedCount()));
    LpbButton->setText(m_driver->isRunning() ? kDisableCaption : kEnableCaption);
    LPBHealth->setText(m_driver->isRunning() ? toQ(m_driver->health().text) : kStoppedHealth);
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

void LpbPage::storeHostChoice()
{
    ServerModel& model = m_bindings.model();
    model.storeFlag(kLocalHost, LPBRadio1->isChecked());
    model.storeFlag(kRemoteHost, LPBRadio2->isChecked());
}

void LpbPage::LPBRadio1Click()
{
    m_bindings.whenChangedByOperator([this] { storeHostChoice(); });
    setServerEditUsable(LPBServerEdit, false);
}

void LpbPage::LPBRadio2Click()
{
    if (isRunning() && LPBServerEdit->text().isEmpty())
        LpbButtonClick();
    m_bindings.whenChangedByOperator([this] { storeHostChoice(); });
    ServerModel& model = m_bindings.model();
    model.changeText(kRemoteHostAddress, model.openStore()->ReadString(kRemoteHostAddress));
    setServerEditUsable(LPBServerEdit, true);
}

void LpbPage::SpinMinPingChange()
{
    m_statusLine->setText(minPingText(SpinMinPing->value()));
}

void LpbPage::SpinCheckLPBChange()
{
    m_driver->setCheckRate(SpinCheckLPB->value());
}

void LpbPage::appendBan(const std::string& address)
{
    ServerModel& model = m_bindings.model();
    std::vector<std::string> bans = model.list(kBanIPList);
    bans.push_back(address);
    model.storeList(kBanIPList, bans);
}

void LpbPage::sendBanListEdit(bool added, const QString& entry)
{
    if (!m_driver->serverAnswers()) {
        m_statusLine->setText(QStringLiteral("%1 stored; the server gets it with its next launch").arg(entry));
        return;
    }
    const std::string command = std::string(added ? " addip " : " removeip ") + toStd(entry);
    m_driver->send(command);
    m_statusLine->setText(QStringLiteral("Sending%1 to the running server").arg(toQ(command)));
}

void LpbPage::removePlayer(const PlayerRecord& player, bool ban)
{
    if (!m_driver->removeByOperator(player, ban)) {
        m_statusLine->setText(QStringLiteral("Enable the ZOZ Idaroz to kick or ban ") + shownPlayer(player));
        return;
    }
    m_statusLine->setText((ban ? QStringLiteral("Banning ") : QStringLiteral("Kicking ")) + shownPlayer(player));
}

// --- Enabling and what the watcher reports ---

void LpbPage::LpbButtonClick()
{
    if (isRunning())
        m_driver->stop();
    else if (const auto refusal = m_driver->start())
        dialogs::showMessage(toQ(*refusal));
}

void LpbPage::enableFromCommandLine()
{
    if (!isRunning())
        LpbButtonClick();
}

void LpbPage::LPBTimerTimer()
{
    m_driver->poll();
}

void LpbPage::handleReply(std::string_view replyText)
{
    m_driver->deliver(replyText);
}

void LpbPage::showStopped(const std::vector<LpbCommandReport>& unsent)
{
    LpbButton->setText(kEnableCaption);
    LPBHealth->setText(kStoppedHealth);
    QStringList names;
    for (const LpbCommandReport& report : unsent)
        names << fromWire(describeCommand(report));
    if (!names.isEmpty())
        m_statusLine->setText(kNotSentMessage + names.join(QStringLiteral(", ")));
}

void LpbPage::showHealth(const WatcherDriver::HealthReport& health)
{
    LPBHealth->setText(toQ(health.status.text));
    if (health.notable)
        m_statusLine->setText(toQ(health.status.text));
}

void LpbPage::showReply(std::string_view replyText, const ParsedStatus& status)
{
    for (const StatusRow& row : status.rows) {
        if (const std::string_view notice = row.notice(); !notice.empty())
            m_statusLine->setText(fromWire(notice));
    }
    emit statusReplied(fromWire(replyText), status);
}

void LpbPage::showLpb(const LpbDecision& decision)
{
    const PlayerRecord& player = decision.player;
    if (decision.message)
        m_statusLine->setText(fromWire(*decision.message));
    else if (decision.banned && !decision.retry)
        m_statusLine->setText(QStringLiteral("Removing banned player %1 (%2)")
                                  .arg(fromWire(playerName(player)), fromWire(player.address)));
    if (decision.logLine) {
        m_logLines.push_back(*decision.logLine);
        LPBListBox->appendPlainText(fromWire(*decision.logLine));
        const int last = LPBGrid->rowCount() - 1;
        LPBGrid->setItem(last, 0, readOnlyItem(fromWire(player.name)));
        LPBGrid->setItem(last, 1, readOnlyItem(fromWire(player.ping)));
        LPBGrid->setItem(last, 2, readOnlyItem(fromWire(player.address)));
        LPBGrid->setRowCount(last + 2);
    }
    if (decision.countedNow)
        countLpb();
}

void LpbPage::commandSent(const LpbCommandReport& report)
{
    // The count follows what has left, as varno watch reports it.
    if (report.byOperator)
        m_statusLine->setText(QStringLiteral("Sent %1 of %2")
                                  .arg(report.kind == LpbCommandKind::Kick
                                           ? QStringLiteral("the kick")
                                           : QStringLiteral("addip ") + toQ(report.address),
                                       shownPlayer(report.player)));
    else if (report.counted && report.banned)
        BannedCnt->setText(QString::number(m_driver->bannedCount()));
    else if (report.counted)
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
    appendBan(toStd(address));
    // While the watcher runs, the server it polls refuses the address at once, as after the watcher's own bans.
    const std::optional<std::string> addIp = addIpCommand({{}, {}, {}, toStd(address)});
    if (isRunning() && addIp)
        m_driver->send(*addIp);
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
