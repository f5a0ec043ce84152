#include "controls/Dialogs.h"

#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace {
class QtDialogs : public DialogProvider {
public:
    QMessageBox::StandardButton messageBox(QWidget* parent, const QString& text, const QString& title,
                                           QMessageBox::StandardButtons buttons,
                                           QMessageBox::Icon icon) override
    {
        QMessageBox box(icon, title, text, buttons, parent);
        return static_cast<QMessageBox::StandardButton>(box.exec());
    }
    QString openFileName(QWidget* parent, const QString& caption, const QString& dir,
                         const QString& filter) override
    {
        return QFileDialog::getOpenFileName(parent, caption, dir, filter);
    }
    QString saveFileName(QWidget* parent, const QString& caption, const QString& dir,
                         const QString& filter) override
    {
        return QFileDialog::getSaveFileName(parent, caption, dir, filter);
    }
    QString directory(QWidget* parent, const QString& caption, const QString& dir) override
    {
        return QFileDialog::getExistingDirectory(parent, caption, dir);
    }
    bool printDialog(QWidget* parent, QPrinter* printer) override
    {
        QPrintDialog dlg(printer, parent);
        // No selection, page range or print-to-file: a job prints everything.
        dlg.setOptions(QAbstractPrintDialog::PrintShowPageSize | QAbstractPrintDialog::PrintCollateCopies);
        return dlg.exec() == QDialog::Accepted;
    }
    QStringList printerNames() override { return QPrinterInfo::availablePrinterNames(); }
    int execDialog(QDialog* dialog) override { return dialog->exec(); }
};

QtDialogs g_qt;
DialogProvider* g_provider = nullptr;
}  // namespace

QString WithDefaultSuffix(const QString& path, const QString& suffix)
{
    return QFileInfo(path).suffix().isEmpty() ? path + QLatin1Char('.') + suffix : path;
}

DialogProvider& Dialogs() { return g_provider ? *g_provider : g_qt; }
void SetDialogs(DialogProvider* provider) { g_provider = provider; }

// The next queued answer, or `otherwise` when none is left.
template <class T>
static T Take(std::deque<T>& q, T otherwise = T())
{
    if (q.empty()) return otherwise;
    T next = q.front();
    q.pop_front();
    return next;
}

QMessageBox::StandardButton ScriptedDialogs::messageBox(QWidget*, const QString& text, const QString& title,
                                                        QMessageBox::StandardButtons buttons,
                                                        QMessageBox::Icon icon)
{
    shown.push_back({"message", text, title, icon});
    if (!buttonAnswers.empty()) return Take(buttonAnswers, QMessageBox::Ok);
    // The first button offered, in the order Ok, Yes, No, Cancel.
    for (auto b : {QMessageBox::Ok, QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
        if (buttons & b) return b;
    return QMessageBox::Ok;
}

QString ScriptedDialogs::openFileName(QWidget*, const QString& caption, const QString&, const QString&)
{
    shown.push_back({"open", caption, {}, QMessageBox::NoIcon});
    return Take(fileAnswers);
}

QString ScriptedDialogs::saveFileName(QWidget*, const QString& caption, const QString&, const QString&)
{
    shown.push_back({"save", caption, {}, QMessageBox::NoIcon});
    return Take(fileAnswers);
}

QString ScriptedDialogs::directory(QWidget*, const QString& caption, const QString&)
{
    shown.push_back({"directory", caption, {}, QMessageBox::NoIcon});
    return Take(fileAnswers);
}

bool ScriptedDialogs::printDialog(QWidget*, QPrinter*)
{
    shown.push_back({"print", {}, {}, QMessageBox::NoIcon});
    return Take(printAnswers, false);
}

int ScriptedDialogs::execDialog(QDialog* dialog)
{
    QLabel* label = dialog->findChild<QLabel*>();
    shown.push_back(
        {"dialog", label ? label->text() : QString(), dialog->windowTitle(), QMessageBox::NoIcon});
    return Take(dialogAnswers, int(QDialog::Accepted));
}

QStringList ScriptedDialogs::messages() const
{
    QStringList out;
    for (const Shown& s : shown)
        if (s.kind == "message") out << s.text;
    return out;
}
