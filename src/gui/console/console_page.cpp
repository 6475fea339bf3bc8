#include "gui/console/console_page.h"

#include "core/lpb/reply_assembler.h"
#include "drive/server_fleet.h"

#include "core/console/console_output.h"
#include "core/console/key_player.h"
#include "core/console/server_console.h"
#include "gui/app/error_report.h"
#include "gui/app/widget_helpers.h"
#include "platform/qt_text.h"
#include "platform/services.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include <chrono>
#include <string_view>
#include <utility>

namespace varno {

namespace {

constexpr const char* kWaitingLine = "Waiting for Quake III Dedicated Console to Spawn...";
constexpr const char* kServerFound = "Q3 Dedicated Server Found!";
constexpr const char* kServerReady = "Server is Ready";
constexpr const char* kGreeting = "echo Varno Interface Complete!{ENTER}";
constexpr const char* kCmdBoxText = "Server Commands";
constexpr const char* kMapBoxText = "Select a Map";
constexpr const char* kNoMap = "<none>";
constexpr int kLookforServerIntervalMs = 1000;
constexpr int kMapBoxVisibleItems = 17;
constexpr int kLogMinimumLines = 6;
constexpr QRgb kLogBackground = 0x0000A0; // red 0, green 0, blue 160
// Read twice a second, so that the view is never more than a second behind the console.
constexpr int kConsoleOutputIntervalMs = 500;
constexpr int kConsoleOutputMinimumLines = 8;

QStringList commandEntries()
{
    return {QStringLiteral("Kick"),      QStringLiteral("Map"),     QStringLiteral("Fraglimit"),
            QStringLiteral("Timelimit"), QStringLiteral("cmdlist"), QStringLiteral("cvarlist"),
            QStringLiteral("Quit")};
}

QStringList mapEntries()
{
    QStringList maps;
    for (int i = 1; i <= 4; ++i)
        maps << QStringLiteral("q3ctf%1").arg(i);
    for (int i = 1; i <= 19; ++i)
        maps << QStringLiteral("q3dm%1").arg(i);
    for (int i = 1; i <= 7; ++i)
        maps << QStringLiteral("q3tourney%1").arg(i);
    maps << QString();
    return maps;
}

char16_t asciiLower(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c;
}

// Command words are told apart by their ASCII letters only, whatever their case.
bool sameCommand(const QString& typed, std::string_view name)
{
    if (typed.size() != qsizetype(name.size()))
        return false;
    for (qsizetype i = 0; i < typed.size(); ++i) {
        if (asciiLower(typed[i].unicode()) != asciiLower(char16_t(static_cast<unsigned char>(name[size_t(i)]))))
            return false;
    }
    return true;
}

std::uint32_t tickCount()
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

QComboBox* makeEditableList(QWidget* parent, const char* name, const QStringList& entries, const QString& text)
{
    auto* box = makeControl<QComboBox>(parent, name);
    box->setEditable(true);
    // A typed text is a one-off value, not a new entry.
    box->setInsertPolicy(QComboBox::NoInsert);
    // Completion must keep the letter case typed: the command word goes to the log as typed.
    box->completer()->setCaseSensitivity(Qt::CaseSensitive);
    box->addItems(entries);
    box->setCurrentIndex(-1);
    box->setEditText(text);
    // Wide enough for the starting text and the longest entry.
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(int(text.size()) + 2);
    return box;
}

bool isEnterKey(const QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    return (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
           (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

} // namespace

ConsolePage::ConsolePage(ModelBindings& bindings, StatusLine* statusLine, QWidget* parent)
    : QWidget(parent)
    , m_bindings(bindings)
    , m_statusLine(statusLine)
    , m_console(createServerConsole())
    , m_player(std::make_unique<KeyPlayer>(createKeyInjector(), createKeyboardLayout(), tickCount))
    , m_output(createConsoleOutputReader())
{
    consoleGroup = makeControl<QGroupBox>(this, "ConsoleGroup", QStringLiteral(" Enhanced Console "));

    enhConsole = makeControl<QPlainTextEdit>(consoleGroup, "enhConsole");
    enhConsole->setReadOnly(true);
    enhConsole->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette colours = enhConsole->palette();
    colours.setColor(QPalette::Base, QColor(kLogBackground));
    colours.setColor(QPalette::Text, QColor(Qt::yellow));
    enhConsole->setPalette(colours);
    enhConsole->setPlainText(QString::fromLatin1(kWaitingLine));
    // The log takes whatever height the window gives the page, but asks for no more than a few lines.
    enhConsole->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    enhConsole->setMinimumHeight(enhConsole->fontMetrics().lineSpacing() * kLogMinimumLines +
                                 2 * enhConsole->frameWidth() + 2 * int(enhConsole->document()->documentMargin()));

    CmdBox = makeEditableList(consoleGroup, "CmdBox", commandEntries(), QString::fromLatin1(kCmdBoxText));
    OnBox = makeControl<QCheckBox>(consoleGroup, "OnBox", QStringLiteral("On"));
    OffBox = makeControl<QCheckBox>(consoleGroup, "OffBox", QStringLiteral("Off"));
    ValueEdit = makeControl<QLineEdit>(consoleGroup, "ValueEdit");
    SendButton = makeControl<QPushButton>(consoleGroup, "SendButton", QStringLiteral("Send Command"));
    SendButton->setDefault(true);
    SendButton->setEnabled(false);
    MapBox = makeEditableList(consoleGroup, "MapBox", mapEntries(), QString::fromLatin1(kMapBoxText));
    MapBox->setMaxVisibleItems(kMapBoxVisibleItems);
    MapBox->setEnabled(false);
    MapButton = makeControl<QPushButton>(consoleGroup, "MapButton", QStringLiteral("Go"));
    // Enter on the focused Go button presses it, as on any focused button.
    MapButton->setAutoDefault(true);

    // Command word and value, then the map change; the two lists line up in one column.
    auto* controls = new QGridLayout;
    controls->addWidget(CmdBox, 0, 1);
    auto* valueChoice = new QHBoxLayout;
    valueChoice->addWidget(makeLabel(consoleGroup, QStringLiteral("Value is"), ValueEdit));
    valueChoice->addWidget(OnBox);
    valueChoice->addWidget(OffBox);
    valueChoice->addWidget(makeLabel(consoleGroup, QStringLiteral("or text below"), ValueEdit));
    valueChoice->addStretch();
    controls->addLayout(valueChoice, 0, 2);
    controls->addWidget(ValueEdit, 1, 1, 1, 2);
    controls->addWidget(SendButton, 1, 3);
    controls->addWidget(makeLabel(consoleGroup, QStringLiteral("Maps"), MapBox), 2, 0);
    controls->addWidget(MapBox, 2, 1);
    auto* go = new QHBoxLayout;
    go->addWidget(MapButton);
    go->addStretch();
    controls->addLayout(go, 2, 2);
    controls->setColumnStretch(2, 1);

    ConsoleOutputView = makeControl<QPlainTextEdit>(consoleGroup, "ConsoleOutputView");
    ConsoleOutputView->setReadOnly(true);
    ConsoleOutputView->setLineWrapMode(QPlainTextEdit::NoWrap);
    ConsoleOutputView->setMaximumBlockCount(int(kConsoleOutputLines));
    ConsoleOutputView->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    ConsoleOutputView->setMinimumHeight(ConsoleOutputView->fontMetrics().lineSpacing() * kConsoleOutputMinimumLines);

    auto* groupLayout = new QVBoxLayout(consoleGroup);
    groupLayout->addWidget(enhConsole, 1);
    groupLayout->addWidget(ConsoleOutputView, 2);
    groupLayout->addLayout(controls);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(consoleGroup);

    // Enter in any of these presses the default button.
    QWidget* const fields[] = {CmdBox, CmdBox->lineEdit(), OnBox, OffBox, ValueEdit, MapBox, MapBox->lineEdit()};
    for (QWidget* field : fields)
        field->installEventFilter(this);

    onEvent(SendButton, &QPushButton::clicked, this, &ConsolePage::SendButtonClick);
    onEvent(MapButton, &QPushButton::clicked, this, &ConsolePage::MapButtonClick);

    m_player->setDeliveredHandler([this](const std::string& problem) { keysDelivered(problem); });

    LookforServerTimer = new QTimer(this);
    LookforServerTimer->setObjectName(QStringLiteral("LookforServerTimer"));
    LookforServerTimer->setInterval(kLookforServerIntervalMs);
    onEvent(LookforServerTimer, &QTimer::timeout, this, &ConsolePage::LookforServerTimerTimer);
    LookforServerTimer->start();

    ConsoleOutputTimer = new QTimer(this);
    ConsoleOutputTimer->setObjectName(QStringLiteral("ConsoleOutputTimer"));
    ConsoleOutputTimer->setInterval(kConsoleOutputIntervalMs);
    onEvent(ConsoleOutputTimer, &QTimer::timeout, this, &ConsolePage::ConsoleOutputTimerTimer);
    ConsoleOutputTimer->start();
}

ConsolePage::~ConsolePage() = default;

bool ConsolePage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ValueEdit && event->type() == QEvent::MouseButtonRelease)
        runHandler([this] { ValueEditMouseUp(); });
    // Send Command is the page's default button.
    if (isEnterKey(event)) {
        if (SendButton->isEnabled())
            SendButton->click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void ConsolePage::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    runHandler([this] { ConsoleOutputTimerTimer(); });
}

void ConsolePage::ConsoleOutputTimerTimer()
{
    // Read only while someone can see it; a virtual server's console is on its own computer.
    if (!ConsoleOutputView->isVisible() || (m_server && m_server->remote()))
        return;
    const auto lines = m_output->recentLines(kConsoleOutputLines);
    QStringList texts;
    if (lines) {
        for (const std::string& line : *lines)
            texts << toQ(line);
    }
    const QString text = texts.join(QLatin1Char('\n'));
    if (text == ConsoleOutputView->toPlainText())
        return;
    // Follow the end unless the operator has scrolled back.
    QScrollBar* scroll = ConsoleOutputView->verticalScrollBar();
    const bool atEnd = scroll->value() == scroll->maximum();
    const int position = scroll->value();
    ConsoleOutputView->setPlainText(text);
    scroll->setValue(atEnd ? scroll->maximum() : position);
}

void ConsolePage::LookforServerTimerTimer()
{
    if (!m_console->exists())
        return;
    LookforServerTimer->stop();
    if (m_server)
        m_greeted.insert(m_server->id());
    appendLog(QString::fromLatin1(kServerFound));
    SendButton->setEnabled(true);
    MapBox->setEnabled(true);
    appendLog(QString::fromLatin1(kServerReady));
    TypeIntoConsole(QString::fromLatin1(kGreeting));
}

void ConsolePage::SendButtonClick()
{
    const QString command = CmdBox->currentText();
    const QString text = ValueEdit->text();
    QString value = text;
    if (OnBox->isChecked())
        value = QStringLiteral("1");
    if (OffBox->isChecked())
        value = QStringLiteral("0");
    // The log shows the value as written, also when On or Off replaced it.
    QString doneLine;
    if (sameCommand(command, "kick"))
        doneLine = QStringLiteral("Kick request sent for user \"") + text + QLatin1Char('"');
    else if (!sameCommand(command, "g_banIPs"))
        doneLine = command + QStringLiteral(" has changed to ") + text + QLatin1Char('.');
    TypeIntoConsole(command + QLatin1Char(' ') + value + QStringLiteral("{ENTER}"), doneLine);
}

void ConsolePage::MapButtonClick()
{
    const QString map = MapBox->currentText();
    const QString doneLine = map != QLatin1String(kNoMap) ? QStringLiteral("Map changed to: ") + map : QString();
    TypeIntoConsole(QStringLiteral("map ") + map + QStringLiteral("{ENTER}"), doneLine);
}

void ConsolePage::ValueEditMouseUp()
{
    ValueEdit->setFocus();
}

void ConsolePage::showServer(FleetServer& server)
{
    if (m_server == &server)
        return;
    disconnect(m_replies);
    const bool switching = m_server != nullptr;
    m_server = &server;
    if (switching) {
        appendLog(QStringLiteral("Server ") + toQ(server.name()));
        ConsoleOutputView->clear();
    }
    if (server.remote()) {
        LookforServerTimer->stop();
        SendButton->setEnabled(true);
        MapBox->setEnabled(true);
        appendLog(QStringLiteral("Commands go to the virtual server over rcon; its replies show here."));
        m_replies = connect(&server, &FleetServer::replied, this, [this](const QByteArray& reply, const ParsedStatus& status) {
            // The watcher's status polls are the watcher's business.
            if (status.layout != StatusLayout::Unknown)
                return;
            const QString text = fromWire(printedText(std::string_view(reply.constData(), std::size_t(reply.size()))));
            for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
                appendLog(QStringLiteral("> ") + line);
        });
        return;
    }
    const bool greeted = m_greeted.contains(server.id());
    SendButton->setEnabled(greeted);
    MapBox->setEnabled(greeted);
    if (greeted)
        LookforServerTimer->stop();
    else if (switching)
        LookforServerTimer->start();
}

void ConsolePage::TypeIntoConsole(const QString& keys, const QString& doneLine)
{
    if (m_server && m_server->remote()) {
        QString command = keys;
        if (command.endsWith(QLatin1String("{ENTER}"), Qt::CaseInsensitive))
            command.chop(7);
        // The server's answer, not the page, tells whether it took effect: replies cannot be told apart from the
        // watcher's, so no line here claims the change was made.
        m_server->sendRcon(toStd(command));
        appendLog(QStringLiteral("Sending over rcon: ") + command);
        return;
    }
    if (m_player->isPlaying()) {
        typingFailed(keys, toQ(keyPlayResultText(kpBusy)));
        return;
    }
    if (!m_console->bringInputToForeground()) {
        typingFailed(keys, toQ(m_console->unavailableReason()));
        return;
    }
    // Set first: a playback with nothing to deliver ends before PlayKeyString returns.
    m_typingKeys = keys;
    m_doneLine = doneLine;
    const KeyPlayResult result = m_player->PlayKeyString(toStd(keys));
    if (result != kpOk) {
        m_typingKeys.clear();
        m_doneLine.clear();
        typingFailed(keys, toQ(keyPlayResultText(result)));
    }
}

void ConsolePage::keysDelivered(const std::string& problem)
{
    const QString keys = std::exchange(m_typingKeys, QString());
    const QString doneLine = std::exchange(m_doneLine, QString());
    if (!problem.empty())
        typingFailed(keys, toQ(problem));
    else if (!doneLine.isNull())
        appendLog(doneLine);
}

void ConsolePage::typingFailed(const QString& keys, const QString& reason)
{
    QString command = keys;
    if (command.endsWith(QLatin1String("{ENTER}"), Qt::CaseInsensitive))
        command.chop(7);
    appendLog(QStringLiteral("Not typed into the console, \"") + command + QStringLiteral("\": ") + reason);
}

void ConsolePage::noteServerEvent(const QStringList& lines, bool newServer)
{
    for (const QString& line : lines)
        appendLog(line);
    if (newServer && m_server)
        m_greeted.erase(m_server->id());
    if (newServer && !LookforServerTimer->isActive())
        LookforServerTimer->start();
}

QStringList ConsolePage::logLines() const
{
    return enhConsole->toPlainText().split(QLatin1Char('\n'));
}

void ConsolePage::appendLog(const QString& line)
{
    enhConsole->appendPlainText(line);
}

} // namespace varno
