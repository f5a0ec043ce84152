#include "records/RecordExcel.h"

#include "DebugLog.h"
#include "EMTaskData.h"
#include "controls/CLoadDataDlg.h"
#include "controls/CProgressBar.h"
#include "controls/Dialogs.h"
#include "messaging/StoreNotices.h"
#include "records/CReadDeviceDlg.h"
#include "records/RecordWorkbook.h"

#include <QCloseEvent>
#include <QFile>
#include <chrono>

namespace records {

void InstallExcelCommand(CReadDeviceDlg& window)
{
    QObject::connect(&window, &CReadDeviceDlg::excelRequested, &window, [&window] {
        auto* excel = window.findChild<RecordExcel*>(QString(), Qt::FindDirectChildrenOnly);
        if (!excel) excel = new RecordExcel(window);
        excel->OnExcel();
    });
}

RecordExcel::RecordExcel(CReadDeviceDlg& window) : QObject(&window), m_Window(window)
{
    m_Window.installEventFilter(this);
    connect(
        this, &RecordExcel::progressed, this,
        [this](int written) { m_Window.ProgressWindow()->Bar()->SetPos(written); }, Qt::QueuedConnection);
    connect(this, &RecordExcel::finished, this, &RecordExcel::Finished, Qt::QueuedConnection);
}

RecordExcel::~RecordExcel()
{
    if (m_Thread.joinable()) m_Thread.join();
}

void RecordExcel::OnExcel()
{
    if (Running()) return;
    const QString chosen = Dialogs().saveFileName(&m_Window, tr("Excel"), QString(), kExcelFileFilter);
    if (chosen.isEmpty()) return;
    Start(WithDefaultSuffix(chosen, QStringLiteral("xlsx")));
}

void RecordExcel::Start(const QString& path)
{
    m_Path = path;
    DebugLine("szFilePath : %s", path.toLocal8Bit().constData());
    emtask::EMTaskData* store = &m_Window.Store();
    const int count = store->Log().Count();
    const int order = store->Settings().Get().dateorder;
    m_Window.setEnabled(false);
    if (count > 0) {
        ProgressTextInfo info;
        info.phase = ProgressPhase::Workbook;
        info.total = count;
        m_Window.ProgressWindow()->Bar()->SetTextInfo(info);
        m_Window.ProgressWindow()->Start(count, &m_Window);
    }
    const std::string target = QFile::encodeName(path).toStdString();
    // The worker reads m_DeviceData while the window is disabled (Open and
    // Close, which replace it, cannot run) and reports only by its signals.
    m_Thread = std::thread([this, store, order, target] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        const WorkbookExportResult r = ExportWorkbooks(store->Log().Records(), order, target,
                                                       [this](int written) { emit progressed(written); });
        emit finished(r.failed, QString::fromStdString(r.detail));
    });
}

void RecordExcel::Finished(int failedWorkbook, const QString& why)
{
    if (m_Thread.joinable()) m_Thread.join();
    m_Window.ProgressWindow()->hide();
    m_Window.ProgressWindow()->Bar()->SetTextInfo(ProgressTextInfo{});
    m_Window.setEnabled(true);
    if (failedWorkbook != 0) {
        DebugLine("SaveXlsx failed at workbook %d : %s", failedWorkbook, m_Path.toLocal8Bit().constData());
        const std::string file =
            WorkbookTargetOf(QFile::encodeName(m_Path).toStdString()).PathOf(failedWorkbook);
        ReportFileNotSaved(&m_Window, tr("해당 파일을 저장할 수 없습니다. "), tr("처리오류"),
                           QFile::decodeName(file.c_str()), why);
    }
}

bool RecordExcel::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == &m_Window && e->type() == QEvent::Close && Running()) {
        e->ignore();
        return true;
    }
    return QObject::eventFilter(watched, e);
}

}  // namespace records
