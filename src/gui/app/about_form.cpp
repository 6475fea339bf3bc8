#include "gui/app/about_form.h"

#include "core/settings/schema.h"
#include "gui/app/dialogs.h"
#include "gui/app/error_report.h"
#include "gui/app/widget_helpers.h"
#include "platform/qt_text.h"
#include "platform/web_site_opener.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace varno {

namespace {

QLabel* creditLine(QWidget* parent, const QString& text, const QColor& colour = QColor(), bool bold = false,
                   Qt::Alignment alignment = Qt::AlignHCenter)
{
    auto* label = new QLabel(text, parent);
    label->setAlignment(alignment | Qt::AlignVCenter);
    if (colour.isValid()) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, colour);
        label->setPalette(palette);
    }
    QFont font = label->font();
    font.setBold(bold);
    label->setFont(font);
    return label;
}

} // namespace

QString TAboutForm::webSiteAddress()
{
    return QStringLiteral("http://") + toQ(kWebSite);
}

TAboutForm::TAboutForm(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutForm"));
    const QColor darkRed(128, 0, 0);
    const QColor blue(0, 0, 255);

    Label1 = makeControl<QLabel>(this, "Label1", QStringLiteral("Varno Server") + QString(30, QLatin1Char(' ')) +
                                                     QStringLiteral("v2.5"));
    QFont title(QStringLiteral("Times New Roman"));
    title.setStyleHint(QFont::Serif);
    title.setBold(true);
    title.setPointSize(16);
    Label1->setFont(title);
    Label1->setTextFormat(Qt::PlainText); // keeps the thirty blanks
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);

    GroupBox1 = makeControl<QGroupBox>(this, "GroupBox1");
    auto* credits = new QGridLayout(GroupBox1);
    int row = 0;
    credits->addWidget(creditLine(GroupBox1, QStringLiteral("Designed and coded by the Varno team"), darkRed, true),
                       row++, 0, 1, 2);
    credits->addWidget(creditLine(GroupBox1, QStringLiteral("Copyright (c) the Varno team. All rights reserved."),
                                  darkRed),
                       row++, 0, 1, 2);
    Label7 = makeControl<QLabel>(GroupBox1, "Label7", QStringLiteral("Web Site: ") + toQ(kWebSite));
    QFont link = Label7->font();
    link.setBold(true);
    link.setUnderline(true);
    Label7->setFont(link);
    QPalette linkPalette = Label7->palette();
    linkPalette.setColor(QPalette::WindowText, blue);
    Label7->setPalette(linkPalette);
    Label7->setAlignment(Qt::AlignCenter);
    Label7->setCursor(Qt::PointingHandCursor);
    Label7->installEventFilter(this);
    credits->addWidget(Label7, row++, 0, 1, 2);
    credits->addWidget(creditLine(GroupBox1, QStringLiteral("Hard Core Beta Testers:"), QColor(), true,
                                  Qt::AlignRight),
                       row, 0);
    credits->addWidget(creditLine(GroupBox1, QStringLiteral("Railgunner, Mynxie and Old Tom"), QColor(), false,
                                  Qt::AlignLeft),
                       row++, 1);
    credits->addWidget(creditLine(GroupBox1, QStringLiteral("Special Thanks to:"), QColor(), true, Qt::AlignRight),
                       row, 0);
    credits->addWidget(creditLine(GroupBox1, QStringLiteral("everyone who ran a server with us"), QColor(), false,
                                  Qt::AlignLeft),
                       row++, 1);
    credits->addWidget(creditLine(GroupBox1, QStringLiteral("the mappers who kept the rotation fresh,")), row++, 0,
                       1, 2);
    credits->addWidget(creditLine(GroupBox1, QStringLiteral("the clans who found our bugs the hard way,")), row++, 0,
                       1, 2);
    credits->addWidget(creditLine(GroupBox1, QStringLiteral("and the beta testing team, you guys rock!")), row++, 0,
                       1, 2);
    credits->addWidget(creditLine(GroupBox1, QStringLiteral("Meet the author in the game as Varno on q3dm17"),
                                  QColor(), true),
                       row++, 0, 1, 2);
    credits->addWidget(creditLine(GroupBox1, QStringLiteral("varno@varno.example.org"), blue, true), row++, 0, 1, 2);

    Button1 = makeControl<QPushButton>(this, "Button1", QStringLiteral("Okay"));
    Button1->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(GroupBox1);
    layout->addLayout(buttons);
    makeFixedDialog(this, QStringLiteral("About"));

    onEvent(Button1, &QPushButton::clicked, this, &TAboutForm::Button1Click);
}

bool TAboutForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Label7 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        runHandler([this] { Label7Click(); });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_centred) {
        centreOnScreen(this);
        m_centred = true;
    }
}

void TAboutForm::Button1Click()
{
    hide();
}

void TAboutForm::Label7Click()
{
    if (const auto failure = openWebSite(toStd(webSiteAddress())))
        dialogs::showMessage(toQ(*failure));
}

} // namespace varno
