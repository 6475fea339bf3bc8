#include "gui/app/servers_page.h"

#include "core/app/varno_error.h"
#include "core/launch/launch_input.h"
#include "core/lpb/lpb_watcher.h"
#include "core/settings/schema.h"
#include "drive/server_fleet.h"
#include "drive/watcher_driver.h"
#include "gui/app/dialogs.h"
#include "gui/app/error_report.h"
#include "gui/app/main_window.h"
#include "gui/app/server_form.h"
#include "gui/app/status_line.h"
#include "gui/app/widget_helpers.h"
#include "gui/launch/server_launch.h"
#include "platform/qt_text.h"
#include "platform/server_supervisor.h"
#include "platform/settings_factory.h"

#include <QFont>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace varno {

namespace {

constexpr int kIdRole = Qt::UserRole;
constexpr int kSlotRole = Qt::UserRole;
constexpr int kAddressRole = Qt::UserRole + 1;
constexpr int kNameRole = Qt::UserRole + 2;

QTableWidget* makeGrid(QWidget* parent, const char* name, const QStringList& headers)
{
    auto* grid = makeControl<QTableWidget>(parent, name, 0, int(headers.size()));
    grid->setHorizontalHeaderLabels(headers);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grid->horizontalHeader()->setStretchLastSection(true);
    return grid;
}

void setRow(QTableWidget* grid, int row, const QStringList& cells)
{
    for (int column = 0; column < cells.size(); ++column)
        grid->setItem(row, column, new QTableWidgetItem(cells[column]));
}

int scoreOf(const ServerInfo& info, const std::string& name)
{
    for (const InfoPlayer& player : info.players) {
        if (player.name == name)
            return player.score;
    }
    return 0;
}

} // namespace

ServersPage::ServersPage(TForm1& form, ServerFleet& fleet, QWidget* parent)
    : QWidget(parent)
    , m_form(form)
    , m_fleet(fleet)
{
    setObjectName(QStringLiteral("ServersPage"));
    ServerTree = makeControl<QTreeWidget>(this, "ServerTree");
    ServerTree->setHeaderHidden(true);
    ServerTree->setContextMenuPolicy(Qt::CustomContextMenu);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    const auto action = [this](QMenu* menu, const char* name, const QString& text, void (ServersPage::*handler)()) {
        QAction* item = menu->addAction(text);
        item->setObjectName(QString::fromLatin1(name));
        connect(item, &QAction::triggered, this, [this, handler] { runHandler([&] { (this->*handler)(); }); });
        return item;
    };
    Start1 = action(PopupMenu1, "Start1", QStringLiteral("Start"), &ServersPage::Start1Click);
    Stop1 = action(PopupMenu1, "Stop1", QStringLiteral("Stop"), &ServersPage::Stop1Click);
    Manage1 = action(PopupMenu1, "Manage1", QStringLiteral("Manage"), &ServersPage::Manage1Click);
    PopupMenu1->addSeparator();
    Add1 = PopupMenu1->addMenu(QStringLiteral("Add"));
    Add1->setObjectName(QStringLiteral("Add1"));
    ServerThisComputer1 = action(Add1, "ServerThisComputer1", QStringLiteral("Server (This Computer)"),
                                 &ServersPage::ServerThisComputer1Click);
    VirtualServer1 = action(Add1, "VirtualServer1", QStringLiteral("Virtual Server (Remote Computer)"),
                            &ServersPage::VirtualServer1Click);
    Edit1 = action(PopupMenu1, "Edit1", QStringLiteral("Edit"), &ServersPage::Edit1Click);
    Delete1 = action(PopupMenu1, "Delete1", QStringLiteral("Delete"), &ServersPage::Delete1Click);
    PopupMenu1->addSeparator();
    ServerProperties1 =
        action(PopupMenu1, "ServerProperties1", QStringLiteral("Properties"), &ServersPage::ServerProperties1Click);

    GroupBox8 = makeControl<QGroupBox>(this, "GroupBox8", QStringLiteral(" Server Information "));
    RulesGrid = makeGrid(GroupBox8, "RulesGrid", {QStringLiteral("Rule"), QStringLiteral("Value")});
    PlayersGrid = makeGrid(GroupBox8, "PlayersGrid",
                           {QStringLiteral("Name"), QStringLiteral("Score"), QStringLiteral("Ping"),
                            QStringLiteral("Address")});
    PlayersGrid->setContextMenuPolicy(Qt::CustomContextMenu);
    PlayersPopupMenu = new QMenu(this);
    PlayersPopupMenu->setObjectName(QStringLiteral("PlayersPopupMenu"));
    KickPlayer2 = action(PlayersPopupMenu, "KickPlayer2", QStringLiteral("Kick"), &ServersPage::KickPlayer2Click);
    BanPlayer2 = action(PlayersPopupMenu, "BanPlayer2", QStringLiteral("Ban"), &ServersPage::BanPlayer2Click);
    ManageButton = makeControl<QPushButton>(GroupBox8, "ManageButton", QStringLiteral("Manage"));

    buildLayout();

    connect(ServerTree, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        updateActions();
        PopupMenu1->popup(ServerTree->viewport()->mapToGlobal(at));
    });
    connect(ServerTree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (item->parent())
            runHandler([this] { Manage1Click(); });
    });
    connect(ServerTree, &QTreeWidget::currentItemChanged, this, [this] {
        updateActions();
        showInformation();
        // The selected server's news without waiting for the next round.
        if (isVisible())
            selectedServer().queryInfo();
    });
    connect(PlayersGrid, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const bool player = selectedPlayer().has_value();
        KickPlayer2->setEnabled(player);
        BanPlayer2->setEnabled(player);
        PlayersPopupMenu->popup(PlayersGrid->viewport()->mapToGlobal(at));
    });
    onEvent(ManageButton, &QPushButton::clicked, this, &ServersPage::Manage1Click);
    connect(&m_fleet, &ServerFleet::listChanged, this, &ServersPage::fillTree);
    connect(&m_fleet, &ServerFleet::serverChanged, this, [this](FleetServer* server) {
        updateRow(server);
        if (server == &selectedServer())
            showInformation();
    });
    connect(&m_fleet, &ServerFleet::managedChanged, this, [this] { fillTree(); });
    fillTree();
}

void ServersPage::buildLayout()
{
    auto* info = new QVBoxLayout(GroupBox8);
    info->addWidget(RulesGrid, 3);
    info->addWidget(PlayersGrid, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ManageButton);
    info->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(ServerTree, 1);
    layout->addWidget(GroupBox8, 1);
}

void ServersPage::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    m_fleet.setRefreshPeriod(ServerFleet::kShownRefreshMs);
    m_fleet.refreshNow();
}

void ServersPage::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    m_fleet.setRefreshPeriod(ServerFleet::kHiddenRefreshMs);
}

QTreeWidgetItem* ServersPage::itemOf(const FleetServer& server) const
{
    for (QTreeWidgetItem* group : {m_local, m_remote}) {
        for (int i = 0; group && i < group->childCount(); ++i) {
            if (group->child(i)->data(0, kIdRole).toString() == toQ(server.id()))
                return group->child(i);
        }
    }
    return nullptr;
}

void ServersPage::fillTree()
{
    const std::string selected = ServerTree->currentItem() && ServerTree->currentItem()->parent()
                                     ? toStd(ServerTree->currentItem()->data(0, kIdRole).toString())
                                     : m_fleet.managed().id();
    ServerTree->clear();
    m_local = new QTreeWidgetItem(ServerTree, {QStringLiteral("This Computer")});
    m_remote = new QTreeWidgetItem(ServerTree, {QStringLiteral("Remote Computers")});
    for (FleetServer* server : m_fleet.servers()) {
        auto* item = new QTreeWidgetItem(server->remote() ? m_remote : m_local);
        item->setData(0, kIdRole, toQ(server->id()));
        updateRow(server);
    }
    ServerTree->expandAll();
    FleetServer* current = m_fleet.find(selected);
    selectServer(current ? *current : m_fleet.managed());
}

void ServersPage::updateRow(FleetServer* server)
{
    QTreeWidgetItem* item = itemOf(*server);
    if (!item)
        return;
    item->setText(0, toQ(server->treeLine()));
    QFont font = item->font(0);
    // The server the pages show stands out.
    font.setBold(server == &m_fleet.managed());
    item->setFont(0, font);
}

FleetServer& ServersPage::selectedServer() const
{
    const QTreeWidgetItem* item = ServerTree->currentItem();
    if (item && item->parent()) {
        if (FleetServer* server = m_fleet.find(toStd(item->data(0, kIdRole).toString())))
            return *server;
    }
    return m_fleet.managed();
}

void ServersPage::selectServer(const FleetServer& server)
{
    if (QTreeWidgetItem* item = itemOf(server))
        ServerTree->setCurrentItem(item);
    updateActions();
    showInformation();
}

void ServersPage::updateActions()
{
    const FleetServer& server = selectedServer();
    Start1->setEnabled(!server.remote() && !server.running());
    Stop1->setEnabled(server.running());
    Manage1->setEnabled(&server != &m_fleet.managed());
    Delete1->setEnabled(!server.id().empty() && !server.running());
}

void ServersPage::showInformation()
{
    FleetServer& server = selectedServer();
    GroupBox8->setTitle(QStringLiteral(" Server Information ") + toQ(server.name()) + QLatin1Char(' '));
    // A refresh keeps the operator's place: the scrolled rules and the chosen player.
    const int rulesScrolled = RulesGrid->verticalScrollBar()->value();
    const QTableWidgetItem* chosen = PlayersGrid->currentRow() >= 0 ? PlayersGrid->item(PlayersGrid->currentRow(), 0)
                                                                      : nullptr;
    const QString chosenName = chosen ? chosen->text() : QString();
    const auto keepPlace = qScopeGuard([&] {
        RulesGrid->verticalScrollBar()->setValue(rulesScrolled);
        const auto rows = PlayersGrid->findItems(chosenName, Qt::MatchExactly);
        if (!chosenName.isEmpty() && !rows.isEmpty())
            PlayersGrid->setCurrentCell(rows.front()->row(), 0);
    });
    RulesGrid->setRowCount(0);
    PlayersGrid->setRowCount(0);
    if (!server.info())
        return;
    const ServerInfo& info = *server.info();
    RulesGrid->setRowCount(int(info.rules.size()));
    for (int row = 0; row < int(info.rules.size()); ++row)
        setRow(RulesGrid, row, {toQ(info.rules[row].first), toQ(info.rules[row].second)});
    // The rcon table names each player's slot and address, which Kick and Ban need; the status query's list is
    // shown when there is no such table.
    if (server.table()) {
        int row = 0;
        for (const StatusRow& status : server.table()->rows) {
            if (!status.isTableRow())
                continue;
            PlayersGrid->setRowCount(row + 1);
            const PlayerRecord& player = status.player;
            setRow(PlayersGrid, row,
                   {toQ(withoutColourCodes(player.name)), QString::number(scoreOf(info, player.name)),
                    toQ(player.ping), toQ(player.address)});
            PlayersGrid->item(row, 0)->setData(kNameRole, toQ(player.name));
            PlayersGrid->item(row, 0)->setData(kSlotRole, toQ(player.clientNumber));
            PlayersGrid->item(row, 0)->setData(kAddressRole, toQ(player.address));
            ++row;
        }
        return;
    }
    PlayersGrid->setRowCount(int(info.players.size()));
    for (int row = 0; row < int(info.players.size()); ++row) {
        const InfoPlayer& player = info.players[row];
        setRow(PlayersGrid, row,
               {toQ(withoutColourCodes(player.name)), QString::number(player.score), QString::number(player.ping),
                QString()});
    }
}

std::optional<PlayerRecord> ServersPage::selectedPlayer() const
{
    const int row = PlayersGrid->currentRow();
    if (row < 0 || !PlayersGrid->item(row, 0))
        return std::nullopt;
    const QTableWidgetItem* name = PlayersGrid->item(row, 0);
    if (name->data(kSlotRole).toString().isEmpty())
        return std::nullopt;
    PlayerRecord player;
    player.clientNumber = toStd(name->data(kSlotRole).toString());
    player.name = toStd(name->data(kNameRole).toString());
    player.ping = toStd(PlayersGrid->item(row, 2)->text());
    player.address = toStd(name->data(kAddressRole).toString());
    return player;
}

void ServersPage::removePlayer(bool ban)
{
    const auto player = selectedPlayer();
    if (!player)
        return;
    FleetServer& server = selectedServer();
    const QString who = toQ(server.name() + ": " + playerText(*player));
    if (!server.watcher().removeByOperator(*player, ban)) {
        m_form.StatusBar1->setText(QStringLiteral("Enable the ZOZ Idaroz of %1 to kick or ban ").arg(toQ(server.name())) +
                                   toQ(playerText(*player)));
        return;
    }
    m_form.StatusBar1->setText((ban ? QStringLiteral("Banning ") : QStringLiteral("Kicking ")) + who);
}

void ServersPage::KickPlayer2Click()
{
    removePlayer(false);
}

void ServersPage::BanPlayer2Click()
{
    removePlayer(true);
}

void ServersPage::Start1Click()
{
    launchServer(m_form, selectedServer());
    updateActions();
}

void ServersPage::Stop1Click()
{
    FleetServer& server = selectedServer();
    if (!server.running()) {
        m_form.StatusBar1->setText(toQ(server.name() + " is not running"));
        return;
    }
    if (!server.stop())
        throw VarnoError("Server " + server.name() + " could not be stopped.");
    m_form.StatusBar1->setText(toQ("Server " + server.name() + " stopped"));
    updateActions();
}

void ServersPage::Manage1Click()
{
    FleetServer& server = selectedServer();
    m_fleet.manage(server);
    selectServer(server);
}

void ServersPage::ServerThisComputer1Click()
{
    auto* form = new TServerForm(QStringLiteral("Add Server (This Computer)"), false, {},
                                 [this](const TServerForm::Values& values) {
                                     FleetServer& added = m_fleet.addLocal(toStd(values.name));
                                     selectServer(added);
                                     m_form.StatusBar1->setText(toQ("Added server " + added.name() + " on port " +
                                                                    std::to_string(added.port())));
                                 },
                                 this);
    form->open();
}

void ServersPage::VirtualServer1Click()
{
    auto* form = new TServerForm(QStringLiteral("Add Virtual Server (Remote Computer)"), true, {},
                                 [this](const TServerForm::Values& values) {
                                     FleetServer& added =
                                         m_fleet.addRemote(toStd(values.name), toStd(values.host), values.port,
                                                           toStd(values.password));
                                     selectServer(added);
                                     m_form.StatusBar1->setText(toQ("Added virtual server " + added.name()));
                                 },
                                 this);
    form->open();
}

void ServersPage::Edit1Click()
{
    FleetServer& server = selectedServer();
    const ServerModel& model = server.model();
    TServerForm::Values values{toQ(server.name()), toQ(model.text(kRemoteHostAddress)), server.port(),
                               toQ(model.text(kLPBRCon))};
    auto* form = new TServerForm(
        QStringLiteral("Edit Server"), server.remote(), values,
        [this, id = server.id()](const TServerForm::Values& edited) {
            FleetServer* server = m_fleet.find(id);
            if (!server)
                return;
            if (toStd(edited.name) != server->name())
                m_fleet.rename(*server, toStd(edited.name));
            if (server->remote())
                m_fleet.setRemoteAddress(*server, toStd(edited.host), edited.port, toStd(edited.password));
            updateRow(server);
            if (server == &m_fleet.managed())
                m_form.nameManagedServer();
        },
        this);
    form->open();
}

void ServersPage::Delete1Click()
{
    FleetServer& server = selectedServer();
    if (server.id().empty()) {
        dialogs::showMessage(QStringLiteral("The first server's settings are kept: it cannot be deleted."));
        return;
    }
    if (!dialogs::askYesNo(toQ("Delete server " + server.name() + "? Its settings are removed.")))
        return;
    const std::string name = server.name();
    m_fleet.remove(server);
    m_form.StatusBar1->setText(toQ("Deleted server " + name));
}

void ServersPage::ServerProperties1Click()
{
    FleetServer& server = selectedServer();
    const ServerModel& model = server.model();
    QString text = toQ("Name: " + server.name() + "\n");
    if (server.remote()) {
        text += toQ("Virtual server at " + model.text(kRemoteHostAddress) + ":" + std::to_string(server.port()) +
                    "\nState: " + server.standing().text());
    } else {
        const ServerProfileScope scope(server.id());
        const std::string folder = gameFolderFrom(model);
        text += toQ("Game folder: " + folder + "\nPort: " + std::to_string(server.port()) + "\nState: " +
                    server.standing().text() + "\nSettings: " + settingsLocation() +
                    "\nCommand line: " + launchCommandLine(model, server.supervisor()->launcher()));
    }
    dialogs::showMessage(text);
}

} // namespace varno
