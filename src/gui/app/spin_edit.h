#pragma once

#include "core/settings/schema.h"

#include <QAbstractSpinBox>

namespace varno {

// A number field as the panel's pages know it: its value is its text read as a decimal integer;
// text that is not a number counts as the minimum (0 for a field without a range); typed text outside
// the range stays as typed until the field loses the focus, when it is clamped. Every change of the
// text, typed or set, emits changed().
class SpinEdit : public QAbstractSpinBox {
    Q_OBJECT
public:
    // A field with minimum == maximum has no range.
    SpinEdit(int minimum, int maximum, int value, int maxDigits, QWidget* parent = nullptr);
    // The field of a stored value: its range and first value from the schema.
    SpinEdit(const SettingKey& key, int maxDigits, QWidget* parent = nullptr);

    int value() const;
    // Clamps to the range, as a loaded value is.
    void setValue(int value);
    QString text() const;
    void setText(const QString& text);

    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    bool hasRange() const { return m_minimum != m_maximum; }
    int maxLength() const;

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void changed();

protected:
    StepEnabled stepEnabled() const override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int clamp(long long value) const;

    int m_minimum;
    int m_maximum;
    int m_maxDigits;
};

} // namespace varno
