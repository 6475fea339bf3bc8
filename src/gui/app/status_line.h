#pragma once

#include <QStatusBar>

class QLabel;

namespace varno {

// The main window's one-text status line: each new text replaces the last.
class StatusLine : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusLine(QWidget* parent = nullptr);

    void setText(const QString& text);
    QString text() const;

private:
    QLabel* m_text;
};

} // namespace varno
