#include "gui/app/status_line.h"

#include <QLabel>

namespace varno {

StatusLine::StatusLine(QWidget* parent)
    : QStatusBar(parent)
    , m_text(new QLabel(this))
{
    setSizeGripEnabled(false);
    m_text->setObjectName(QStringLiteral("StatusText"));
    // Long texts (the map-folder notice) must not widen the fixed-size window.
    m_text->setMinimumWidth(1);
    m_text->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    addWidget(m_text, 1);
}

void StatusLine::setText(const QString& text)
{
    m_text->setText(text);
}

QString StatusLine::text() const
{
    return m_text->text();
}

} // namespace varno
