#include "reports/MirrorDlg.h"

#include "DebugLog.h"
#include "EMTaskData.h"
#include "StoreParts.h"
#include "ProgramFolder.h"
#include "controls/Dialogs.h"
#include "controls/GridPrint.h"
#include "FileImage.h"
#include "controls/LimitedEdit.h"
#include "controls/Skin.h"
#include "messaging/WindowOps.h"
#include "reports/ReportEntries.h"
#include "reports/ReportPrint.h"

#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QShowEvent>

namespace {
constexpr int kWidth = 551;
constexpr int kHeight = 854;
constexpr int kTitle = 30;
}  // namespace

MirrorDlg::MirrorDlg(const emtask::SettingsBlock& settings, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      m_Settings(settings)
{
    setObjectName(QStringLiteral("MirrorDlg"));
    setWindowTitle(tr("Print View"));
    setFixedSize(kWidth, kHeight);
    auto* caption = new QLabel(tr("Print View"), this);
    skin::StyleTitle(caption);
    caption->setGeometry(10, 2, 300, 26);
    m_Close = new QPushButton(QStringLiteral("\u2715"), this);
    m_Close->setGeometry(kWidth - 45, 0, 45, kTitle - 1);
    m_Close->setFocusPolicy(Qt::NoFocus);
    skin::StyleTitleClose(m_Close);
    m_Close->setAccessibleName(tr("Close"));
    connect(m_Close, &QPushButton::clicked, this, &MirrorDlg::OnClose);

    for (int i = 0; i < EntryCount; ++i) {
        const int y = 626 + 38 * i;
        const reports::EntryRow row = reports::AddEntryRow(i, this);
        row.label->setFont(skin::Arial(16, true));
        row.label->setStyleSheet(QStringLiteral("color: #303030;"));
        row.label->setGeometry(24, y, 150, 30);
        m_Entries[i] = row.edit;
        m_Entries[i]->setFont(skin::Arial(16));
        m_Entries[i]->setGeometry(180, y, 347, 30);
    }
    m_Apply = reports::FlatButton(tr("Apply"), QRect(24, 788, 118, 42), this);
    m_Clear = reports::FlatButton(tr("Clear"), QRect(152, 788, 118, 42), this);
    m_Print = reports::FlatButton(tr("Print"), QRect(280, 788, 118, 42), this);
    m_SavePdf = reports::FlatButton(tr("Save PDF"), QRect(408, 788, 119, 42), this);
    connect(m_Apply, &QPushButton::clicked, this, &MirrorDlg::OnApply);
    connect(m_Clear, &QPushButton::clicked, this, &MirrorDlg::OnClear);
    connect(m_Print, &QPushButton::clicked, this, &MirrorDlg::OnPrint);
    connect(m_SavePdf, &QPushButton::clicked, this, &MirrorDlg::OnSavePdf);
    connect(this, &MirrorDlg::outputDone, this, &MirrorDlg::OnOutputDone, Qt::QueuedConnection);
    DragWithMouse(this);
}

MirrorDlg::~MirrorDlg()
{
    if (m_Worker.joinable()) m_Worker.join();
}

void MirrorDlg::SetSource(const emtask::DeviceData* records, int testNo, const std::string& photoFolder,
                          Wnd caller, int32_t slot)
{
    m_Data = records;
    m_TestNo = testNo;
    m_Slot = slot;
    m_PhotoFolder = photoFolder;
    m_Caller = caller;
}

void MirrorDlg::Refill() { reports::FillEntries(m_Entries, m_Settings.Get()); }

reports::ReportTexts MirrorDlg::EntryTexts() const
{
    return {m_Entries[Title]->utf8(), m_Entries[Operator]->utf8(), m_Entries[Subject]->utf8(),
            m_Entries[Note]->utf8()};
}

void MirrorDlg::Render()
{
    reports::ReportRequest r;
    r.data = m_Data;
    r.testNo = m_TestNo;
    r.slot = m_Slot;
    r.photoFolder = m_PhotoFolder;
    r.texts = EntryTexts();
    m_Last = reports::RenderReport(r, m_Settings.Get());
    const QSize area = kPreviewArea.size() - QSize(4, 4);
    m_Preview = m_Last.page.scaled(area, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    update();
    // Kept for whoever reads the file; output never reads it back.
    const std::string jpeg = emtask::PrintFormationPath();
    if (!reports::SaveReportJpeg(m_Last.page, jpeg))
        ShowMessage(this,
                    tr("%1 could not be saved: %2.")
                        .arg(QString::fromStdString(jpeg), QString::fromStdString(emtask::LastFileError())),
                    tr("Not saved"), QMessageBox::Warning);
}

void MirrorDlg::OnApply() { Render(); }

void MirrorDlg::OnClear()
{
    for (CLimitedEdit* e : m_Entries) e->clear();
    Render();
}

void MirrorDlg::StartWorker(std::function<QString()> job, const QString& failure, const QString& target,
                            const QString& title)
{
    if (m_Worker.joinable()) return;
    setEnabled(false);
    m_WorkerWhy.clear();
    m_Failure = failure;
    m_FailureTarget = target;
    m_FailureTitle = title;
    m_Worker = std::thread([this, job = std::move(job)] {
        m_WorkerWhy = job();
        emit outputDone(m_WorkerWhy.isEmpty());
    });
}

void MirrorDlg::OnOutputDone(bool ok)
{
    if (m_Worker.joinable()) m_Worker.join();
    setEnabled(true);
    if (!ok) {
        DebugLine(" report not printed: %s", qPrintable(m_WorkerWhy));
        ShowMessage(this, m_Failure.arg(m_FailureTarget, m_WorkerWhy), m_FailureTitle, QMessageBox::Warning);
    }
    emit printFinished(ok);
}

bool MirrorDlg::ShowPrinterChoice()
{
    const bool any = !Dialogs().printerNames().isEmpty();
    const QString how = any ? tr("Prints the report.")
                            : tr("No printer is installed: saves the report as a PDF file instead.");
    m_Print->setToolTip(how);
    m_Print->setAccessibleDescription(how);
    return any;
}

void MirrorDlg::OnPrint()
{
    if (busy()) return;
    if (!ShowPrinterChoice()) {
        OnSavePdf();
        return;
    }
    Render();
    QPrinter* printer = this->printer();
    if (!Dialogs().printDialog(this, printer)) return;
    StartWorker([printer, page = m_Last.page] { return reports::PrintReportPage(*printer, page); },
                tr("The report could not be printed on %1: %2."), PrinterTarget(*printer), tr("Print"));
}

QPrinter* MirrorDlg::printer()
{
    if (!m_Printer) {
        m_Printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_Printer->setDocName(QString::fromLatin1(reports::kPrintDocName));
    }
    return m_Printer.get();
}

void MirrorDlg::OnSavePdf()
{
    if (busy()) return;
    Render();
    QString pdf = Dialogs().saveFileName(this, tr("Save PDF"), QDir::homePath(), tr("PDF File (*.pdf)"));
    if (pdf.isEmpty()) return;
    if (!pdf.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) pdf += QStringLiteral(".pdf");
    // The worker draws from its own copy of the record: the log may change meanwhile.
    const emtask::TestRecord rec = m_Last.record ? *m_Last.record : emtask::TestRecord{};
    StartWorker(
        [o = m_Last, rec, pdf]() mutable {
            if (o.record) o.record = o.content.record = &rec;
            return reports::WriteReportPdf(o, pdf);
        },
        tr("%1 could not be saved: %2."), pdf, tr("Save PDF"));
}

void MirrorDlg::OnClose()
{
    if (busy()) return;  // the window is disabled while its thread runs
    hide();
    EnableWnd(m_Caller, true);
    emit closed();
}

void MirrorDlg::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (e->spontaneous()) return;  // back from minimised: keep what was typed
    // Each showing starts from the stored defaults; painting never refills.
    Refill();
    Render();
    ShowPrinterChoice();
}

void MirrorDlg::closeEvent(QCloseEvent* e)
{
    e->ignore();
    OnClose();
}

void MirrorDlg::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape) {
        OnClose();
        return;
    }
    QWidget::keyPressEvent(e);
}

void MirrorDlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    skin::PaintWindowFrame(p, rect(), kTitle);
    p.fillRect(kPreviewArea, Qt::white);
    p.setPen(QColor(0xa0, 0xa8, 0xb0));
    p.drawRect(kPreviewArea.adjusted(0, 0, -1, -1));
    if (!m_Preview.isNull()) p.drawImage(kPreviewArea.topLeft() + QPoint(2, 2), m_Preview);
}
