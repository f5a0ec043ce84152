// The three boxes that show a text of their caller: an error box, an
// information box, and a waiting box. Modal use goes through Dialogs().
#pragma once

#include <QDialog>

class QLabel;

// Modal error box titled "Error" with one coloured label.
class CMessageBoxDlg : public QDialog {
    Q_OBJECT
public:
    explicit CMessageBoxDlg(const QString& text, QWidget* parent = nullptr);
    QString text() const;
    // Runs the box modally through Dialogs().
    static int Run(const QString& text, QWidget* parent = nullptr);

private:
    QLabel* m_Label;
};

// Information box: red text on white.
class CMessageBox2Dlg : public QDialog {
    Q_OBJECT
public:
    explicit CMessageBox2Dlg(const QString& text, QWidget* parent = nullptr);
    QString text() const;

private:
    QLabel* m_Label;
};

// Waiting box: registered (Wnd::Waiting) while it is shown; the window that
// opened it closes it.
class CMessageBox3Dlg : public QDialog {
    Q_OBJECT
public:
    explicit CMessageBox3Dlg(const QString& text, QWidget* parent = nullptr);
    ~CMessageBox3Dlg() override;
    QString text() const;
    static constexpr const char* kMainText = QT_TRANSLATE_NOOP("CMessageBox3Dlg",
                                                               "Loading data, just a moment please.");

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    QLabel* m_Label;
};
