#pragma once

#include "support/temp_settings.h"

#include <QObject>
#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>

namespace varno::test {

// Waits, processing events, until the condition holds or the time is up; returns whether it held.
bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout = std::chrono::seconds(5));

// A control of the main window, or of any of the program's windows, by its object name.
template <typename W>
W* control(const QString& objectName);
QWidget* findControl(const QString& objectName);

// Types text into the focused-by-us widget as a user would, key by key.
void typeInto(QWidget* widget, const QString& text);
// Clears an edit with select-all and delete, as a user would.
void clearField(QWidget* widget);
void click(QWidget* widget);

// A test with its own settings file and the program's windows created (hidden); the start-up
// loader stays off unless the test starts it.
class GuiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the windows; with runLoader false the main window's LoadTimer is stopped at once.
    void createWindows(bool runLoader = false, bool show = false);

    std::unique_ptr<TempSettings> settings;
    bool windowsCreated = false;
};

template <typename W>
W* control(const QString& objectName)
{
    return qobject_cast<W*>(findControl(objectName));
}

} // namespace varno::test
