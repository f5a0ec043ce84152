// The record window's "Check all": the audit of the whole test log against
// the seal ledger on a worker thread, with its progress, then the counts and
// the findings, which can be saved as CSV.
#pragma once

#include "SealAudit.h"
#include "SealKey.h"

#include <QTimer>
#include <QWidget>
#include <atomic>
#include <thread>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTreeWidget;

class SealAuditDlg : public QWidget {
    Q_OBJECT
public:
    explicit SealAuditDlg(QWidget* owner = nullptr);
    ~SealAuditDlg() override;

    // Runs the audit of the program folder's log (not what the record window
    // shows: that may be an archive).
    void Start();
    // The same, every MAC checked from the key sheet in `sheetFile`.
    void StartWithKeySheet(const QString& sheetFile);
    // Checks a code printed on a report against the ledger; its message is
    // shown beside the fields. 0, 1 or 2 as `--verify-code` exits.
    int VerifyCode(const QString& testno, const QString& code);
    // Asks for a file (a USB stick, a folder mailed to the office) and writes
    // the ledger's checkpoint there; false when not written (said to the user).
    bool ExportCheckpoint();
    // Explains the key sheet, asks where to write it and begins a keyed
    // ledger; false when not begun (said to the user).
    bool BeginKeyedLedger();
    void Cancel();
    // Asks for a file and writes the findings there; false when not written.
    bool SaveCsv();

    bool Running() const { return m_Worker.joinable(); }
    const emtask::AuditResult& Result() const { return m_Result; }
    QTreeWidget* List() const { return m_List; }
    QString SummaryText() const;
    QPushButton* CancelButton() const { return m_Cancel; }
    QPushButton* SaveButton() const { return m_Save; }
    QLabel* CodeResult() const { return m_CodeResult; }

    // Rows shown at most; the CSV holds every finding.
    static constexpr int kMaxRows = 10000;

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void Poll();
    void Finish();
    void StopWorker();
    // The new key sheet in a window: the text, and a QR code of the same text.
    void ShowKeySheet(const QString& intro, const QString& text, const QString& title);

    std::thread m_Worker;
    std::atomic<bool> m_CancelFlag{false};
    std::atomic<bool> m_Finished{false};
    std::atomic<int64_t> m_Done{0}, m_Total{0};
    emtask::AuditResult m_Result;  // the worker's until it has been joined
    emtask::SealKeySheet m_Sheet;  // the worker's, when it checks MACs
    QTimer m_Poll;

    QLabel* m_Status = nullptr;
    QSpinBox* m_AcceptBefore = nullptr;
    QProgressBar* m_Bar = nullptr;
    QLabel* m_Counts = nullptr;
    QTreeWidget* m_List = nullptr;
    QPushButton* m_Cancel = nullptr;
    QPushButton* m_Save = nullptr;
    QPushButton* m_Close = nullptr;
    QLineEdit* m_CodeTest = nullptr;
    QLineEdit* m_Code = nullptr;
    QLabel* m_CodeResult = nullptr;
};
