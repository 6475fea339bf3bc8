#include "gui/lpb/status_form.h"

#include "gui/app/widget_helpers.h"

#include <QVBoxLayout>

namespace varno {

TStatusForm::TStatusForm(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("StatusForm"));
    new QVBoxLayout(this);
    makeFixedDialog(this, QStringLiteral("Status Window"));
}

} // namespace varno
