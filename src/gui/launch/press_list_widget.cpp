#include "gui/launch/press_list_widget.h"

namespace varno {

void PressListWidget::mousePressEvent(QMouseEvent* event)
{
    QListWidget::mousePressEvent(event);
    emit mousePressed();
}

void PressListWidget::mouseReleaseEvent(QMouseEvent* event)
{
    QListWidget::mouseReleaseEvent(event);
    emit mouseReleased();
}

} // namespace varno
