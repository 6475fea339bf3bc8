#include "gui/settings/remote_access_page.h"

#include "core/settings/schema.h"
#include "gui/app/error_report.h"
#include "gui/app/widget_helpers.h"
#include "platform/qt_text.h"
#include "gui/settings/model_bindings.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace varno {

RemoteAccessPage::RemoteAccessPage(ModelBindings& bindings, QWidget* parent)
    : QWidget(parent)
    , m_bindings(bindings)
{
    RCONEdit = makeControl<QLineEdit>(this, "RCONEdit");
    RCONEdit->setEchoMode(QLineEdit::Password);
    RCONEdit->setMaxLength(16);
    AllowRCON_CB = makeControl<QCheckBox>(this, "AllowRCON_CB", QStringLiteral("Allow RCON requests "));
    VarnoClientCheckBox =
        makeControl<QCheckBox>(this, "VarnoClientCheckBox", QStringLiteral("Allow Access for Varno Remote Users"));
    VarnoClientCheckBox->setEnabled(false);
    UNEdit = makeControl<QLineEdit>(this, "UNEdit");
    UNEdit->setEnabled(false);
    PWEdit = makeControl<QLineEdit>(this, "PWEdit");
    PWEdit->setEchoMode(QLineEdit::Password);
    PWEdit->setEnabled(false);
    Button2 = makeControl<QPushButton>(this, "Button2", QStringLiteral("Accounts"));
    Button2->setEnabled(false);
    Button8 = makeControl<QPushButton>(this, "Button8", QStringLiteral("Settings"));
    Button8->setEnabled(false);

    auto* rcon = new QGroupBox(QStringLiteral(" RCON "), this);
    auto* rconGrid = new QGridLayout(rcon);
    rconGrid->addWidget(makeLabel(rcon, QStringLiteral("RCON Password"), RCONEdit), 0, 0);
    rconGrid->addWidget(RCONEdit, 0, 1);
    rconGrid->addWidget(AllowRCON_CB, 1, 0, 1, 2);
    auto* note = new QLabel(QStringLiteral("The password that remote consoles must give to run server commands. "
                                           "The ZOZ Idaroz needs it too."),
                            rcon);
    note->setWordWrap(true);
    rconGrid->addWidget(note, 2, 0, 1, 2);
    rconGrid->setRowStretch(3, 1);

    auto* remote = new QGroupBox(QStringLiteral(" Varno Remote "), this);
    auto* remoteGrid = new QGridLayout(remote);
    remoteGrid->addWidget(VarnoClientCheckBox, 0, 0, 1, 2);
    remoteGrid->addWidget(makeLabel(remote, QStringLiteral("User Name"), UNEdit), 1, 0);
    remoteGrid->addWidget(UNEdit, 1, 1);
    remoteGrid->addWidget(makeLabel(remote, QStringLiteral("Password"), PWEdit), 2, 0);
    remoteGrid->addWidget(PWEdit, 2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button2);
    buttons->addWidget(Button8);
    remoteGrid->addLayout(buttons, 3, 0, 1, 2);
    remoteGrid->setRowStretch(4, 1);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(rcon);
    layout->addWidget(remote);

    m_bindings.text(RCONEdit, kRConPW);
    m_bindings.flag(AllowRCON_CB, kAllowRCon);
    // Disabled: shown as loaded, stored by Save Settings only.
    m_bindings.heldFlag(VarnoClientCheckBox, kVarnoClients);
}

} // namespace varno
