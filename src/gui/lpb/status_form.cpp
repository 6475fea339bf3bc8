#include "gui/lpb/status_form.h"

#include "gui/app/error_report.h"
#include "gui/app/widget_helpers.h"
#include "platform/qt_text.h"

#include <QAction>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace varno {

namespace {

const QStringList kGridHeader{QStringLiteral("Player's Name"), QStringLiteral("Ping"), QStringLiteral("IP Address"),
                              QString()};
// Column widths at the window's design size; wider where the font needs it.
constexpr int kColumnWidths[] = {176, 40, 146, 30};
constexpr int kRawHeaderLine = 0;
constexpr int kRawSeparatorLine = 3;
constexpr int kShortSeparator = 80;
constexpr int kDashRun = 121;
constexpr int kRawViewColumns = 80;

QTableWidgetItem* readOnlyItem(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

// Replaces the text of one line of a document, keeping its line break.
void replaceLine(QTextDocument* document, int line, const QString& text)
{
    QTextCursor cursor(document->findBlockByNumber(line));
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(text);
}

} // namespace

TStatusForm::TStatusForm(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("StatusForm"));
    setWindowTitle(QStringLiteral("Status Window"));

    PageControl1 = makeControl<QTabWidget>(this, "PageControl1");

    StatusGrid = makeControl<QTableWidget>(this, "StatusGrid", 1, 4);
    StatusGrid->setHorizontalHeaderLabels({QString(), QString(), QString(), QString()});
    StatusGrid->verticalHeader()->setVisible(false);
    StatusGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StatusGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    StatusGrid->setSelectionBehavior(QAbstractItemView::SelectItems);
    StatusGrid->setWordWrap(false);
    StatusGrid->verticalHeader()->setDefaultSectionSize(StatusGrid->fontMetrics().height() + 4);
    const QFontMetrics grid(StatusGrid->font());
    for (int column = 0; column < 4; ++column) {
        const int needed = grid.horizontalAdvance(kGridHeader.at(column)) + 16;
        StatusGrid->setColumnWidth(column, std::max(kColumnWidths[column], needed));
    }
    StatusGrid->horizontalHeader()->setStretchLastSection(true);
    StatusGrid->setContextMenuPolicy(Qt::CustomContextMenu);

    RichStatus = makeControl<QTextEdit>(this, "RichStatus");
    RichStatus->setReadOnly(true);
    RichStatus->setAcceptRichText(false);
    RichStatus->setTabChangesFocus(false);
    RichStatus->setLineWrapMode(QTextEdit::NoWrap);
    RichStatus->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    PageControl1->addTab(StatusGrid, QStringLiteral("Grid View"));
    PageControl1->addTab(RichStatus, QStringLiteral("RAW Data View"));

    StatusPopup = new QMenu(this);
    StatusPopup->setObjectName(QStringLiteral("StatusPopup"));
    CopySelection1 = StatusPopup->addAction(QStringLiteral("Copy Selection"));
    CopySelection1->setObjectName(QStringLiteral("CopySelection1"));
    StatusPopup->addSeparator();
    KickPlayer1 = StatusPopup->addAction(QStringLiteral("Kick"));
    KickPlayer1->setObjectName(QStringLiteral("KickPlayer1"));
    BanPlayer1 = StatusPopup->addAction(QStringLiteral("Ban"));
    BanPlayer1->setObjectName(QStringLiteral("BanPlayer1"));

    CopyGW = makeControl<QLineEdit>(this, "CopyGW");
    CopyGW->setVisible(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(PageControl1);

    int tableWidth = 2 * StatusGrid->frameWidth() + 24;
    for (int column = 0; column < 4; ++column)
        tableWidth += StatusGrid->columnWidth(column);
    const int rowHeight = StatusGrid->verticalHeader()->defaultSectionSize();
    // Wide enough for the table and for a status row of the raw view (80 columns), whichever is wider.
    const int rawWidth = RichStatus->fontMetrics().horizontalAdvance(QString(kRawViewColumns, QLatin1Char('0')));
    const int width = std::max({416, tableWidth, rawWidth + 2 * RichStatus->frameWidth() + 8}) + 16;
    resize(width, std::max(271, 12 * rowHeight + 60));

    resetGrid();

    onEvent(RichStatus, &QTextEdit::textChanged, this, &TStatusForm::RichStatusChange);
    onEvent(CopySelection1, &QAction::triggered, this, &TStatusForm::CopySelection1Click);
    onEvent(KickPlayer1, &QAction::triggered, this, &TStatusForm::KickPlayer1Click);
    onEvent(BanPlayer1, &QAction::triggered, this, &TStatusForm::BanPlayer1Click);
    connect(StatusGrid, &QWidget::customContextMenuRequested, this, &TStatusForm::StatusPopupPopup);
}

void TStatusForm::StatusPopupPopup(const QPoint& at)
{
    // The menu is about the row under the pointer.
    const QModelIndex index = StatusGrid->indexAt(at);
    if (index.isValid())
        StatusGrid->setCurrentCell(index.row(), index.column());
    const bool player = selectedPlayer() != nullptr;
    KickPlayer1->setEnabled(player);
    BanPlayer1->setEnabled(player);
    StatusPopup->popup(StatusGrid->viewport()->mapToGlobal(at));
}

void TStatusForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    if (!m_shownBefore)
        centreOnScreen(this);
    m_shownBefore = true;
    runHandler([this] { FormShow(); });
}

void TStatusForm::FormShow()
{
    StatusGrid->setHorizontalHeaderLabels(kGridHeader);
}

void TStatusForm::resetGrid()
{
    m_players.clear();
    StatusGrid->clearContents();
    StatusGrid->setRowCount(1);
    StatusGrid->setCurrentCell(0, 0);
}

void TStatusForm::setRawText(const QString& text)
{
    RichStatus->setPlainText(text);
}

void TStatusForm::addPlayerRow(const PlayerRecord& player)
{
    const int last = StatusGrid->rowCount() - 1;
    StatusGrid->setItem(last, 0, readOnlyItem(fromWire(player.name)));
    StatusGrid->setItem(last, 1, readOnlyItem(fromWire(player.ping)));
    StatusGrid->setItem(last, 2, readOnlyItem(fromWire(player.address)));
    StatusGrid->setRowCount(last + 2);
    m_players.push_back(player);
}

void TStatusForm::showReply(const QString& rawText, const ParsedStatus& status)
{
    if (status.layout != StatusLayout::Unknown)
        resetGrid();
    for (const StatusRow& row : status.rows) {
        if (row.isTableRow())
            addPlayerRow(row.player);
    }
    setRawText(rawText);
}

const PlayerRecord* TStatusForm::selectedPlayer() const
{
    const int row = StatusGrid->currentRow();
    return row >= 0 && std::size_t(row) < m_players.size() ? &m_players[std::size_t(row)] : nullptr;
}

void TStatusForm::KickPlayer1Click()
{
    requestRemoval(false);
}

void TStatusForm::BanPlayer1Click()
{
    requestRemoval(true);
}

void TStatusForm::requestRemoval(bool ban)
{
    // A copy: the handler may refill the table.
    if (const PlayerRecord* player = selectedPlayer())
        emit removePlayerRequested(PlayerRecord(*player), ban);
}

void TStatusForm::RichStatusChange()
{
    // Both clean-ups in one pass: the reply's own first line (the 0xFF bytes and "print") goes, and a short
    // separator under the table header is drawn across the view.
    QTextDocument* document = RichStatus->document();
    const QSignalBlocker blocker(RichStatus);
    if (!document->findBlockByNumber(kRawHeaderLine).text().isEmpty())
        replaceLine(document, kRawHeaderLine, QString());
    const QTextBlock separator = document->findBlockByNumber(kRawSeparatorLine);
    if (separator.isValid() && separator.text().size() < kShortSeparator)
        replaceLine(document, kRawSeparatorLine, QString(kDashRun, QLatin1Char('-')));
}

void TStatusForm::CopySelection1Click()
{
    const QTableWidgetItem* cell = StatusGrid->item(StatusGrid->currentRow(), StatusGrid->currentColumn());
    CopyGW->setText(cell ? cell->text() : QString());
    CopyGW->selectAll();
    CopyGW->copy();
}

} // namespace varno
