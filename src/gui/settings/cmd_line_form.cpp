#include "gui/settings/cmd_line_form.h"

#include "core/settings/schema.h"
#include "gui/app/error_report.h"
#include "gui/app/widget_helpers.h"
#include "platform/qt_text.h"
#include "gui/settings/model_bindings.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace varno {

TCmdLineForm::TCmdLineForm(ModelBindings& bindings, QWidget* parent)
    : QDialog(parent)
    , m_bindings(bindings)
{
    setObjectName(QStringLiteral("CmdLineForm"));
    GroupBox1 = makeControl<QGroupBox>(this, "GroupBox1", QStringLiteral(" Command Line "));
    Label7 = makeControl<QLabel>(GroupBox1, "Label7",
                                 QStringLiteral("Any user specific command line statements can be made here, these "
                                                "commands will override any settings specified in Varno Server."));
    Label7->setWordWrap(true);
    AddCmdLine = makeControl<QLineEdit>(GroupBox1, "AddCmdLine");
    AddCmdLine->setMaxLength(200);
    Button1 = makeControl<QPushButton>(this, "Button1", QStringLiteral("Ok"));
    Button1->setDefault(true);

    auto* group = new QVBoxLayout(GroupBox1);
    group->addWidget(Label7);
    group->addWidget(AddCmdLine);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addLayout(buttons);
    Label7->setFixedWidth(Label7->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 52);
    makeFixedDialog(this, QStringLiteral("Command Line"));

    // In effect as typed; stored by Ok.
    m_bindings.heldText(AddCmdLine, kCmdLine);
    onEvent(Button1, &QPushButton::clicked, this, &TCmdLineForm::Button1Click);
}

void TCmdLineForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_centred) {
        centreOnScreen(this);
        m_centred = true;
    }
}

void TCmdLineForm::Button1Click()
{
    m_bindings.model().storeHeld(kCmdLine);
    hide();
}

} // namespace varno
