#pragma once

#include <QDialog>

namespace varno {

// The Status Window: the player table and raw text of the last status reply.
class TStatusForm : public QDialog {
    Q_OBJECT
public:
    explicit TStatusForm(QWidget* parent = nullptr);
};

} // namespace varno
