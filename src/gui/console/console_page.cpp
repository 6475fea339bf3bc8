#include "gui/console/console_page.h"

#include <QTimer>
#include <QVBoxLayout>

namespace varno {

ConsolePage::ConsolePage(StatusLine* statusLine, QWidget* parent)
    : QWidget(parent)
    , m_statusLine(statusLine)
{
    LookforServerTimer = new QTimer(this);
    LookforServerTimer->setObjectName(QStringLiteral("LookforServerTimer"));
    LookforServerTimer->setInterval(1000);
    LookforServerTimer->start();
    new QVBoxLayout(this);
}

} // namespace varno
