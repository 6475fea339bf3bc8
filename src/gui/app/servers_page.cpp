#include "gui/app/servers_page.h"

#include <QLabel>
#include <QVBoxLayout>

namespace varno {

ServersPage::ServersPage(QWidget* parent)
    : QWidget(parent)
{
    auto* notice = new QLabel(QStringLiteral("Managing several servers from one panel is not available in this "
                                             "version of Varno Server."),
                              this);
    notice->setObjectName(QStringLiteral("Label38"));
    notice->setWordWrap(true);
    notice->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(notice);
}

} // namespace varno
