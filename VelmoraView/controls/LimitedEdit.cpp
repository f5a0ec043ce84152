#include "controls/LimitedEdit.h"

bool CLimitValidator::Fits(const QString& text, int maxChars, int maxBytes)
{
    // Characters, not UTF-16 units: a character outside the basic plane
    // counts once.
    const int chars = static_cast<int>(text.toUcs4().size());
    return chars <= maxChars && text.toUtf8().size() <= maxBytes;
}

QValidator::State CLimitValidator::validate(QString& input, int&) const
{
    return Fits(input, m_MaxChars, m_MaxBytes) ? Acceptable : Invalid;
}

CLimitedEdit::CLimitedEdit(int maxChars, int maxBytes, QWidget* parent, bool masked)
    : QLineEdit(parent),
      m_MaxChars(maxChars),
      m_MaxBytes(maxBytes)
{
    // Surrogate pairs take two units of maxLength; the validator does the
    // real counting.
    setMaxLength(maxChars * 2);
    setValidator(new CLimitValidator(maxChars, maxBytes, this));
    if (masked) setEchoMode(QLineEdit::Password);
}
