#pragma once

#include <QWidget>

class QTimer;

namespace varno {

class StatusLine;

// The "Map Rotation" page: the rotation editor, map-list files and the map preview.
class MapRotationPage : public QWidget {
    Q_OBJECT
public:
    explicit MapRotationPage(StatusLine* statusLine, QWidget* parent = nullptr);

    QTimer* MapPreviewTimer;

private:
    StatusLine* m_statusLine;
};

} // namespace varno
