#include "messaging/StoreNotices.h"

#include "DebugLog.h"
#include "EMTaskData.h"
#include "controls/Dialogs.h"
#include "messaging/Diagnostics.h"

#include <QCoreApplication>
#include <QStringList>

bool ReportNotSaved(QWidget* parent, int saveResult, const QString& what)
{
    if (saveResult == 1) return false;
    const QString why = QString::fromUtf8(emtask::LastStoreError().c_str());
    DebugLine("not saved: %s: %s", what.toUtf8().constData(), emtask::LastStoreError().c_str());
    ShowMessage(parent,
                QCoreApplication::translate("StoreNotices", "%1 could not be saved: %2.").arg(what, why),
                QCoreApplication::translate("StoreNotices", "Not saved"), QMessageBox::Warning);
    return true;
}

void ReportFileNotSaved(QWidget* parent, const QString& lead, const QString& title, const QString& file,
                        const QString& why)
{
    DebugLine("not saved: %s: %s", file.toUtf8().constData(), why.toUtf8().constData());
    QString text = lead + file;
    if (!why.isEmpty()) text += QLatin1Char('\n') + why;
    ShowMessage(parent, text, title, QMessageBox::Warning);
}

int ShowStartupProblems(QWidget* parent, const emtask::EMTaskData& store)
{
    const std::vector<std::string>& problems = store.StartupProblems();
    if (problems.empty()) return 0;
    QStringList texts;
    for (const std::string& p : problems) {
        texts << QString::fromUtf8(p.c_str());
        qCWarning(lcZolt7, "%s", p.c_str());  // also for a terminal or journal
    }
    ShowMessage(parent, texts.join(QStringLiteral("\n\n")),
                QCoreApplication::translate("StoreNotices", "Data files"), QMessageBox::Warning);
    return static_cast<int>(problems.size());
}
