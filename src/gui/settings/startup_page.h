#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;

namespace varno {

class ModelBindings;

class SpinEdit;
class StatusLine;

// The "Startup" page: server identity, game rules, memory, port, game folder and bots. Every control is bound to
// its value of the server model and stores it the moment it changes.
class StartupPage : public QWidget {
    Q_OBJECT
public:
    StartupPage(ModelBindings& bindings, StatusLine* statusLine, QWidget* parent = nullptr);

    QLineEdit* ServerNameEdit;
    QLineEdit* MotdEdit;
    QComboBox* GameTypeBox;
    QComboBox* ServerTypeBox;
    SpinEdit* memtouse;
    SpinEdit* NetPort;
    QComboBox* GameDirCombo;
    QLabel* StartMapLabel;
    QComboBox* StartMapBox;
    SpinEdit* MaxPlayers;
    SpinEdit* TimeLimit;
    SpinEdit* Fraglimit;
    QListWidget* BotListBox1;
    SpinEdit* SpinBotMin;
    QRadioButton* BotRB1;
    QRadioButton* BotRB2;
    SpinEdit* SpinBotLevel;
    QCheckBox* BotChatBox;

    // What changes beyond the stored value: the status line's notes and the game directory list.
    void MaxPlayersChange();
    void TimeLimitChange();
    void FraglimitChange();
    void SpinBotLevelChange();
    void GameDirComboClick();

    // Appends the game folder's immediate sub-folders (the Quake 3 folder in effect)
    // to the game-directory list, sorted, each once; the box's text stays.
    void FillGameDirList();

    // The check marks of the bot list, in list order.
    std::vector<bool> botChecks() const;
    void setBotChecksQuietly(const std::vector<bool>& checks);

private:
    ModelBindings& m_bindings;
    void bindControls();
    void fillGameDirList(const QString& folder);
    void buildLayout();
    void connectHandlers();

    StatusLine* m_statusLine;
};

} // namespace varno
