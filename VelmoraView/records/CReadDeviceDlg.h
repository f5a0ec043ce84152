// The record window: pages through the test log or an opened archive (both
// held in m_DeviceData), one sheet at a time, newest first; checks the
// photograph of a clicked row; saves and opens archives; prints the sheet.
#pragma once

#include "EMTaskData.h"
#include "records/RecordListParts.h"
#include "records/SealAuditDlg.h"

#include <QPointer>
#include <QTimer>

namespace records {

// The status line of a display pass for the test log (archive false) or an
// archive named `name`.
StatusLine RecordStatus(bool archive, StatusMoment moment, bool records, const QString& name);

// Sheets at most this large log every record they show; larger ones one line.
constexpr int kPerRecordLogRows = 1000;

// The record window's buttons, by their command numbers of the original
// layout (a button's id()).
enum class RecordButton : int {
    Save = 10001,
    Excel = 10002,
    Print = 10003,
    Search = 10004,
    Open = 10005,
    Close = 10006,
    CheckAll = 10007  // the log against the seal ledger
};

}  // namespace records

// The record window. Despite its name it reads the test log file (or an
// archive), never the instrument.
class CReadDeviceDlg : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 1024;
    static constexpr int kHeight = 666;

    explicit CReadDeviceDlg(emtask::EMTaskData& store, QWidget* owner = nullptr);
    // The store whose log (or archive) this window shows.
    emtask::EMTaskData& Store() { return m_Store; }
    ~CReadDeviceDlg() override;

    // The main window's Records button: read the file (once the window is
    // up), show the window centred, clear the selection, fill the sheet list.
    void OpenFromMain();

    // What other windows (report preview, workbook export, search) read.
    int SourceFlag() const { return m_DataOutClicked; }
    const std::string& ArchivePhotoFolder() const { return m_ArchivePhotoDir; }
    const QString& ArchiveFileName() const { return m_ArchiveName; }
    records::PhotoSource PhotoSourceNow() const;
    const QString& SelectedTestNo() const { return m_Selection.testNo; }
    int32_t SelectedSlot() const { return m_Selection.slot; }
    CLoadDataDlg* ProgressWindow() const { return m_Progress; }
    SealAuditDlg* AuditWindow() const { return m_Audit; }

    // For tests and the benchmark.
    records::RecordGridModel* Model() const { return m_Model; }
    QTableView* Grid() const { return m_Grid; }
    QComboBox* SheetList() const { return m_SheetList; }
    QString StatusText() const;
    QColor StatusColor() const { return m_StatusColor; }
    CSkinButton* Button(records::RecordButton b) const;
    int RowsPerSheet() const { return m_Paging.rowsPerSheet; }
    records::PhotoVerdict ShownVerdict() const { return m_ShownVerdict; }
    QImage ShownPicture() const;
    // Saving, printing, or a display whose rows are still to be filled (they
    // are, 100 ms after it, and that pass enables the window again).
    bool Busy() const { return m_SaveThread.joinable() || m_Print.Running() || m_InPass || m_FillFlag; }

public slots:
    // The buttons' commands.
    void OnSave();
    void OnExcel() { emit excelRequested(); }
    void OnPrint();
    void OnSearch() { emit searchRequested(); }
    void OnOpen();
    void OnClose();
    void OnCheckAll();
    // The grid's row (-1: none) was clicked or selected: its photograph is
    // checked and shown. Double-clicked: its selection taken and opened.
    void OnRowClicked(int row);
    void OnRowDoubleClicked(int row);
    // The report preview opened from this window closed.
    void OnPreviewClosed();

signals:
    // The commands built elsewhere. A button's command is enabled once its
    // signal is connected.
    void excelRequested();
    void searchRequested();
    // A row was double-clicked and its selection taken.
    void rowOpened();
    // From the save worker's thread (the window receives them queued): the
    // records done so far, and the end (false: nothing saved).
    void saveProgressed(int done);
    void saveFinished(bool saved);

protected:
    void connectNotify(const QMetaMethod& signal) override;
    void paintEvent(QPaintEvent*) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    emtask::EMTaskData& m_Store;
    void FillSheetList();
    void OnSheetChanged(int index);
    void ReadFileLater();
    void ReadFile();
    void FillRows();
    void DisplayFileReadData();
    void ShowStatus(const records::StatusLine& s);
    void ShowPhoto(int32_t slot);
    void OnSaved(bool ok);
    void OnPrinted(bool ok);
    bool RestoreLog();  // false when the log could not be read back
    void SayLogNotReadBack();
    void UpdateHookButtons();
    // True when a display pass runs: `later` is kept for its end.
    bool DeferredByPass(std::function<void()> later);

    // Window state.
    uint8_t m_DataOutClicked = 0;
    bool m_FillFlag = false;
    bool m_Complete = false;
    std::string m_ArchivePhotoDir;
    bool m_ArchivePhotosSeen = false;  // m_ArchivePhotoDir was a folder when the archive was opened
    QString m_ArchiveName;
    records::Paging m_Paging;
    records::RowSelection m_Selection;
    QColor m_StatusColor;
    records::PhotoVerdict m_ShownVerdict = records::PhotoVerdict::NoPhoto;

    // A display pass runs; what would change what it works on waits.
    bool m_InPass = false;
    std::vector<std::function<void()>> m_Deferred;

    // Rows are filled this long after a file was read, so the first page shows first.
    static constexpr int kFillDelayMs = 100;
    QTimer m_FillTimer;
    std::thread m_SaveThread;
    records::PhotoCopy m_SaveCopy;  // what the last save did with the photographs
    QString m_SaveFile;             // the archive it was to write
    std::string m_SaveWhy;          // and what failed
    records::GridPrintJob m_Print;

    QLabel* m_Title = nullptr;
    QLabel* m_Status = nullptr;
    QLabel* m_DataLabel = nullptr;
    QTableView* m_Grid = nullptr;
    records::RecordGridModel* m_Model = nullptr;
    QComboBox* m_SheetList = nullptr;
    records::PhotoArea* m_Picture = nullptr;
    std::vector<CSkinButton*> m_Buttons;
    std::vector<QLabel*> m_DeviceInfo;
    CLoadDataDlg* m_Progress = nullptr;
    QPointer<SealAuditDlg> m_Audit;
};
