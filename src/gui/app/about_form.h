#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;

namespace varno {

// The About window: product, version, credits and the web-site link.
class TAboutForm : public QDialog {
    Q_OBJECT
public:
    explicit TAboutForm(QWidget* parent = nullptr);

    QLabel* Label1;
    QGroupBox* GroupBox1;
    QLabel* Label7;
    QPushButton* Button1;

    void Button1Click();
    void Label7Click();

    // The product's web site as the link opens it.
    static QString webSiteAddress();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    bool m_centred = false;
};

} // namespace varno
