#pragma once

#include <QDialog>

namespace varno {

// The About window: product, version, credits and the web-site link.
class TAboutForm : public QDialog {
    Q_OBJECT
public:
    explicit TAboutForm(QWidget* parent = nullptr);
};

} // namespace varno
