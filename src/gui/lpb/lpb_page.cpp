#include "gui/lpb/lpb_page.h"

#include <QTimer>
#include <QVBoxLayout>

namespace varno {

LpbPage::LpbPage(StatusLine* statusLine, QWidget* parent)
    : QWidget(parent)
    , m_statusLine(statusLine)
{
    LPBTimer = new QTimer(this);
    LPBTimer->setObjectName(QStringLiteral("LPBTimer"));
    LPBTimer->setInterval(4000);
    new QVBoxLayout(this);
}

void LpbPage::loadStoredSettings(SettingsStore&)
{
}

void LpbPage::enableFromCommandLine()
{
}

} // namespace varno
