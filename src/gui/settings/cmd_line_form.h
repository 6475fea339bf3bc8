#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace varno {

class ModelBindings;

// The Command Line dialog: free text that the launch appends to the game's command line.
class TCmdLineForm : public QDialog {
    Q_OBJECT
public:
    explicit TCmdLineForm(ModelBindings& bindings, QWidget* parent = nullptr);

    QGroupBox* GroupBox1;
    QLabel* Label7;
    QLineEdit* AddCmdLine;
    QPushButton* Button1;

    void Button1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    ModelBindings& m_bindings;
    bool m_centred = false;
};

} // namespace varno
