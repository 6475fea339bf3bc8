#pragma once

#include "core/settings/settings_store.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QTimer;

namespace varno {

class ModelBindings;

// The splash window that reads the stored settings back into the windows at start, in stages run by
// its own one-shot timers, and closes when the last has fired.
class TOpeningForm : public QDialog {
    Q_OBJECT
public:
    // Every stage at once, in the timers' order: the pages take another server's stored values as at the start.
    void loadAllStages();
    explicit TOpeningForm(ModelBindings& bindings, QWidget* parent = nullptr);

    QLabel* Image1;
    QLabel* Label1;
    QLabel* LoadLabel;
    QProgressBar* ProgressBar1;
    QTimer* Properties;
    QTimer* Startup;
    QTimer* Map;
    QTimer* ValueLoader;
    QTimer* EnhConsole;
    QTimer* RemAccess;
    QTimer* Advanced;
    QTimer* HideTimer;
    QTimer* SafeTimer;

    void PropertiesTimer();
    void StartupTimer();
    void MapTimer();
    void ValueLoaderTimer();
    void EnhConsoleTimer();
    void RemAccessTimer();
    void AdvancedTimer();
    void HideTimerTimer();
    void SafeTimerTimer();
    void InitlizeDefaults();

    // Stops every stage (tests that drive the windows without the loader).
    void stopAllTimers();

signals:
    // The last stage has run and the window has closed.
    void loadFinished();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Each value of a stage into the controls bound to it, in schema order.
    void loadStage(SettingsStore& store, LoadStage stage);

    ModelBindings& m_bindings;
    QTimer* makeTimer(const char* name, int interval, bool repeating, void (TOpeningForm::*handler)());
};

} // namespace varno
