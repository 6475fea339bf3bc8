#include "gui/app/about_form.h"

#include "gui/app/widget_helpers.h"

#include <QVBoxLayout>

namespace varno {

TAboutForm::TAboutForm(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutForm"));
    new QVBoxLayout(this);
    makeFixedDialog(this, QStringLiteral("About"));
}

} // namespace varno
