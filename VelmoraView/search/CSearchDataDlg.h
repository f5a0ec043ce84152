// The search results window "Searching Data": runs the search over
// m_DeviceData with the stored criteria, shows the records found one sheet
// at a time (newest first) in the record grid, checks a clicked record's
// photograph, and saves the results as an archive or as CSV, or prints them.
#pragma once

#include "StoreParts.h"
#include "records/RecordListParts.h"
#include "search/CsvExport.h"

#include <QDialog>
#include <atomic>

namespace search {
// The status line for the test log (archive false) or an archive named `name`.
records::StatusLine SearchStatus(bool archive, records::StatusMoment moment, bool found, const QString& name);

// The results window's buttons, by their command numbers of the original
// layout (a button's id()).
enum class SearchButton : int { Save = 10001, Csv = 10002, Print = 10003, Close = 10004 };

}  // namespace search

// The results window ("Searching Data"); the criteria come from CDataSearchDlg.
class CSearchDataDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kWidth = 1024;
    static constexpr int kHeight = 666;

    // `sourceFlag` and the archive's photo folder and file name come from the
    // record window. The search runs once the window is up.
    CSearchDataDlg(emtask::EMTaskData& store, int sourceFlag, const std::string& archivePhotoFolder,
                   const QString& archiveName, QWidget* parent = nullptr);
    ~CSearchDataDlg() override;

    // Runs the window modally through Dialogs().
    int DoModal();

    int SourceFlag() const { return m_SourceFlag; }
    const std::string& ArchivePhotoFolder() const { return m_ArchivePhotoDir; }
    // Where the photographs of the found records are: the folder of the
    // source, each named by the record's test number.
    records::PhotoSource PhotoSourceNow() const;
    const QString& SelectedTestNo() const { return m_Selection.testNo; }
    int32_t SelectedSlot() const { return m_Selection.slot; }

    // For tests and the benchmark.
    records::RecordGridModel* Model() const { return m_Model; }
    QTableView* Grid() const { return m_Grid; }
    QComboBox* SheetList() const { return m_SheetList; }
    QString StatusText() const;
    QColor StatusColor() const { return m_StatusColor; }
    CLoadDataDlg* ProgressWindow() const { return m_Progress; }
    records::PhotoVerdict ShownVerdict() const { return m_ShownVerdict; }
    CSkinButton* Button(search::SearchButton b) const;
    bool Busy() const { return m_SaveThread.joinable() || m_CsvThread.joinable() || m_Print.Running(); }
    // The pause between CSV lines (tests replace the sleep).
    std::function<void(int ms)> m_CsvPause;

public slots:
    // The buttons' commands.
    void OnSave();
    void OnCsv();
    void OnPrint();
    void OnClose();
    // The grid's row (-1: none) was clicked or selected: its photograph is
    // checked and shown. Double-clicked: its selection taken and opened.
    void OnRowClicked(int row);
    void OnRowDoubleClicked(int row);
    // The report preview opened from this window closed.
    void OnPreviewClosed();

signals:
    // A row was double-clicked and its selection taken (its report preview
    // is built elsewhere).
    void rowOpened();
    // From the workers' threads (the window receives them queued): the
    // records or lines done so far, the end of an archive save (false:
    // nothing saved) and of a CSV export.
    void workProgressed(int done);
    void saveFinished(bool saved);
    void csvFinished(search::CsvResult result);

protected:
    void paintEvent(QPaintEvent*) override;
    void reject() override;  // Escape and the system close: Close

private:
    emtask::EMTaskData& m_Store;
    void SearchProcess();
    void FillSheetList();
    void OnSheetChanged(int index);
    void DisplaySearchData();
    void ShowStatus(const records::StatusLine& s);
    void ShowPhoto(int32_t slot);
    void OnSaved(bool ok);
    void OnCsvDone(search::CsvResult result);
    void OnPrinted(bool ok);
    void StopWorkers();

    int m_SourceFlag = 0;
    std::string m_ArchivePhotoDir;
    QString m_ArchiveName;
    records::Paging m_Paging;
    records::RowSelection m_Selection;
    QColor m_StatusColor;
    records::PhotoVerdict m_ShownVerdict = records::PhotoVerdict::NoPhoto;

    std::thread m_SaveThread;
    QString m_SaveFile;     // the archive the save was to write
    std::string m_SaveWhy;  // and what failed (read after the join)
    QString m_CsvFile;      // the same for the CSV export
    std::string m_CsvWhy;
    std::thread m_CsvThread;
    std::atomic<bool> m_CsvRunning{false};
    records::GridPrintJob m_Print;

    QLabel* m_Status = nullptr;
    QTableView* m_Grid = nullptr;
    records::RecordGridModel* m_Model = nullptr;
    QComboBox* m_SheetList = nullptr;
    records::PhotoArea* m_Picture = nullptr;
    std::vector<CSkinButton*> m_Buttons;
    CLoadDataDlg* m_Progress = nullptr;
};
