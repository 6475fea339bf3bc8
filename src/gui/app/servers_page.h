#pragma once

#include <QWidget>

#include <optional>

class QAction;
class QGroupBox;
class QMenu;
class QPushButton;
class QTableWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace varno {

class FleetServer;
class ServerFleet;
class StatusLine;
class TForm1;
struct PlayerRecord;

// The "Servers" page: every server the panel knows, on this computer and on remote ones, each with how it stands,
// its players and map. The popup menu starts and stops a server, makes the pages show it ("Manage"), adds, renames,
// deletes and describes servers; the " Server Information " group shows the selected server's rules and players,
// refreshed every few seconds while the page shows, with Kick and Ban on a player's row.
class ServersPage : public QWidget {
    Q_OBJECT
public:
    ServersPage(TForm1& form, ServerFleet& fleet, QWidget* parent = nullptr);

    QTreeWidget* ServerTree;
    QMenu* PopupMenu1;
    QAction* Start1;
    QAction* Stop1;
    QAction* Manage1;
    QMenu* Add1;
    QAction* ServerThisComputer1;
    QAction* VirtualServer1;
    QAction* Edit1;
    QAction* Delete1;
    QAction* ServerProperties1;
    QGroupBox* GroupBox8;
    QTableWidget* RulesGrid;
    QTableWidget* PlayersGrid;
    QMenu* PlayersPopupMenu;
    QAction* KickPlayer2;
    QAction* BanPlayer2;
    QPushButton* ManageButton;

    void Start1Click();
    void Stop1Click();
    void Manage1Click();
    void ServerThisComputer1Click();
    void VirtualServer1Click();
    void Edit1Click();
    void Delete1Click();
    void ServerProperties1Click();
    void KickPlayer2Click();
    void BanPlayer2Click();

    // The server whose row is selected; the managed one when no server's row is.
    FleetServer& selectedServer() const;
    void selectServer(const FleetServer& server);
    // Fills the tree from the fleet again.
    void fillTree();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void buildLayout();
    void updateRow(FleetServer* server);
    void showInformation();
    void updateActions();
    void removePlayer(bool ban);
    std::optional<PlayerRecord> selectedPlayer() const;
    QTreeWidgetItem* itemOf(const FleetServer& server) const;

    TForm1& m_form;
    ServerFleet& m_fleet;
    QTreeWidgetItem* m_local = nullptr;
    QTreeWidgetItem* m_remote = nullptr;
};

} // namespace varno
