#pragma once

#include "core/lpb/player_record.h"
#include "core/lpb/status_parser.h"

#include <QWidget>

#include <vector>

class QAction;
class QLineEdit;
class QMenu;
class QTabWidget;
class QTableWidget;
class QTextEdit;

namespace varno {

// The Status Window: the player table and raw text of the last status reply.
//
// StatusGrid's rows are the table's body: the header row is the grid's column header, so row 0 is the first
// player (or the one empty row that always ends the table).
class TStatusForm : public QWidget {
    Q_OBJECT
public:
    explicit TStatusForm(QWidget* parent = nullptr);

    QTabWidget* PageControl1;
    QTableWidget* StatusGrid;
    QTextEdit* RichStatus;
    QMenu* StatusPopup;
    QAction* CopySelection1;
    QAction* KickPlayer1;
    QAction* BanPlayer1;
    QLineEdit* CopyGW;

    void FormShow();
    void RichStatusChange();
    void CopySelection1Click();
    // Kick and Ban act on the player of the selected row; the watcher that filled the table sends them.
    void KickPlayer1Click();
    void BanPlayer1Click();
    void StatusPopupPopup(const QPoint& at);

    // What the parser writes for each status reply: the table back to one empty row, the raw text, and a player
    // row at a time (each fills the last row and adds an empty one behind it).
    void resetGrid();
    void setRawText(const QString& text);
    void addPlayerRow(const PlayerRecord& player);
    // A reply of the watcher's server: a status table replaces the player table, any reply the raw text.
    void showReply(const QString& rawText, const ParsedStatus& status);
    // The player of the selected row; nothing on the empty last row.
    const PlayerRecord* selectedPlayer() const;

signals:
    void removePlayerRequested(const PlayerRecord& player, bool ban);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void requestRemoval(bool ban);

    bool m_shownBefore = false;
    std::vector<PlayerRecord> m_players; // one per filled row
};

} // namespace varno
