#pragma once

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace varno {

class ModelBindings;

class SpinEdit;
class StatusLine;

// The Properties dialog: the Quake 3 folder, the folder of map pictures and two display options.
class TPropForm : public QDialog {
    Q_OBJECT
public:
    explicit TPropForm(ModelBindings& bindings, QWidget* parent = nullptr);

    QGroupBox* GroupBox1;
    QLabel* Label1;
    QLineEdit* Q3DirEdit;
    QToolButton* SpeedButton1;
    QLabel* Label4;
    QLineEdit* MapsDirEdit;
    QToolButton* SpeedButton2;
    QCheckBox* MapPrevCB;
    QCheckBox* SystrayCB;
    QCheckBox* ConsoleTerminalBox;
    QPushButton* Button1;
    QPushButton* Button2;
    QGroupBox* GroupBox2;
    QLabel* Label2;
    SpinEdit* SpinEdit1;
    QLabel* Label3;
    QGroupBox* GroupBox3;
    QCheckBox* ASstartup;
    QCheckBox* ASmap;
    QCheckBox* ASremote;
    QCheckBox* ASserver;
    QCheckBox* ASadvanced;
    StatusLine* StatusBar1;
    QCheckBox* RelaunchServerBox;

    void Button1Click();
    void Button2Click();
    void SpeedButton1Click();
    void FormShow();

    // Shows a maps folder that stands in for one not chosen yet; Ok does not store it over a chosen one.
    void showMapsFolderFallback(const QString& folder);

    // The open dialog's filter for the game program on this system.
    static QString gameProgramFilter();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void bindControls();

    ModelBindings& m_bindings;
    bool m_centred = false;
    QString m_mapsFolderFallback;
};

} // namespace varno
