#pragma once

#include <QString>

class QComboBox;
class QCheckBox;
class QLabel;
class QLineEdit;
class QWidget;

namespace varno {

// Creates a child widget of type W named after its control.
template <typename W, typename... Args>
W* makeControl(QWidget* parent, const char* objectName, Args&&... args)
{
    auto* widget = new W(std::forward<Args>(args)..., parent);
    widget->setObjectName(QString::fromLatin1(objectName));
    return widget;
}

QLabel* makeLabel(QWidget* parent, const QString& text, QWidget* buddy = nullptr);

// The index of the entry whose text is exactly the box's text; -1 when the text matches none.
int comboSelectedIndex(const QComboBox* box);

// Selects an entry without running the box's change handler (a loaded index runs none).
void selectComboIndexQuietly(QComboBox* box, int index);

} // namespace varno

namespace varno {

// A dialog window of the panel: fixed size, on top of other windows, centred on the screen when first
// shown, never modal.
void makeFixedDialog(QWidget* window, const QString& caption);

// Moves a window to the centre of its screen.
void centreOnScreen(QWidget* window);

} // namespace varno
