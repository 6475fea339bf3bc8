#include "gui/settings/startup_page.h"

#include "core/settings/bot_flags.h"
#include "core/settings/schema.h"
#include "gui/app/error_report.h"
#include "gui/app/forms.h"
#include "gui/app/spin_edit.h"
#include "gui/app/status_line.h"
#include "gui/app/widget_helpers.h"
#include "gui/settings/prop_form.h"
#include "platform/qt_text.h"
#include "platform/settings_factory.h"

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

namespace varno {

namespace {

const QStringList kGameTypes{QStringLiteral("Single-Player Mode"), QStringLiteral("Tourney - 1v1"),
                             QStringLiteral("Free for All - DM"), QStringLiteral("Team Play - TDM"),
                             QStringLiteral("Capture the Flag - CTF")};

} // namespace

StartupPage::StartupPage(ModelBindings& bindings, StatusLine* statusLine, QWidget* parent)
    : QWidget(parent)
    , m_bindings(bindings)
    , m_statusLine(statusLine)
{
    ServerNameEdit = makeControl<QLineEdit>(this, "ServerNameEdit", toQ(kServerName.defaultText));
    MotdEdit = makeControl<QLineEdit>(this, "MotdEdit", toQ(kMotd.defaultText));
    GameTypeBox = makeControl<QComboBox>(this, "GameTypeBox");
    GameTypeBox->setEditable(true);
    GameTypeBox->setInsertPolicy(QComboBox::NoInsert);
    GameTypeBox->addItems(kGameTypes);
    GameTypeBox->setCurrentIndex(2);
    ServerTypeBox = makeControl<QComboBox>(this, "ServerTypeBox");
    ServerTypeBox->setEditable(true);
    ServerTypeBox->setInsertPolicy(QComboBox::NoInsert);
    ServerTypeBox->addItems({QStringLiteral("Listen"), QStringLiteral("Dedicated")});
    ServerTypeBox->setCurrentIndex(1);
    memtouse = makeControl<SpinEdit>(this, "memtouse", kMemory, 4);
    NetPort = makeControl<SpinEdit>(this, "NetPort", 0, 9999999, 27960, 7);
    GameDirCombo = makeControl<QComboBox>(this, "GameDirCombo");
    GameDirCombo->setEditable(true);
    GameDirCombo->setInsertPolicy(QComboBox::NoInsert);
    GameDirCombo->setEditText(QStringLiteral("baseq3"));
    StartMapBox = makeControl<QComboBox>(this, "StartMapBox");
    StartMapBox->setEditable(true);
    StartMapBox->setInsertPolicy(QComboBox::NoInsert);
    StartMapBox->setEditText(QStringLiteral("<none>"));
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
    BotRB1->setChecked(true);
    BotRB2 = makeControl<QRadioButton>(this, "BotRB2", QStringLiteral("Keep Bots at all times"));
    SpinBotLevel = makeControl<SpinEdit>(this, "SpinBotLevel", kBotlevel, 1);
    BotChatBox = makeControl<QCheckBox>(this, "BotChatBox", QStringLiteral("Disable bot chatting"));

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

void StartupPage::connectHandlers()
{
    onEvent(ServerNameEdit, &QLineEdit::textChanged, this, &StartupPage::ServerNameEditChange);
    onEvent(MotdEdit, &QLineEdit::textChanged, this, &StartupPage::MotdEditChange);
    onEvent(GameTypeBox, &QComboBox::editTextChanged, this, &StartupPage::GameTypeBoxChange);
    onEvent(ServerTypeBox, &QComboBox::editTextChanged, this, &StartupPage::ServerTypeBoxChange);
    onEvent(memtouse, &SpinEdit::changed, this, &StartupPage::memtouseChange);
    onEvent(StartMapBox, &QComboBox::editTextChanged, this, &StartupPage::StartMapBoxChange);
    onEvent(MaxPlayers, &SpinEdit::changed, this, &StartupPage::MaxPlayersChange);
    onEvent(TimeLimit, &SpinEdit::changed, this, &StartupPage::TimeLimitChange);
    onEvent(Fraglimit, &SpinEdit::changed, this, &StartupPage::FraglimitChange);
    onEvent(BotListBox1, &QListWidget::itemChanged, this, &StartupPage::BotListBox1Click);
    onEvent(SpinBotMin, &SpinEdit::changed, this, &StartupPage::SpinBotMinChange);
    connect(BotRB1, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            runHandler([this] { BotRB1Click(); });
    });
    connect(BotRB2, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            runHandler([this] { BotRB2Click(); });
    });
    onEvent(SpinBotLevel, &SpinEdit::changed, this, &StartupPage::SpinBotLevelChange);
    onEvent(BotChatBox, &QCheckBox::toggled, this, &StartupPage::BotChatBoxClick);
    onEvent(GameDirCombo, &QComboBox::activated, this, &StartupPage::GameDirComboClick);
}

void StartupPage::ServerNameEditChange()
{
    createSettingsStore()->WriteString(kServerName, toStd(ServerNameEdit->text()));
}

void StartupPage::MotdEditChange()
{
    createSettingsStore()->WriteString(kMotd, toStd(MotdEdit->text()));
}

void StartupPage::GameTypeBoxChange()
{
    const auto store = createSettingsStore();
    store->WriteString(kGameTypeText, toStd(GameTypeBox->currentText()));
    store->WriteInteger(kGameType, comboSelectedIndex(GameTypeBox));
}

void StartupPage::ServerTypeBoxChange()
{
    createSettingsStore()->WriteString(kServerType, toStd(ServerTypeBox->currentText()));
}

void StartupPage::memtouseChange()
{
    createSettingsStore()->WriteInteger(kMemory, memtouse->value());
}

void StartupPage::StartMapBoxChange()
{
    createSettingsStore()->WriteString(kStartMap, toStd(StartMapBox->currentText()));
}

void StartupPage::MaxPlayersChange()
{
    createSettingsStore()->WriteInteger(kMaxPlayers, MaxPlayers->value());
    m_statusLine->setText(QStringLiteral("Max players allowed is: ") + QString::number(MaxPlayers->value()));
}

void StartupPage::TimeLimitChange()
{
    m_statusLine->setText(QStringLiteral("TimeLimit: ") + QString::number(TimeLimit->value()));
    createSettingsStore()->WriteInteger(kTimeLimit, TimeLimit->value());
}

void StartupPage::FraglimitChange()
{
    m_statusLine->setText(QStringLiteral("FragLimit: ") + QString::number(Fraglimit->value()));
    createSettingsStore()->WriteInteger(kFragLimit, Fraglimit->value());
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

void StartupPage::BotListBox1Click()
{
    createSettingsStore()->WriteString(kBotList, toBotFlagString(botChecks()));
}

void StartupPage::SpinBotMinChange()
{
    createSettingsStore()->WriteInteger(kMinBots, SpinBotMin->value());
}

void StartupPage::BotRB1Click()
{
    const auto store = createSettingsStore();
    store->WriteBool(kAutoKick, BotRB1->isChecked());
    store->WriteString(kKeepBots, "0");
}

void StartupPage::BotRB2Click()
{
    const auto store = createSettingsStore();
    store->WriteBool(kKeepBots, BotRB2->isChecked());
    store->WriteString(kAutoKick, "0");
}

void StartupPage::SpinBotLevelChange()
{
    const int level = SpinBotLevel->value();
    createSettingsStore()->WriteInteger(kBotlevel, level);
    m_statusLine->setText(QStringLiteral("Bot skill level: ") + QString::number(level) + QStringLiteral(" - ") +
                          toQ(botSkillName(level)));
}

void StartupPage::BotChatBoxClick()
{
    createSettingsStore()->WriteBool(kNoBotChat, BotChatBox->isChecked());
}

void StartupPage::FillGameDirList()
{
    const QString folder = forms().PropForm ? forms().PropForm->Q3DirEdit->text() : QString();
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
