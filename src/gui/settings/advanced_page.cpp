#include "gui/settings/advanced_page.h"

#include "core/launch/ban_filter.h"
#include "core/settings/comma_list.h"
#include "core/settings/schema.h"
#include "gui/app/error_report.h"
#include "gui/app/spin_edit.h"
#include "gui/app/widget_helpers.h"
#include "platform/qt_text.h"
#include "gui/settings/model_bindings.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace varno {

AdvancedPage::AdvancedPage(ModelBindings& bindings, QWidget* parent)
    : QWidget(parent)
    , m_bindings(bindings)
{
    SrvPWEdit = makeControl<QLineEdit>(this, "SrvPWEdit");
    SrvPWEdit->setMaxLength(32);
    SpinMaxRate = makeControl<SpinEdit>(this, "SpinMaxRate", kMaxRate, 9);
    SpinPort = makeControl<SpinEdit>(this, "SpinPort", kPort, 6);
    SpinPort->setEnabled(false);
    SpinPort->setVisible(false);
    SpinQuad = makeControl<SpinEdit>(this, "SpinQuad", kQuadFactor, 2);
    SpinForRespawn = makeControl<SpinEdit>(this, "SpinForRespawn", kForceRespawn, 2);
    SpinWepRespawn = makeControl<SpinEdit>(this, "SpinWepRespawn", kWeaponRespawn, 2);
    SpinGravity = makeControl<SpinEdit>(this, "SpinGravity", kGravity, 3);
    SpinSpeed = makeControl<SpinEdit>(this, "SpinSpeed", kSpeed, 3);
    SpinKnockback = makeControl<SpinEdit>(this, "SpinKnockback", kKnockback, 4);
    PureCB = makeControl<QCheckBox>(this, "PureCB", QStringLiteral("Pure Server"));
    ConDB = makeControl<QCheckBox>(this, "ConDB", QStringLiteral("Console Debug"));
    downloadsCB = makeControl<QCheckBox>(this, "downloadsCB", QStringLiteral("Allow Downloads (Paks, ect...)"));
    faCB = makeControl<QCheckBox>(this, "faCB", QStringLiteral("Force Auto-Join"));
    fbCB = makeControl<QCheckBox>(this, "fbCB", QStringLiteral("Force Balance of Teams"));
    avCB = makeControl<QCheckBox>(this, "avCB", QStringLiteral("Allow Voting"));
    adrCB = makeControl<QCheckBox>(this, "adrCB", QStringLiteral("Allow Demo Recording (*)"));
    ecCB = makeControl<QCheckBox>(this, "ecCB", QStringLiteral("Enable Cheats (*)"));
    ebCB = makeControl<QCheckBox>(this, "ebCB", QStringLiteral("Enable Banned IP List"));
    BanListBox = makeControl<QListWidget>(this, "BanListBox");
    AddBanEdit = makeControl<QLineEdit>(this, "AddBanEdit");
    AddBan = makeControl<QPushButton>(this, "AddBan", QStringLiteral("Add"));
    AddBan->setEnabled(false);
    AddBan->setAutoDefault(false);
    Button4 = makeControl<QPushButton>(this, "Button4", QStringLiteral("Remove"));
    Button4->setAutoDefault(false);

    bindControls();
    buildLayout();
    connectHandlers();
}

void AdvancedPage::bindControls()
{
    m_bindings.text(SrvPWEdit, kPassword);
    m_bindings.number(SpinMaxRate, kMaxRate);
    m_bindings.number(SpinPort, kPort);
    m_bindings.number(SpinQuad, kQuadFactor);
    m_bindings.number(SpinForRespawn, kForceRespawn);
    m_bindings.number(SpinWepRespawn, kWeaponRespawn);
    m_bindings.number(SpinGravity, kGravity);
    m_bindings.number(SpinSpeed, kSpeed);
    m_bindings.number(SpinKnockback, kKnockback);
    m_bindings.flag(PureCB, kPS);
    // The Startup page's pure-server value loads into the same box, whose change stores it as PS.
    m_bindings.custom(
        PureCB, kPureServer, [this] { return std::string(PureCB->isChecked() ? "1" : "0"); },
        [this](const std::string& text) { PureCB->setChecked(text != "0" && !text.empty()); },
        [this](SettingsStore& store) { PureCB->setChecked(store.ReadBool(kPureServer)); });
    m_bindings.flag(ConDB, kCD);
    m_bindings.flag(downloadsCB, kDownloads);
    m_bindings.flag(faCB, kFA);
    m_bindings.flag(fbCB, kFB);
    m_bindings.flag(avCB, kAV);
    m_bindings.flag(adrCB, kADR);
    m_bindings.flag(ecCB, kEC);
    m_bindings.flag(ebCB, kEB);
    // The list is filled by the loader without storing it back, and by the page's commands, which store it.
    m_bindings.custom(
        BanListBox, kBanIPList, [this] { return ToCommaList(banList()); },
        [this](const std::string& text) { showBanList(FromCommaList(text)); },
        [this](SettingsStore& store) { showBanList(FromCommaList(store.ReadString(kBanIPList))); });
}

void AdvancedPage::showBanList(const std::vector<std::string>& entries)
{
    BanListBox->clear();
    for (const std::string& entry : entries)
        BanListBox->addItem(toQ(entry));
}

void AdvancedPage::buildLayout()
{
    auto* rules = new QGroupBox(QStringLiteral(" Server Rules "), this);
    auto* grid = new QGridLayout(rules);
    int row = 0;
    const auto addRow = [&](const QString& caption, QWidget* field) {
        grid->addWidget(makeLabel(rules, caption, field), row, 0);
        grid->addWidget(field, row, 1);
        ++row;
    };
    addRow(QStringLiteral("Password"), SrvPWEdit);
    addRow(QStringLiteral("Max Rate"), SpinMaxRate);
    addRow(QStringLiteral("Quad Factor"), SpinQuad);
    addRow(QStringLiteral("Force Respawn"), SpinForRespawn);
    addRow(QStringLiteral("Weapon Respawn"), SpinWepRespawn);
    addRow(QStringLiteral("Amout of Gravity"), SpinGravity);
    addRow(QStringLiteral("Player's Speed"), SpinSpeed);
    addRow(QStringLiteral("Player Knockback"), SpinKnockback);
    grid->addWidget(SpinPort, row, 1);
    grid->setRowStretch(row, 1);

    auto* options = new QGroupBox(QStringLiteral(" Options "), this);
    auto* boxes = new QVBoxLayout(options);
    for (QCheckBox* box : {PureCB, ConDB, downloadsCB, faCB, fbCB, avCB, adrCB, ecCB, ebCB})
        boxes->addWidget(box);
    boxes->addStretch(1);

    auto* bans = new QGroupBox(QStringLiteral(" Banned IP List "), this);
    auto* banLayout = new QGridLayout(bans);
    banLayout->addWidget(BanListBox, 0, 0, 1, 2);
    banLayout->addWidget(AddBanEdit, 1, 0, 1, 2);
    banLayout->addWidget(AddBan, 2, 0);
    banLayout->addWidget(Button4, 2, 1);
    const int editWidth = AddBanEdit->fontMetrics().horizontalAdvance(QStringLiteral("255.255.255.255:27960")) + 12;
    BanListBox->setMinimumWidth(editWidth);
    BanListBox->setMaximumWidth(editWidth + 40);
    AddBanEdit->setMaximumWidth(editWidth + 40);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(rules);
    layout->addWidget(options);
    layout->addWidget(bans);
}

void AdvancedPage::connectHandlers()
{
    // Every entry, loaded or added, shows whether the game will read it as written.
    connect(BanListBox->model(), &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) {
                for (int row = first; row <= last; ++row)
                    markBanEntry(BanListBox->item(row));
            });
    onEvent(AddBanEdit, &QLineEdit::textChanged, this, &AdvancedPage::AddBanEditChange);
    onEvent(AddBan, &QPushButton::clicked, this, &AdvancedPage::AddBanClick);
    onEvent(Button4, &QPushButton::clicked, this, &AdvancedPage::Button4Click);
    // Enter in the edit presses the default button, which the edit makes AddBan while it has the focus.
    connect(AddBanEdit, &QLineEdit::returnPressed, this, [this] {
        if (AddBan->isDefault() && AddBan->isEnabled())
            AddBan->click();
    });
    AddBanEdit->installEventFilter(this);
}

bool AdvancedPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == AddBanEdit) {
        if (event->type() == QEvent::FocusIn)
            runHandler([this] { AddBanEditEnter(); });
        else if (event->type() == QEvent::FocusOut)
            runHandler([this] { AddBanEditExit(); });
    }
    return QWidget::eventFilter(watched, event);
}

void AdvancedPage::AddBanEditChange()
{
    AddBan->setEnabled(!AddBanEdit->text().isEmpty());
}

void AdvancedPage::AddBanEditEnter()
{
    AddBan->setDefault(true);
}

void AdvancedPage::AddBanEditExit()
{
    AddBan->setDefault(false);
}

void AdvancedPage::markBanEntry(QListWidgetItem* item)
{
    if (!item)
        return;
    const BanEntryReading reading = readBanEntry(toStd(item->text()));
    item->setToolTip(toQ(reading.problem));
    item->setForeground(reading.problem.empty() ? BanListBox->palette().text() : QBrush(Qt::red));
}

std::vector<std::string> AdvancedPage::banList() const
{
    std::vector<std::string> entries;
    for (int i = 0; i < BanListBox->count(); ++i)
        entries.push_back(toStd(BanListBox->item(i)->text()));
    return entries;
}

void AdvancedPage::storeBanList()
{
    m_bindings.model().storeList(kBanIPList, banList());
}

void AdvancedPage::appendBan(const QString& address)
{
    BanListBox->addItem(address);
    storeBanList();
}

void AdvancedPage::AddBanClick()
{
    const QString entry = AddBanEdit->text();
    appendBan(entry);
    emit banListEdited(true, entry);
    AddBanEdit->clear();
    AddBanEdit->setFocus();
}

void AdvancedPage::Button4Click()
{
    QListWidgetItem* selected = BanListBox->currentItem();
    if (!selected || !selected->isSelected())
        return;
    const QString entry = selected->text();
    AddBanEdit->setText(entry);
    delete selected;
    AddBanEdit->setFocus();
    storeBanList();
    emit banListEdited(false, entry);
}

} // namespace varno
