// Message boxes, file dialogs and the print dialog go through this one
// interface: the program uses the Qt implementation, tests a scripted one, so
// no test ever blocks on a modal box.
#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

class QDialog;
class QPrinter;
class QWidget;

class DialogProvider {
public:
    virtual ~DialogProvider() = default;
    // Returns the button pressed (QMessageBox::Ok, Yes, No, Cancel, ...).
    virtual QMessageBox::StandardButton messageBox(QWidget* parent, const QString& text, const QString& title,
                                                   QMessageBox::StandardButtons buttons,
                                                   QMessageBox::Icon icon) = 0;
    // Empty text: cancelled.
    virtual QString openFileName(QWidget* parent, const QString& caption, const QString& dir,
                                 const QString& filter) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& caption, const QString& dir,
                                 const QString& filter) = 0;
    virtual QString directory(QWidget* parent, const QString& caption, const QString& dir) = 0;
    // False: cancelled.
    virtual bool printDialog(QWidget* parent, QPrinter* printer) = 0;
    // The printers installed; empty when there is none.
    virtual QStringList printerNames() = 0;
    // Runs one of the program's own modal dialogs; its result code.
    virtual int execDialog(QDialog* dialog) = 0;
};

// The provider in use (the Qt one unless replaced).
DialogProvider& Dialogs();
// Replaces the provider (tests); nullptr restores the Qt one.
void SetDialogs(DialogProvider* provider);

// The filter of the save and open dialogs of .xlsx workbooks.
inline const QString kExcelFileFilter = QStringLiteral("Excel Files(*.xls;*.xlsx) (*.xls *.xlsx)");
// A chosen path without an extension gets `suffix` (a dialog's default extension).
QString WithDefaultSuffix(const QString& path, const QString& suffix);

// Shorthands.
inline QMessageBox::StandardButton ShowMessage(QWidget* parent, const QString& text, const QString& title,
                                               QMessageBox::Icon icon = QMessageBox::Information,
                                               QMessageBox::StandardButtons buttons = QMessageBox::Ok)
{
    return Dialogs().messageBox(parent, text, title, buttons, icon);
}

// For tests: answers from queues, and a record of every box shown.
class ScriptedDialogs : public DialogProvider {
public:
    struct Shown {
        QString kind;  // "message", "open", "save", "directory", "print"
        QString text;  // message text, or file dialog caption
        QString title;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
    };
    std::vector<Shown> shown;
    std::deque<QMessageBox::StandardButton> buttonAnswers;  // default: the first button offered
    std::deque<QString> fileAnswers;                        // default: "" (cancelled)
    std::deque<bool> printAnswers;                          // default: false
    std::deque<int> dialogAnswers;                          // default: QDialog::Accepted
    QStringList printers{QStringLiteral("Scripted printer")};

    ScriptedDialogs() { SetDialogs(this); }
    ~ScriptedDialogs() override { SetDialogs(nullptr); }

    QMessageBox::StandardButton messageBox(QWidget*, const QString& text, const QString& title,
                                           QMessageBox::StandardButtons buttons,
                                           QMessageBox::Icon icon) override;
    QString openFileName(QWidget*, const QString& caption, const QString&, const QString&) override;
    QString saveFileName(QWidget*, const QString& caption, const QString&, const QString&) override;
    QString directory(QWidget*, const QString& caption, const QString&) override;
    bool printDialog(QWidget*, QPrinter*) override;
    QStringList printerNames() override { return printers; }
    // Records the dialog (kind "dialog", its window title, and the text of its
    // first label as text) and returns the next answer without showing it.
    int execDialog(QDialog* dialog) override;

    QStringList messages() const;  // texts of the message boxes shown, in order
};
