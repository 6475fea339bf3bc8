#pragma once

#include <QWidget>

#include <string>
#include <vector>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;
class QToolButton;

namespace varno {

class ModelBindings;

class PressListWidget;
class StatusLine;

// The "Map Rotation" page: the rotation editor, the map-list file export and the map preview.
class MapRotationPage : public QWidget {
    Q_OBJECT
public:
    MapRotationPage(ModelBindings& bindings, StatusLine* statusLine, QWidget* parent = nullptr);

    QLabel* TitleLabel;
    QGroupBox* ChoiceGroup;
    PressListWidget* MapsListBox;
    QLabel* Label10;
    QLineEdit* CustMapAddEdit;
    QPushButton* Button5;
    QLabel* Label11;
    QPushButton* MapListButton;
    QLabel* MapImage;
    QToolButton* SpeedButton2;
    QToolButton* SpeedButton3;
    QToolButton* SpeedButton1;
    QToolButton* SpeedButton4;
    QPushButton* Button6;
    QPushButton* Button7;
    QGroupBox* RotationGroup;
    QListWidget* RotateMapListBox;
    QTimer* MapPreviewTimer;

    void SpeedButton2Click();
    void SpeedButton3Click();
    void SpeedButton1Click();
    void SpeedButton4Click();
    void Button6Click();
    void Button7Click();
    void Button5Click();
    void MapListButtonClick();
    void MapsListBoxMouseDown();
    void MapsListBoxMouseUp();
    void MapsListBoxExit();
    void MapPreviewTimerTimer();

    // The rotation, top to bottom.
    std::vector<std::string> rotation() const;
    // Replaces the rotation without storing it (the start-up loader fills it from the store).
    void setRotation(const std::vector<std::string>& entries);

    // The 32 stock maps of the choice list, in order.
    static const QStringList& stockMaps();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ModelBindings& m_bindings;
    void buildLayout();
    void connectHandlers();
    void storeRotation();
    int focusedRotationRow() const;
    void moveFocusedEntry(int offset);
    QString pictureFileName() const;

    StatusLine* m_statusLine;
    // The save dialog remembers its last name, type and default extension for the rest of the run.
    QString m_lastMapListName;
    int m_lastMapListType = 0;
    QString m_mapListSuffix = QStringLiteral("cfg");
};

} // namespace varno
