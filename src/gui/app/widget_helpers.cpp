#include "gui/app/widget_helpers.h"

#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>

namespace varno {

QLabel* makeLabel(QWidget* parent, const QString& text, QWidget* buddy)
{
    auto* label = new QLabel(text, parent);
    if (buddy)
        label->setBuddy(buddy);
    return label;
}

int comboSelectedIndex(const QComboBox* box)
{
    return box->findText(box->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
}

void selectComboIndexQuietly(QComboBox* box, int index)
{
    const QSignalBlocker blocker(box);
    if (index >= 0 && index < box->count())
        box->setCurrentIndex(index);
}

} // namespace varno

#include <QLayout>
#include <QScreen>

namespace varno {

void makeFixedDialog(QWidget* window, const QString& caption)
{
    window->setWindowTitle(caption);
    window->setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint);
    window->setWindowModality(Qt::NonModal);
    if (window->layout())
        window->layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void centreOnScreen(QWidget* window)
{
    if (QScreen* screen = window->screen())
        window->move(screen->availableGeometry().center() - window->rect().center());
}

} // namespace varno
