#include "records/SealAuditDlg.h"

#include "FileImage.h"
#include "ProgramFolder.h"
#include "SealCheckpoint.h"
#include "records/SealAuditCommand.h"
#include "controls/Dialogs.h"
#include "controls/QrCode.h"
#include "controls/Skin.h"

#include <QCloseEvent>
#include <QDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cerrno>
#include <openssl/crypto.h>

namespace {
QString Utf8(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }
}  // namespace

SealAuditDlg::SealAuditDlg(QWidget* owner) : QWidget(owner, Qt::Window)
{
    setWindowTitle(tr("Check all"));
    setWindowIcon(skin::AppIcon());
    resize(900, 560);

    m_Status = new QLabel(this);
    m_Status->setWordWrap(true);
    // Records stored before sealing began cannot prove it: whoever checks says
    // up to where they are accepted.
    m_AcceptBefore = new QSpinBox(this);
    m_AcceptBefore->setRange(0, emtask::kMaxRecords + 1);
    m_AcceptBefore->setSpecialValueText(tr("none"));
    m_AcceptBefore->setAccessibleName(tr("Accept unsealed tests below"));
    auto* acceptLabel = new QLabel(tr("Accept unsealed tests below test number:"), this);
    acceptLabel->setBuddy(m_AcceptBefore);
    auto* check = new QPushButton(tr("Check again"), this);
    connect(check, &QPushButton::clicked, this, &SealAuditDlg::Start);
    m_Bar = new QProgressBar(this);
    m_Bar->setRange(0, 1000);
    m_Counts = new QLabel(this);
    m_Counts->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_List = new QTreeWidget(this);
    m_List->setRootIsDecorated(false);
    m_List->setUniformRowHeights(true);
    m_List->setHeaderLabels(
        {tr("Category"), tr("Test No."), tr("Date"), tr("Time"), tr("ID"), tr("Name"), tr("Detail")});
    m_List->header()->setStretchLastSection(true);
    m_List->setAccessibleName(tr("Findings"));

    m_Cancel = new QPushButton(tr("Cancel"), this);
    m_Save = new QPushButton(tr("Save as CSV"), this);
    m_Close = new QPushButton(tr("Close"), this);
    m_Save->setEnabled(false);
    connect(m_Cancel, &QPushButton::clicked, this, &SealAuditDlg::Cancel);
    connect(m_Save, &QPushButton::clicked, this, [this] { SaveCsv(); });
    connect(m_Close, &QPushButton::clicked, this, &QWidget::close);

    auto* withSheet = new QPushButton(tr("Check with key sheet..."), this);
    auto* exportCp = new QPushButton(tr("Export checkpoint..."), this);
    auto* begin = new QPushButton(tr("Begin ledger with key sheet..."), this);
    connect(withSheet, &QPushButton::clicked, this, [this] {
        const QString f = Dialogs().openFileName(this, tr("Key sheet"), QString(),
                                                 tr("Key sheets (*.txt);;All files (*)"));
        if (!f.isEmpty()) StartWithKeySheet(f);
    });
    connect(exportCp, &QPushButton::clicked, this, [this] { ExportCheckpoint(); });
    connect(begin, &QPushButton::clicked, this, [this] { BeginKeyedLedger(); });

    m_CodeTest = new QLineEdit(this);
    m_CodeTest->setPlaceholderText(tr("Test No."));
    m_CodeTest->setMaximumWidth(100);
    // A placeholder is gone once typed over: the name stays.
    m_CodeTest->setAccessibleName(tr("Test No."));
    m_Code = new QLineEdit(this);
    m_Code->setPlaceholderText(tr("Code as printed"));
    m_Code->setAccessibleName(tr("Code as printed"));
    auto* verify = new QPushButton(tr("Verify a printed code"), this);
    m_CodeResult = new QLabel(this);
    connect(verify, &QPushButton::clicked, this, [this] { VerifyCode(m_CodeTest->text(), m_Code->text()); });
    auto* codeRow = new QHBoxLayout;
    codeRow->addWidget(m_CodeTest);
    codeRow->addWidget(m_Code, 1);
    codeRow->addWidget(verify);
    codeRow->addWidget(m_CodeResult, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(withSheet);
    buttons->addWidget(exportCp);
    buttons->addWidget(begin);
    buttons->addStretch(1);
    buttons->addWidget(m_Cancel);
    buttons->addWidget(m_Save);
    buttons->addWidget(m_Close);
    auto* accept = new QHBoxLayout;
    accept->addWidget(acceptLabel);
    accept->addWidget(m_AcceptBefore);
    accept->addWidget(check);
    accept->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(accept);
    layout->addWidget(m_Status);
    layout->addWidget(m_Bar);
    layout->addWidget(m_Counts);
    layout->addWidget(m_List, 1);
    layout->addLayout(codeRow);
    layout->addLayout(buttons);

    m_Poll.setInterval(100);
    connect(&m_Poll, &QTimer::timeout, this, &SealAuditDlg::Poll);
}

SealAuditDlg::~SealAuditDlg() { StopWorker(); }

void SealAuditDlg::StartWithKeySheet(const QString& sheetFile)
{
    if (Running()) return;
    std::string why;
    if (!emtask::ReadKeySheet(sheetFile.toStdString(), m_Sheet, why)) {
        ShowMessage(this, tr("The key sheet cannot be used:\n%1").arg(Utf8(why)), tr("Check with key sheet"),
                    QMessageBox::Warning);
        return;
    }
    Start();
}

void SealAuditDlg::Start()
{
    if (Running()) return;
    const bool sheet = m_Sheet.ledger != emtask::SealIdentity{};
    m_CancelFlag = false;
    m_Finished = false;
    m_Done = 0;
    m_Total = 0;
    m_Result = {};
    m_List->clear();
    m_Counts->clear();
    m_Bar->setValue(0);
    m_Status->setText(tr("Checking every record and photograph of the test log against the seal ledger..."));
    m_Cancel->setEnabled(true);
    m_Save->setEnabled(false);
    emtask::AuditOptions options;
    options.cancel = &m_CancelFlag;
    options.done = &m_Done;
    options.total = &m_Total;
    if (sheet) options.keySheet = &m_Sheet;
    options.acceptUnsealedBefore = m_AcceptBefore->value();
    const emtask::AuditPaths paths = emtask::AuditPathsOf(emtask::ProgramFolder());
    // The worker touches only the result and the atomics; the window polls.
    m_Worker = std::thread([this, paths, options] {
        m_Result = emtask::AuditLog(paths, options);
        m_Finished.store(true, std::memory_order_release);
    });
    m_Poll.start();
}

void SealAuditDlg::Cancel()
{
    m_CancelFlag = true;
    m_Cancel->setEnabled(false);
}

void SealAuditDlg::StopWorker()
{
    m_Poll.stop();
    m_CancelFlag = true;
    if (m_Worker.joinable()) m_Worker.join();
}

void SealAuditDlg::Poll()
{
    const int64_t total = m_Total.load(), done = m_Done.load();
    if (total > 0) m_Bar->setValue(int(done * 1000 / total));
    if (m_Finished.load(std::memory_order_acquire)) Finish();
}

void SealAuditDlg::Finish()
{
    m_Poll.stop();
    m_Worker.join();
    // The key leaves memory with the run that needed it.
    OPENSSL_cleanse(m_Sheet.k0.data(), m_Sheet.k0.size());
    m_Sheet = {};
    m_Cancel->setEnabled(false);
    const emtask::AuditResult& r = m_Result;
    switch (r.status) {
    case emtask::AuditResult::Cancelled: m_Status->setText(tr("Cancelled.")); return;
    case emtask::AuditResult::LogUnreadable:
    case emtask::AuditResult::LedgerUnreadable:
        m_Status->setText(tr("Cannot read %1").arg(Utf8(r.error)));
        return;
    case emtask::AuditResult::Failed:
        m_Status->setText(tr("The check failed: %1").arg(Utf8(r.error)));
        return;
    case emtask::AuditResult::Done: break;
    }
    m_Bar->setValue(m_Bar->maximum());
    m_Status->setText(r.Clean() ? tr("Everything verifies.") : tr("Not everything verifies."));
    m_Status->setStyleSheet(r.Clean() ? QStringLiteral("color: #1a7f37;")
                                      : QStringLiteral("color: #c00000;"));

    // The totals on one line, then a line per category that has findings.
    QStringList counts{tr("Records: %1, ledger entries: %2, verified: %3, not sealed (CRC only): %4")
                           .arg(r.records)
                           .arg(r.entries)
                           .arg(r.verified)
                           .arg(r.notSealed)};
    for (int i = 0; i < emtask::kAuditKinds; ++i)
        if (r.counts[size_t(i)])
            counts << QStringLiteral("%1: %2")
                          .arg(QString::fromLatin1(emtask::AuditKindName(emtask::AuditKind(i))))
                          .arg(r.counts[size_t(i)]);
    m_Counts->setText(counts.join(QLatin1Char('\n')));

    QList<QTreeWidgetItem*> rows;
    const size_t shown = std::min(r.findings.size(), size_t(kMaxRows));
    for (size_t i = 0; i < shown; ++i) {
        const emtask::AuditFinding& f = r.findings[i];
        QString detail = Utf8(f.detail);
        if (f.entry >= 0) detail = tr("ledger entry %1: %2").arg(f.entry).arg(detail);
        rows << new QTreeWidgetItem(QStringList{QString::fromLatin1(emtask::AuditKindName(f.kind)),
                                                f.testno ? QString::number(f.testno) : QString(),
                                                Utf8(f.date), Utf8(f.time), Utf8(f.id), Utf8(f.name),
                                                detail});
    }
    if (r.findings.size() > shown)
        rows << new QTreeWidgetItem(
            QStringList{QString(), QString(), QString(), QString(), QString(), QString(),
                        tr("%1 more findings: save as CSV to see them all").arg(r.findings.size() - shown)});
    m_List->addTopLevelItems(rows);
    for (int c = 0; c < 6; ++c) m_List->resizeColumnToContents(c);
    m_Save->setEnabled(true);
}

QString SealAuditDlg::SummaryText() const { return m_Status->text() + QLatin1Char('\n') + m_Counts->text(); }

bool SealAuditDlg::SaveCsv()
{
    if (Running() || m_Result.status != emtask::AuditResult::Done) return false;
    QString chosen = Dialogs().saveFileName(this, tr("Save as CSV"), QString(), tr("CSV Files (*.csv)"));
    if (chosen.isEmpty()) return false;
    chosen = WithDefaultSuffix(chosen, QStringLiteral("csv"));
    emtask::AtomicFileWriter w;
    const std::string csv = emtask::AuditCsv(m_Result);
    if (w.Open(chosen.toStdString()) && w.Write(csv) && w.Commit()) return true;
    const int err = errno;
    ShowMessage(this,
                tr("The findings could not be saved to %1:\n%2").arg(chosen, Utf8(emtask::ErrorText(err))),
                tr("Save as CSV"), QMessageBox::Warning);
    return false;
}

int SealAuditDlg::VerifyCode(const QString& testno, const QString& code)
{
    std::string message;
    const int status = records::VerifyPrintedCode(emtask::ProgramFolder(), testno.trimmed().toStdString(),
                                                  code.toStdString(), message);
    m_CodeResult->setText(Utf8(message));
    m_CodeResult->setStyleSheet(status == 0 ? QStringLiteral("color: #1a7f37;")
                                            : QStringLiteral("color: #c00000;"));
    return status;
}

bool SealAuditDlg::ExportCheckpoint()
{
    const QString title = tr("Export checkpoint");
    QString chosen = Dialogs().saveFileName(this, title, QString(), tr("Checkpoints (*.txt)"));
    if (chosen.isEmpty()) return false;
    chosen = WithDefaultSuffix(chosen, QStringLiteral("txt"));
    emtask::SealCheckpoint cp;
    std::string why;
    if (!emtask::ExportCheckpoint(emtask::SealLedgerPath(), chosen.toStdString(), cp, why)) {
        ShowMessage(this, tr("The checkpoint could not be written to %1:\n%2").arg(chosen, Utf8(why)), title,
                    QMessageBox::Warning);
        return false;
    }
    ShowMessage(this,
                tr("The checkpoint of the seal ledger up to test %1 is in %2.\n\nKeep it away from this "
                   "computer. An audit given it (VelmoraView --audit --checkpoint FILE) fails when "
                   "the program folder was later rolled back or cut short.")
                    .arg(cp.testno)
                    .arg(chosen),
                title);
    return true;
}

bool SealAuditDlg::BeginKeyedLedger()
{
    const QString title = tr("Begin ledger with key sheet");
    if (ShowMessage(
            this,
            tr("A new seal ledger begins with the next test. Its entries are signed with a key that "
               "changes after every test; the first key is written once to a key sheet and never kept "
               "on this computer.\n\nWith the sheet, an audit proves that no earlier entry was "
               "rewritten, even by someone who can change every file here. Print the sheet or copy "
               "it to a medium you keep elsewhere, then delete it from this computer.\n\nThe "
               "current ledger is kept under another name. Continue?"),
            title, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return false;
    QString chosen = Dialogs().saveFileName(this, title, QString(), tr("Key sheets (*.txt)"));
    if (chosen.isEmpty()) return false;
    chosen = WithDefaultSuffix(chosen, QStringLiteral("txt"));
    std::string why, aside;
    emtask::SealKeySheet sheet;
    const int32_t start = records::LogRecordCount(emtask::MeasureLogPath(), why);
    if (start < 0 || !emtask::BeginKeyedLedger(emtask::SealLedgerPath(), start, chosen.toStdString(),
                                               emtask::ProgramFolder(), sheet, aside, why)) {
        ShowMessage(this, tr("No ledger was begun:\n%1").arg(Utf8(why)), title, QMessageBox::Warning);
        return false;
    }
    const QString text = Utf8(emtask::KeySheetText(sheet));
    OPENSSL_cleanse(sheet.k0.data(), sheet.k0.size());
    ShowKeySheet(tr("The sealed ledger begins after test %1. The key sheet is in %2; the code "
                    "below holds the same text, for a phone or a printout.")
                     .arg(start)
                     .arg(chosen),
                 text, title);
    return true;
}

void SealAuditDlg::ShowKeySheet(const QString& intro, const QString& text, const QString& title)
{
    QDialog dlg(this);
    dlg.setWindowTitle(title);
    auto* layout = new QVBoxLayout(&dlg);
    auto* about = new QLabel(intro, &dlg);
    about->setWordWrap(true);
    layout->addWidget(about);
    auto* row = new QHBoxLayout;
    const QImage qr = QrCodeImage(text.toUtf8());
    if (!qr.isNull()) {
        auto* code = new QLabel(&dlg);
        code->setPixmap(QPixmap::fromImage(qr));
        code->setAccessibleName(tr("Key sheet as a QR code"));
        row->addWidget(code);
    }
    auto* sheetText = new QPlainTextEdit(text, &dlg);
    sheetText->setReadOnly(true);
    sheetText->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    sheetText->setMinimumWidth(560);
    row->addWidget(sheetText);
    layout->addLayout(row);
    auto* ok = new QPushButton(tr("OK"), &dlg);
    connect(ok, &QPushButton::clicked, &dlg, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignRight);
    Dialogs().execDialog(&dlg);
}

void SealAuditDlg::closeEvent(QCloseEvent* e)
{
    StopWorker();
    e->accept();
}
