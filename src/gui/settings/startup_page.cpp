#include "gui/settings/startup_page.h"

#include "core/launch/command_line.h"
#include "core/launch/server_script.h"
#include "core/settings/bot_flags.h"
#include "core/settings/integer_text.h"
#include "core/settings/schema.h"
#include "gui/app/error_report.h"
#include "gui/app/spin_edit.h"
#include "gui/app/status_line.h"
#include "gui/app/widget_helpers.h"
#include "gui/settings/loaded_values.h"
#include "gui/settings/model_bindings.h"
#include "platform/qt_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

namespace varno {

StartupPage::StartupPage(ModelBindings& bindings, StatusLine* statusLine, QWidget* parent)
    : QWidget(parent)
    , m_bindings(bindings)
    , m_statusLine(statusLine)
{
    ServerNameEdit = makeControl<QLineEdit>(this, "ServerNameEdit");
    MotdEdit = makeControl<QLineEdit>(this, "MotdEdit");
    GameTypeBox = makeControl<QComboBox>(this, "GameTypeBox");
    GameTypeBox->setEditable(true);
    GameTypeBox->setInsertPolicy(QComboBox::NoInsert);
    for (const std::string_view name : kGameTypeNames)
        GameTypeBox->addItem(toQ(name));
    ServerTypeBox = makeControl<QComboBox>(this, "ServerTypeBox");
    ServerTypeBox->setEditable(true);
    ServerTypeBox->setInsertPolicy(QComboBox::NoInsert);
    ServerTypeBox->addItems({toQ(kListenServerType), toQ(kDedicatedServerType)});
    memtouse = makeControl<SpinEdit>(this, "memtouse", kMemory, 4);
    NetPort = makeControl<SpinEdit>(this, "NetPort", kNetPort, 7);
    GameDirCombo = makeControl<QComboBox>(this, "GameDirCombo");
    GameDirCombo->setEditable(true);
    GameDirCombo->setInsertPolicy(QComboBox::NoInsert);
    StartMapBox = makeControl<QComboBox>(this, "StartMapBox");
    StartMapBox->setEditable(true);
    StartMapBox->setInsertPolicy(QComboBox::NoInsert);
    StartMapBox->setEnabled(false);
    StartMapBox->setVisible(false);
    StartMapLabel = makeLabel(this, QStringLiteral("Single Map"), StartMapBox);
    StartMapLabel->setObjectName(QStringLiteral("StartMapLabel"));
    StartMapLabel->setVisible(false);
    MaxPlayers = makeControl<SpinEdit>(this, "MaxPlayers", kMaxPlayers, 3);
    TimeLimit = makeControl<SpinEdit>(this, "TimeLimit", kTimeLimit, 0);
    Fraglimit = makeControl<SpinEdit>(this, "Fraglimit", kFragLimit, 0);

    BotListBox1 = makeControl<QListWidget>(this, "BotListBox1");
    for (const auto& name : stockBotNames()) {
        auto* item = new QListWidgetItem(toQ(name), BotListBox1);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Unchecked);
    }
    SpinBotMin = makeControl<SpinEdit>(this, "SpinBotMin", kMinBots, 0);
    BotRB1 = makeControl<QRadioButton>(this, "BotRB1", QStringLiteral("Auto-Kick Bots"));
    BotRB2 = makeControl<QRadioButton>(this, "BotRB2", QStringLiteral("Keep Bots at all times"));
    SpinBotLevel = makeControl<SpinEdit>(this, "SpinBotLevel", kBotlevel, 1);
    BotChatBox = makeControl<QCheckBox>(this, "BotChatBox", QStringLiteral("Disable bot chatting"));

    bindControls();
    buildLayout();
    connectHandlers();
}

void StartupPage::buildLayout()
{
    auto* server = new QGroupBox(QStringLiteral(" Server "), this);
    auto* grid = new QGridLayout(server);
    int row = 0;
    const auto addRow = [&](const QString& caption, QWidget* field, int column = 0, int span = 1) {
        grid->addWidget(makeLabel(server, caption, field), row, column);
        grid->addWidget(field, row, column + 1, 1, span);
    };
    addRow(QStringLiteral("Server Name"), ServerNameEdit, 0, 3);
    ++row;
    addRow(QStringLiteral("Msg of The Day"), MotdEdit, 0, 3);
    ++row;
    addRow(QStringLiteral("Game Type"), GameTypeBox, 0, 3);
    ++row;
    addRow(QStringLiteral("Server Type"), ServerTypeBox);
    addRow(QStringLiteral("Game Directory"), GameDirCombo, 2);
    ++row;
    addRow(QStringLiteral("Memory to Allocate"), memtouse);
    addRow(QStringLiteral("Port"), NetPort, 2);
    ++row;
    addRow(QStringLiteral("Max Players"), MaxPlayers);
    addRow(QStringLiteral("Time Limit"), TimeLimit, 2);
    ++row;
    addRow(QStringLiteral("Frag Limit"), Fraglimit);
    grid->addWidget(StartMapLabel, row, 2);
    grid->addWidget(StartMapBox, row, 3);
    grid->setRowStretch(row + 1, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    auto* bots = new QGroupBox(QStringLiteral(" Bots "), this);
    auto* botGrid = new QGridLayout(bots);
    BotListBox1->setMinimumWidth(BotListBox1->fontMetrics().horizontalAdvance(QStringLiteral("Bitterman")) + 48);
    botGrid->addWidget(BotListBox1, 0, 0, 6, 1);
    botGrid->addWidget(makeLabel(bots, QStringLiteral("Skill Level"), SpinBotLevel), 0, 1);
    botGrid->addWidget(SpinBotLevel, 0, 2);
    botGrid->addWidget(makeLabel(bots, QStringLiteral("Min Players"), SpinBotMin), 1, 1);
    botGrid->addWidget(SpinBotMin, 1, 2);
    botGrid->addWidget(BotRB1, 2, 1, 1, 2);
    botGrid->addWidget(BotRB2, 3, 1, 1, 2);
    botGrid->addWidget(BotChatBox, 4, 1, 1, 2);
    botGrid->setRowStretch(5, 1);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(server, 3);
    layout->addWidget(bots, 2);
}

void StartupPage::bindControls()
{
    m_bindings.text(ServerNameEdit, kServerName);
    m_bindings.text(MotdEdit, kMotd);
    // The game type box holds two values: its text and the index of the entry that text names.
    m_bindings.custom(
        GameTypeBox, kGameTypeText, [this] { return toStd(GameTypeBox->currentText()); },
        [this](const std::string& text) { GameTypeBox->setEditText(toQ(text)); },
        [this](SettingsStore& store) { loadText(store, kGameTypeText, GameTypeBox); });
    m_bindings.custom(
        GameTypeBox, kGameType, [this] { return toDecimal(comboSelectedIndex(GameTypeBox)); },
        [this](const std::string& text) {
            selectComboIndexQuietly(GameTypeBox, parseStoredInteger(text).value_or(-1));
        },
        [this](SettingsStore& store) { selectComboIndexQuietly(GameTypeBox, store.ReadInteger(kGameType)); });
    m_bindings.text(ServerTypeBox, kServerType);
    m_bindings.number(memtouse, kMemory);
    m_bindings.number(NetPort, kNetPort);
    m_bindings.text(GameDirCombo, kGameDir);
    // The game folder's sub-folders fill the game directory list once, when the loader reads the folder.
    m_bindings.custom(
        GameDirCombo, kQuakeDir, [this] { return m_bindings.model().text(kQuakeDir); }, [](const std::string&) {},
        [this](SettingsStore& store) { fillGameDirList(toQ(store.ReadString(kQuakeDir))); });
    m_bindings.text(StartMapBox, kStartMap);
    m_bindings.number(MaxPlayers, kMaxPlayers);
    m_bindings.number(TimeLimit, kTimeLimit);
    m_bindings.number(Fraglimit, kFragLimit);
    // The bot list is read without its change signal: a loaded list is not stored back.
    m_bindings.custom(
        BotListBox1, kBotList,
        [this] {
            const std::vector<bool> checks = botChecks();
            const bool any = std::find(checks.begin(), checks.end(), true) != checks.end();
            return any ? toBotFlagString(checks) : std::string();
        },
        [this](const std::string& text) { setBotChecksQuietly(fromBotFlagString(text, stockBotNames().size())); },
        [this](SettingsStore& store) {
            setBotChecksQuietly(fromBotFlagString(store.ReadString(kBotList), stockBotNames().size()));
        });
    // Read as text: an empty value counts as 0, and a text that is not a number ends the loader's stage.
    m_bindings.number(SpinBotMin, kMinBots, [this](SettingsStore& store) {
        const std::string minBots = store.ReadString(kMinBots);
        SpinBotMin->setValue(minBots.empty() ? 0 : toIntegerOrThrow(minBots));
    });
    m_bindings.radioPair(BotRB1, kAutoKick, BotRB2, kKeepBots);
    m_bindings.number(SpinBotLevel, kBotlevel, [this](SettingsStore& store) {
        // An empty level leaves the field as it is.
        if (const std::string level = store.ReadString(kBotlevel); !level.empty())
            SpinBotLevel->setValue(toIntegerOrThrow(level));
    });
    m_bindings.flag(BotChatBox, kNoBotChat);
}

void StartupPage::connectHandlers()
{
    onEvent(MaxPlayers, &SpinEdit::changed, this, &StartupPage::MaxPlayersChange);
    onEvent(TimeLimit, &SpinEdit::changed, this, &StartupPage::TimeLimitChange);
    onEvent(Fraglimit, &SpinEdit::changed, this, &StartupPage::FraglimitChange);
    onEvent(SpinBotLevel, &SpinEdit::changed, this, &StartupPage::SpinBotLevelChange);
    onEvent(GameDirCombo, &QComboBox::activated, this, &StartupPage::GameDirComboClick);
    // Both values of the game type box and the whole bot list are stored at every change.
    connect(GameTypeBox, &QComboBox::editTextChanged, this, [this] {
        m_bindings.whenChangedByOperator([this] {
            ServerModel& model = m_bindings.model();
            model.storeText(kGameTypeText, toStd(GameTypeBox->currentText()));
            model.storeInteger(kGameType, comboSelectedIndex(GameTypeBox));
        });
    });
    connect(BotListBox1, &QListWidget::itemChanged, this, [this] {
        m_bindings.whenChangedByOperator(
            [this] { m_bindings.model().storeText(kBotList, toBotFlagString(botChecks())); });
    });
}

void StartupPage::MaxPlayersChange()
{
    m_statusLine->setText(QStringLiteral("Max players allowed is: ") + QString::number(MaxPlayers->value()));
}

void StartupPage::TimeLimitChange()
{
    m_statusLine->setText(QStringLiteral("TimeLimit: ") + QString::number(TimeLimit->value()));
}

void StartupPage::FraglimitChange()
{
    m_statusLine->setText(QStringLiteral("FragLimit: ") + QString::number(Fraglimit->value()));
}

std::vector<bool> StartupPage::botChecks() const
{
    std::vector<bool> checks;
    for (int i = 0; i < BotListBox1->count(); ++i)
        checks.push_back(BotListBox1->item(i)->checkState() == Qt::Checked);
    return checks;
}

void StartupPage::setBotChecksQuietly(const std::vector<bool>& checks)
{
    const QSignalBlocker blocker(BotListBox1);
    for (int i = 0; i < BotListBox1->count(); ++i) {
        const bool on = std::size_t(i) < checks.size() && checks[std::size_t(i)];
        BotListBox1->item(i)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
}

void StartupPage::SpinBotLevelChange()
{
    const int level = SpinBotLevel->value();
    m_statusLine->setText(QStringLiteral("Bot skill level: ") + QString::number(level) + QStringLiteral(" - ") +
                          toQ(botSkillName(level)));
}

void StartupPage::FillGameDirList()
{
    fillGameDirList(toQ(m_bindings.model().text(kQuakeDir)));
}

void StartupPage::fillGameDirList(const QString& folder)
{
    if (folder.isEmpty())
        return;
    const QStringList subFolders =
        QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    const QString text = GameDirCombo->currentText();
    const QSignalBlocker blocker(GameDirCombo);
    for (const QString& name : subFolders) {
        if (GameDirCombo->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
            GameDirCombo->addItem(name);
    }
    GameDirCombo->setEditText(text);
}

void StartupPage::GameDirComboClick()
{
    const QString chosen = GameDirCombo->currentText();
    FillGameDirList();
    GameDirCombo->setEditText(chosen);
}

} // namespace varno
