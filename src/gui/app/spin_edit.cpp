#include "gui/app/spin_edit.h"

#include "core/settings/integer_text.h"
#include "platform/qt_text.h"

#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionSpinBox>

#include <algorithm>

namespace varno {

namespace {

// A field without a digit limit still takes no more than a signed 32-bit number's text.
constexpr int kUnlimitedLength = 11;

} // namespace

SpinEdit::SpinEdit(int minimum, int maximum, int value, int maxDigits, QWidget* parent)
    : QAbstractSpinBox(parent)
    , m_minimum(minimum)
    , m_maximum(maximum)
    , m_maxDigits(maxDigits)
{
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    setKeyboardTracking(true);
    lineEdit()->setMaxLength(maxLength());
    lineEdit()->setText(QString::number(value));
    connect(lineEdit(), &QLineEdit::textChanged, this, &SpinEdit::changed);
}

SpinEdit::SpinEdit(const SettingKey& key, int maxDigits, QWidget* parent)
    : SpinEdit(key.minimum, key.maximum, parseDecimal(key.defaultText).value_or(key.minimum), maxDigits, parent)
{
}

int SpinEdit::maxLength() const
{
    return m_maxDigits > 0 ? m_maxDigits : kUnlimitedLength;
}

int SpinEdit::value() const
{
    return parseDecimal(toStd(lineEdit()->text())).value_or(m_minimum);
}

int SpinEdit::clamp(long long value) const
{
    if (!hasRange())
        return int(std::clamp<long long>(value, INT_MIN, INT_MAX));
    return int(std::clamp<long long>(value, m_minimum, m_maximum));
}

void SpinEdit::setValue(int value)
{
    setText(QString::number(clamp(value)));
}

QString SpinEdit::text() const
{
    return lineEdit()->text();
}

void SpinEdit::setText(const QString& text)
{
    lineEdit()->setText(text);
}

void SpinEdit::stepBy(int steps)
{
    setValue(clamp(static_cast<long long>(value()) + steps));
    lineEdit()->selectAll();
}

QAbstractSpinBox::StepEnabled SpinEdit::stepEnabled() const
{
    if (isReadOnly())
        return StepNone;
    if (!hasRange())
        return StepUpEnabled | StepDownEnabled;
    StepEnabled enabled = StepNone;
    if (value() < m_maximum)
        enabled |= StepUpEnabled;
    if (value() > m_minimum)
        enabled |= StepDownEnabled;
    return enabled;
}

QValidator::State SpinEdit::validate(QString& input, int&) const
{
    // Digits and signs only, as many as the field holds; whether the text is a number is decided by
    // value(), which counts anything else as the minimum.
    if (input.size() > maxLength())
        return QValidator::Invalid;
    for (const QChar c : input) {
        if (!c.isDigit() && c != QLatin1Char('-') && c != QLatin1Char('+'))
            return QValidator::Invalid;
    }
    return QValidator::Acceptable;
}

void SpinEdit::focusOutEvent(QFocusEvent* event)
{
    QAbstractSpinBox::focusOutEvent(event);
    if (!hasRange())
        return;
    const auto typed = parseDecimal(toStd(lineEdit()->text()));
    if (typed && (*typed < m_minimum || *typed > m_maximum))
        setValue(*typed);
}

QSize SpinEdit::sizeHint() const
{
    ensurePolished();
    const QFontMetrics metrics = fontMetrics();
    const int width = metrics.horizontalAdvance(QString(std::min(maxLength(), 9) + 1, QLatin1Char('8')));
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    const QSize content(width, lineEdit()->sizeHint().height());
    return style()->sizeFromContents(QStyle::CT_SpinBox, &option, content, this);
}

QSize SpinEdit::minimumSizeHint() const
{
    return sizeHint();
}

} // namespace varno
