#pragma once

#include <QWidget>

class QTimer;

namespace varno {

class StatusLine;

// The "Enhanced Console" page: commands typed into the running server's console.
class ConsolePage : public QWidget {
    Q_OBJECT
public:
    explicit ConsolePage(StatusLine* statusLine, QWidget* parent = nullptr);

    QTimer* LookforServerTimer;

private:
    StatusLine* m_statusLine;
};

} // namespace varno
