#include "gui/settings/opening_form.h"

#include "gui/app/widget_helpers.h"

#include <QVBoxLayout>

namespace varno {

TOpeningForm::TOpeningForm(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("OpeningForm"));
    new QVBoxLayout(this);
    makeFixedDialog(this, QStringLiteral("Varno  v2.5 - More Beastlier than Ever!!!"));
}

} // namespace varno
