// "Print View": the report of one record, scaled down, with its four entries.
// Created once and reused; shown by ReportPreview::Open().
#pragma once

#include "StoreParts.h"
#include "messaging/WindowRegistry.h"
#include "reports/ReportPage.h"

#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <thread>

class CLimitedEdit;
class QPrinter;
class QPushButton;

// The print view of one test's report (nothing is mirrored).
class MirrorDlg : public QWidget {
    Q_OBJECT
public:
    explicit MirrorDlg(const emtask::SettingsBlock& settings, QWidget* parent = nullptr);
    ~MirrorDlg() override;

    static constexpr QRect kPreviewArea{83, 50, 385, 561};
    enum Entry { Title, Operator, Subject, Note, EntryCount };

    // What the calling window passes before the window is shown: the records,
    // the test number of the row, the photograph folder of their source, and
    // the window to enable again on closing; the row's slot when known.
    void SetSource(const emtask::DeviceData* records, int testNo, const std::string& photoFolder, Wnd caller,
                   int32_t slot = -1);

    // The entries from the stored form defaults.
    void Refill();
    // Renders with the current entries and shows it; Print and Save PDF
    // output this page. It is also written to conf/printformation.jpg.
    void Render();
    void OnApply();
    void OnClear();
    // Renders the entries as typed, then the print dialog and the page
    // printed on a thread of its own; with no printer installed, Save PDF.
    void OnPrint();
    // Beyond printing: the entries as typed, as a PDF file the user names.
    void OnSavePdf();
    void OnClose();

    CLimitedEdit* entry(Entry e) const { return m_Entries[e]; }
    QPushButton* applyButton() const { return m_Apply; }
    QPushButton* clearButton() const { return m_Clear; }
    QPushButton* printButton() const { return m_Print; }
    QPushButton* savePdfButton() const { return m_SavePdf; }
    QPushButton* closeButton() const { return m_Close; }
    const reports::ReportOutcome& lastRendering() const { return m_Last; }
    QImage preview() const { return m_Preview; }
    // The printer the print dialog sets up, made on first use (tests point it
    // at a PDF file).
    QPrinter* printer();
    bool busy() const { return m_Worker.joinable(); }

signals:
    // A print or a PDF ended and what failed was said.
    void printFinished(bool ok);
    // The window was closed and its caller enabled again.
    void closed();
    // From the output thread (received queued): it ended (false: failed).
    void outputDone(bool ok);

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void paintEvent(QPaintEvent*) override;

private:
    const emtask::SettingsBlock& m_Settings;
    // Runs `job` (empty: done, else why not) on the worker; a failure is
    // said with `failure` (%1 the target, %2 the reason) once it is done.
    void StartWorker(std::function<QString()> job, const QString& failure, const QString& target,
                     const QString& title);
    void OnOutputDone(bool ok);
    // Print offers Save PDF while no printer is installed.
    bool ShowPrinterChoice();
    reports::ReportTexts EntryTexts() const;

    const emtask::DeviceData* m_Data = nullptr;
    int m_TestNo = 0;
    int32_t m_Slot = -1;
    std::string m_PhotoFolder;
    Wnd m_Caller = Wnd::ReadDevice;

    CLimitedEdit* m_Entries[EntryCount] = {};
    QPushButton* m_Apply;
    QPushButton* m_Clear;
    QPushButton* m_Print;
    QPushButton* m_SavePdf;
    QPushButton* m_Close;
    reports::ReportOutcome m_Last;
    QImage m_Preview;
    std::unique_ptr<QPrinter> m_Printer;
    std::thread m_Worker;
    QString m_WorkerWhy;  // written by the worker, read after it is joined
    QString m_Failure, m_FailureTarget, m_FailureTitle;
};
