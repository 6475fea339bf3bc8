#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace varno {

// The fields of a server the operator adds or edits: its name, and for a virtual server the host, port and rcon
// password it is reached with. Its OK runs the given action, which throws when it refuses the values; the dialog
// then stays open with the refusal shown.
class TServerForm : public QDialog {
    Q_OBJECT
public:
    struct Values {
        QString name;
        QString host;
        int port = 27960;
        QString password;
    };

    TServerForm(const QString& caption, bool remote, const Values& values, std::function<void(const Values&)> accept,
                QWidget* parent = nullptr);

    QLineEdit* NameEdit;
    QLineEdit* HostEdit;
    QSpinBox* PortSpin;
    QLineEdit* RconEdit;
    QLabel* ProblemLabel;
    QPushButton* OkButton;
    QPushButton* CancelButton;

    void OkButtonClick();

private:
    std::function<void(const Values&)> m_accept;
};

} // namespace varno
