#include "gui/app/error_report.h"

#include "gui/app/dialogs.h"

namespace varno {

void reportError(const std::exception& error)
{
    dialogs::showMessage(QString::fromLocal8Bit(error.what()));
}

} // namespace varno
