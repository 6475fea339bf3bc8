#pragma once

#include <QWidget>

#include <string>
#include <vector>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace varno {

class ModelBindings;

class SpinEdit;

// The "Advanced" page: server password, rates, game rules and the banned-address list.
class AdvancedPage : public QWidget {
    Q_OBJECT
public:
    explicit AdvancedPage(ModelBindings& bindings, QWidget* parent = nullptr);

    QLineEdit* SrvPWEdit;
    SpinEdit* SpinMaxRate;
    SpinEdit* SpinPort;
    SpinEdit* SpinQuad;
    SpinEdit* SpinForRespawn;
    SpinEdit* SpinWepRespawn;
    SpinEdit* SpinGravity;
    SpinEdit* SpinSpeed;
    SpinEdit* SpinKnockback;
    QCheckBox* PureCB;
    QCheckBox* ConDB;
    QCheckBox* downloadsCB;
    QCheckBox* faCB;
    QCheckBox* fbCB;
    QCheckBox* avCB;
    QCheckBox* adrCB;
    QCheckBox* ecCB;
    QCheckBox* ebCB;
    QListWidget* BanListBox;
    QLineEdit* AddBanEdit;
    QPushButton* AddBan;
    QPushButton* Button4;

    void AddBanEditChange();
    void AddBanEditEnter();
    void AddBanEditExit();
    void AddBanClick();
    void Button4Click();

    // Every entry of the ban list, in order.
    std::vector<std::string> banList() const;
    // Appends an address and stores the whole list.
    void appendBan(const QString& address);
    void storeBanList();
    // Red, with the reason as its tip, when the game would ignore the entry or read it otherwise than written.
    void markBanEntry(QListWidgetItem* item);

signals:
    // The operator added or removed an entry (not the watcher's own bans): the running server may take it at once.
    void banListEdited(bool added, const QString& entry);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void bindControls();
    void buildLayout();
    void connectHandlers();
    void showBanList(const std::vector<std::string>& entries);

    ModelBindings& m_bindings;
};

} // namespace varno
