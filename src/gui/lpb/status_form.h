#pragma once

#include <QWidget>

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
    QLineEdit* CopyGW;

    void FormShow();
    void RichStatusChange();
    void CopySelection1Click();

    // What the parser writes for each status reply: the table back to one empty row, the raw text, and a player
    // row at a time (each fills the last row and adds an empty one behind it).
    void resetGrid();
    void setRawText(const QString& text);
    void addPlayerRow(const QString& name, const QString& ping, const QString& address);

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool m_shownBefore = false;
};

} // namespace varno
