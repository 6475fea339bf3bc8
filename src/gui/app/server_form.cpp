#include "gui/app/server_form.h"

#include "gui/app/widget_helpers.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <exception>

namespace varno {

TServerForm::TServerForm(const QString& caption, bool remote, const Values& values,
                         std::function<void(const Values&)> accept, QWidget* parent)
    : QDialog(parent)
    , m_accept(std::move(accept))
{
    setObjectName(QStringLiteral("ServerForm"));
    setWindowTitle(caption);
    setAttribute(Qt::WA_DeleteOnClose);
    NameEdit = makeControl<QLineEdit>(this, "NameEdit", values.name);
    HostEdit = makeControl<QLineEdit>(this, "HostEdit", values.host);
    PortSpin = makeControl<QSpinBox>(this, "PortSpin");
    PortSpin->setRange(1, 65535);
    PortSpin->setValue(values.port);
    RconEdit = makeControl<QLineEdit>(this, "RconEdit", values.password);
    RconEdit->setEchoMode(QLineEdit::Password);
    ProblemLabel = makeControl<QLabel>(this, "ProblemLabel");
    ProblemLabel->setWordWrap(true);
    ProblemLabel->setStyleSheet(QStringLiteral("color: #a00000"));
    OkButton = makeControl<QPushButton>(this, "OkButton", QStringLiteral("OK"));
    OkButton->setDefault(true);
    CancelButton = makeControl<QPushButton>(this, "CancelButton", QStringLiteral("Cancel"));

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Name:"), NameEdit);
    if (remote) {
        fields->addRow(QStringLiteral("Host:"), HostEdit);
        fields->addRow(QStringLiteral("Port:"), PortSpin);
        fields->addRow(QStringLiteral("RCon Password:"), RconEdit);
    } else {
        HostEdit->hide();
        PortSpin->hide();
        RconEdit->hide();
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OkButton);
    buttons->addWidget(CancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(ProblemLabel);
    layout->addLayout(buttons);
    setMinimumWidth(360);

    connect(OkButton, &QPushButton::clicked, this, &TServerForm::OkButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void TServerForm::OkButtonClick()
{
    const Values values{NameEdit->text().trimmed(), HostEdit->text().trimmed(), PortSpin->value(), RconEdit->text()};
    try {
        m_accept(values);
    } catch (const std::exception& refusal) {
        // The operator corrects the values where they typed them.
        ProblemLabel->setText(QString::fromStdString(refusal.what()));
        return;
    }
    accept();
}

} // namespace varno
