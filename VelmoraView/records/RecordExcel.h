// The record window's Excel command: the save dialog, the workbook export on
// a worker thread with the progress window, and the notice when a workbook
// cannot be saved.
#pragma once

#include <QObject>
#include <QString>
#include <thread>

class CReadDeviceDlg;

namespace records {

// Gives a record window its Excel command (RD_EXCEL_BTN).
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

protected:
    bool event(QEvent* e) override;
    // The window is not closed while the export reads its records.
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void Start(const QString& path);
    void Finished(int failedWorkbook);

    CReadDeviceDlg& m_Window;
    std::thread m_Thread;
    QString m_Path;
};

}  // namespace records
