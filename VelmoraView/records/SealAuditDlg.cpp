#include "records/SealAuditDlg.h"

#include "FileImage.h"
#include "ProgramFolder.h"
#include "controls/Dialogs.h"
#include "controls/Skin.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cerrno>

namespace {
QString Utf8(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }
}  // namespace

SealAuditDlg::SealAuditDlg(QWidget* owner) : QWidget(owner, Qt::Window)
{
    setWindowTitle(QStringLiteral("Check all"));
    setWindowIcon(skin::AppIcon());
    resize(900, 560);

    m_Status = new QLabel(this);
    m_Status->setWordWrap(true);
    // Records stored before sealing began cannot prove it: whoever checks says
    // up to where they are accepted.
    m_AcceptBefore = new QSpinBox(this);
    m_AcceptBefore->setRange(0, emtask::kMaxRecords + 1);
    m_AcceptBefore->setSpecialValueText(QStringLiteral("none"));
    m_AcceptBefore->setAccessibleName(QStringLiteral("Accept unsealed tests below"));
    auto* acceptLabel = new QLabel(QStringLiteral("Accept unsealed tests below test number:"), this);
    acceptLabel->setBuddy(m_AcceptBefore);
    auto* check = new QPushButton(QStringLiteral("Check again"), this);
    connect(check, &QPushButton::clicked, this, &SealAuditDlg::Start);
    m_Bar = new QProgressBar(this);
    m_Bar->setRange(0, 1000);
    m_Counts = new QLabel(this);
    m_Counts->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_List = new QTreeWidget(this);
    m_List->setRootIsDecorated(false);
    m_List->setUniformRowHeights(true);
    m_List->setHeaderLabels({QStringLiteral("Category"), QStringLiteral("Test No."), QStringLiteral("Date"),
                             QStringLiteral("Time"), QStringLiteral("ID"), QStringLiteral("Name"),
                             QStringLiteral("Detail")});
    m_List->header()->setStretchLastSection(true);
    m_List->setAccessibleName(QStringLiteral("Findings"));

    m_Cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_Save = new QPushButton(QStringLiteral("Save as CSV"), this);
    m_Close = new QPushButton(QStringLiteral("Close"), this);
    m_Save->setEnabled(false);
    connect(m_Cancel, &QPushButton::clicked, this, &SealAuditDlg::Cancel);
    connect(m_Save, &QPushButton::clicked, this, [this] { SaveCsv(); });
    connect(m_Close, &QPushButton::clicked, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
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
    layout->addLayout(buttons);

    m_Poll.setInterval(100);
    connect(&m_Poll, &QTimer::timeout, this, &SealAuditDlg::Poll);
}

SealAuditDlg::~SealAuditDlg() { StopWorker(); }

void SealAuditDlg::Start()
{
    if (Running()) return;
    m_CancelFlag = false;
    m_Finished = false;
    m_Done = 0;
    m_Total = 0;
    m_Result = {};
    m_List->clear();
    m_Counts->clear();
    m_Bar->setValue(0);
    m_Status->setText(
        QStringLiteral("Checking every record and photograph of the test log against the seal ledger..."));
    m_Cancel->setEnabled(true);
    m_Save->setEnabled(false);
    emtask::AuditOptions options;
    options.cancel = &m_CancelFlag;
    options.done = &m_Done;
    options.total = &m_Total;
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
    m_Cancel->setEnabled(false);
    const emtask::AuditResult& r = m_Result;
    switch (r.status) {
    case emtask::AuditResult::Cancelled: m_Status->setText(QStringLiteral("Cancelled.")); return;
    case emtask::AuditResult::LogUnreadable:
    case emtask::AuditResult::LedgerUnreadable:
        m_Status->setText(QStringLiteral("Cannot read %1").arg(Utf8(r.error)));
        return;
    case emtask::AuditResult::Failed:
        m_Status->setText(QStringLiteral("The check failed: %1").arg(Utf8(r.error)));
        return;
    case emtask::AuditResult::Done: break;
    }
    m_Bar->setValue(m_Bar->maximum());
    m_Status->setText(r.Clean() ? QStringLiteral("Everything verifies.")
                                : QStringLiteral("Not everything verifies."));
    m_Status->setStyleSheet(r.Clean() ? QStringLiteral("color: #1a7f37;")
                                      : QStringLiteral("color: #c00000;"));

    // The totals on one line, then a line per category that has findings.
    QStringList counts{
        QStringLiteral("Records: %1, ledger entries: %2, verified: %3, not sealed (CRC only): %4")
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
        if (f.entry >= 0) detail = QStringLiteral("ledger entry %1: %2").arg(f.entry).arg(detail);
        rows << new QTreeWidgetItem(QStringList{QString::fromLatin1(emtask::AuditKindName(f.kind)),
                                                f.testno ? QString::number(f.testno) : QString(),
                                                Utf8(f.date), Utf8(f.time), Utf8(f.id), Utf8(f.name),
                                                detail});
    }
    if (r.findings.size() > shown)
        rows << new QTreeWidgetItem(QStringList{
            QString(), QString(), QString(), QString(), QString(), QString(),
            QStringLiteral("%1 more findings: save as CSV to see them all").arg(r.findings.size() - shown)});
    m_List->addTopLevelItems(rows);
    for (int c = 0; c < 6; ++c) m_List->resizeColumnToContents(c);
    m_Save->setEnabled(true);
}

QString SealAuditDlg::SummaryText() const { return m_Status->text() + QLatin1Char('\n') + m_Counts->text(); }

bool SealAuditDlg::SaveCsv()
{
    if (Running() || m_Result.status != emtask::AuditResult::Done) return false;
    QString chosen = Dialogs().saveFileName(this, QStringLiteral("Save as CSV"), QString(),
                                            QStringLiteral("CSV Files (*.csv)"));
    if (chosen.isEmpty()) return false;
    chosen = WithDefaultSuffix(chosen, QStringLiteral("csv"));
    emtask::AtomicFileWriter w;
    const std::string csv = emtask::AuditCsv(m_Result);
    if (w.Open(chosen.toStdString()) && w.Write(csv) && w.Commit()) return true;
    const int err = errno;
    ShowMessage(this,
                QStringLiteral("The findings could not be saved to %1:\n%2")
                    .arg(chosen, Utf8(emtask::ErrorText(err))),
                QStringLiteral("Save as CSV"), QMessageBox::Warning);
    return false;
}

void SealAuditDlg::closeEvent(QCloseEvent* e)
{
    StopWorker();
    e->accept();
}
