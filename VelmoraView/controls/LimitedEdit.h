// A one-line entry field that refuses input beyond a number of characters and
// a number of bytes of its UTF-8 text, so that the text and its NUL always fit
// the stored field.
#pragma once

#include <QLineEdit>
#include <QValidator>

class CLimitValidator : public QValidator {
public:
    CLimitValidator(int maxChars, int maxBytes, QObject* parent = nullptr)
        : QValidator(parent),
          m_MaxChars(maxChars),
          m_MaxBytes(maxBytes)
    { }
    State validate(QString& input, int& pos) const override;
    static bool Fits(const QString& text, int maxChars, int maxBytes);

private:
    int m_MaxChars;
    int m_MaxBytes;
};

class CLimitedEdit : public QLineEdit {
    Q_OBJECT
public:
    // maxBytes counts the text without its NUL.
    CLimitedEdit(int maxChars, int maxBytes, QWidget* parent = nullptr, bool masked = false);
    std::string utf8() const { return text().toStdString(); }
    int maxChars() const { return m_MaxChars; }
    int maxBytes() const { return m_MaxBytes; }

private:
    int m_MaxChars;
    int m_MaxBytes;
};
