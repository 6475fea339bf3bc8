#pragma once

#include <QWidget>

class QTimer;

namespace varno {

class StatusLine;

// The "ZOZ Idaroz" page: the low-ping watcher's settings, control and log.
class LpbPage : public QWidget {
    Q_OBJECT
public:
    explicit LpbPage(StatusLine* statusLine, QWidget* parent = nullptr);

    QTimer* LPBTimer;

private:
    StatusLine* m_statusLine;
};

} // namespace varno
