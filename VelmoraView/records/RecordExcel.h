// The record window's Excel command: the save dialog, the workbook export on
// a worker thread with the progress window, and the notice when a workbook
// cannot be saved.
#pragma once

#include <QObject>
#include <QString>
#include <thread>

class CReadDeviceDlg;

namespace records {

// Gives a record window its Excel command.
void InstallExcelCommand(CReadDeviceDlg& window);

// One per record window (its child): runs one export at a time.
class RecordExcel : public QObject {
    Q_OBJECT
public:
    explicit RecordExcel(CReadDeviceDlg& window);
    ~RecordExcel() override;

    // The command: asks for the path; on OK starts the export.
    void OnExcel();
    bool Running() const { return m_Thread.joinable(); }

signals:
    // From the export's thread (received queued): the records written so
    // far, and the end (the workbook that could not be saved, 0 when all
    // were, and why).
    void progressed(int written);
    void finished(int failedWorkbook, const QString& why);

protected:
    // The window is not closed while the export reads its records.
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void Start(const QString& path);
    void Finished(int failedWorkbook, const QString& why);

    CReadDeviceDlg& m_Window;
    std::thread m_Thread;
    QString m_Path;
};

}  // namespace records
