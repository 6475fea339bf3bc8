#include "gui/launch/map_rotation_page.h"

#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace varno {

MapRotationPage::MapRotationPage(StatusLine* statusLine, QWidget* parent)
    : QWidget(parent)
    , m_statusLine(statusLine)
{
    MapPreviewTimer = new QTimer(this);
    MapPreviewTimer->setObjectName(QStringLiteral("MapPreviewTimer"));
    MapPreviewTimer->setInterval(500);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Map Rotation Setup"), this));
    layout->addStretch(1);
}

} // namespace varno
