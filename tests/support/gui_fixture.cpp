#include "support/gui_fixture.h"

#include "gui/app/dialogs.h"
#include "gui/app/forms.h"
#include "gui/app/main_window.h"
#include "gui/settings/cmd_line_form.h"
#include "gui/settings/opening_form.h"
#include "gui/settings/prop_form.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTimer>
#include <QtTest/QTest>

namespace varno::test {

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeout.count())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QTest::qSleep(1);
    }
    return true;
}

QWidget* findControl(const QString& objectName)
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == objectName)
            return window;
        if (auto* found = window->findChild<QWidget*>(objectName))
            return found;
    }
    return nullptr;
}

namespace {

// The widget that receives key events for a control (a combo box's or spin edit's line edit).
QWidget* keyTarget(QWidget* widget)
{
    if (auto* combo = qobject_cast<QComboBox*>(widget); combo && combo->lineEdit())
        return combo->lineEdit();
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(widget))
        return spin->findChild<QLineEdit*>();
    return widget;
}

} // namespace

void typeInto(QWidget* widget, const QString& text)
{
    QWidget* target = keyTarget(widget);
    widget->setFocus();
    QTest::keyClicks(target, text);
}

void clearField(QWidget* widget)
{
    QWidget* target = keyTarget(widget);
    widget->setFocus();
    QTest::keyClick(target, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(target, Qt::Key_Delete);
}

void click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton);
}

void GuiTest::SetUp()
{
    settings = std::make_unique<TempSettings>();
    dialogs::setScripted(true);
}

void GuiTest::TearDown()
{
    if (windowsCreated)
        destroyForms();
    dialogs::setScripted(true);
    settings.reset();
}

void GuiTest::createWindows(bool runLoader, bool show)
{
    createForms({}, show);
    windowsCreated = true;
    if (!runLoader) {
        forms().Form1->LoadTimer->stop();
        forms().OpeningForm->stopAllTimers();
    }
}

} // namespace varno::test
