#pragma once

#include <QWidget>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace varno {

class ModelBindings;

// The "Remote Access" page: the server's rcon password and remote-access options.
class RemoteAccessPage : public QWidget {
    Q_OBJECT
public:
    explicit RemoteAccessPage(ModelBindings& bindings, QWidget* parent = nullptr);

    QLineEdit* RCONEdit;
    QCheckBox* AllowRCON_CB;
    QCheckBox* VarnoClientCheckBox;
    QLineEdit* UNEdit;
    QLineEdit* PWEdit;
    QPushButton* Button2;
    QPushButton* Button8;

private:
    ModelBindings& m_bindings;
};

} // namespace varno
