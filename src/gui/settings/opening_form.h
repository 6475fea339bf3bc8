#pragma once

#include <QDialog>

namespace varno {

// The splash window that reads the stored settings back into the windows at start.
class TOpeningForm : public QDialog {
    Q_OBJECT
public:
    explicit TOpeningForm(QWidget* parent = nullptr);
};

} // namespace varno
