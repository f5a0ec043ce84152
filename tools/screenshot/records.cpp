// Renders the record window over a small log (with photographs, a flow
// error and results above 0), a row clicked, into a PNG for the documentation;
// with a second file, Check all over that log sealed from test 100 on, with
// one record and one photograph changed behind the program's back.
//   records_screenshot RECORDS.png [AUDIT.png]
#include "SealFixture.h"
#include "StoreImage.h"
#include "ProgramFolder.h"
#include "controls/Skin.h"
#include "options/Language.h"
#include "records/CReadDeviceDlg.h"
#include "records/RecordExcel.h"
#include "search/SearchCommand.h"

#include <QApplication>
#include <QTimer>
#include <QTreeWidget>
#include <opencv2/imgcodecs.hpp>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: records_screenshot RECORDS.png\n");
        return 2;
    }
    QApplication::setFont(skin::Arial(14));
    options::InstallLanguage(emtask::ProgramFolder());
    RecordsHome home;
    emtask::EMTaskData* m = emtask::GetManager();
    const char* names[] = {"Kim Minjun", "Lee Seoyeon", "Park Jiho", "Choi Yuna", "Jung Hyun"};
    for (int i = 0; i < 140; ++i) {
        const int no = m->NextTestNo();
        const bool flow = no % 17 == 0;
        char result[8];
        std::snprintf(result, sizeof result, "0.%03d", (no * 37) % 9 == 0 ? (no * 13) % 90 : 0);
        emtask::TestRecord r = MakeRecord(no, no * 7, flow ? "FLOW" : result, flow ? 'F' : '0');
        std::snprintf(r.id, sizeof r.id, "DRV-%04d", 1000 + no % 5);
        std::snprintf(r.name, sizeof r.name, "%s", names[no % 5]);
        r.crc16 = no % 3 != 0 ? measurement::SaveTestPhoto(MakePhoto(no), r) : emtask::PhotoCheckValue({}, r);
        m->AppendRecord(r);
    }
    emtask::StoreImage::Settings(*m).rowsindex = 0;
    // The commands the main window installs, so their buttons show as they do there.
    CReadDeviceDlg w(*emtask::GetManager());
    records::InstallExcelCommand(w);
    QObject::connect(&w, &CReadDeviceDlg::searchRequested, &w, [&w] { search::OpenSearch(w); });
    w.OpenFromMain();
    int rc = 0;
    QTimer::singleShot(800, [&] {
        w.OnRowClicked(1);
        QTimer::singleShot(300, [&] {
            if (!w.grab().save(QString::fromLocal8Bit(argv[1]))) rc = 1;
            if (argc < 3) {
                app.quit();
                return;
            }
            m->SaveResultData();
            emtask::SealEntry start;
            start.flags = emtask::kSealStart;
            start.testno = 100;
            emtask::AppendSeal(emtask::SealLedgerPath(), start);
            for (int32_t slot = 100; slot < 140; ++slot) SealSlot(slot);
            EditRecord(120, [](emtask::TestRecord& r) { r.result[4] = '9'; });
            cv::imwrite(measurement::TestPhotoPath(emtask::StoreImage::Log(*m).m_TestData[130]),
                        MakePhoto(7));
            w.OnCheckAll();
            auto* poll = new QTimer(&app);
            QObject::connect(poll, &QTimer::timeout, [&, poll] {
                if (w.AuditWindow()->Running()) return;
                poll->stop();
                if (!w.AuditWindow()->grab().save(QString::fromLocal8Bit(argv[2]))) rc = 1;
                app.quit();
            });
            poll->start(100);
        });
    });
    app.exec();
    return rc;
}
