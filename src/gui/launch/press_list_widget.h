#pragma once

#include <QListWidget>

namespace varno {

// A list that reports mouse presses and releases after it has moved its focused entry, so that a
// handler sees the entry that was pressed.
class PressListWidget : public QListWidget {
    Q_OBJECT
public:
    using QListWidget::QListWidget;

signals:
    void mousePressed();
    void mouseReleased();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace varno
