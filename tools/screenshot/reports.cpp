// Renders a report, the "Print View" window and the "Print Setting" page into
// PNG files for the documentation.
//   reports_screenshot PAGE.png PRINTVIEW.png PRINTSETTING.png   (program folder: --home DIR)
#include "EMTaskData.h"
#include "StoreImage.h"
#include "ProgramFolder.h"
#include "TextUtil.h"
#include "ProgramFolder.h"
#include "controls/Skin.h"
#include "options/Language.h"
#include "measurement/TestStore.h"
#include "reports/COptionPrintDlg.h"
#include "reports/MirrorDlg.h"

#include <QApplication>
#include <QImage>
#include <cstdio>
#include <cstring>
#include <opencv2/imgproc.hpp>

namespace {
// A stand-in photograph of a subject: a head and shoulders on a wall.
cv::Mat Subject()
{
    cv::Mat m(240, 320, CV_8UC3, cv::Scalar(205, 196, 184));
    cv::ellipse(m, cv::Point(160, 250), cv::Size(110, 70), 0, 180, 360, cv::Scalar(120, 70, 40), cv::FILLED,
                cv::LINE_AA);
    cv::circle(m, cv::Point(160, 120), 52, cv::Scalar(150, 180, 225), cv::FILLED, cv::LINE_AA);
    cv::ellipse(m, cv::Point(160, 92), cv::Size(54, 30), 0, 180, 360, cv::Scalar(40, 50, 60), cv::FILLED,
                cv::LINE_AA);
    return m;
}
}  // namespace

int main(int argc, char** argv)
{
    emtask::InitProgramFolder(argc, argv);
    QApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr,
                     "usage: reports_screenshot [--home DIR] PAGE.png PRINTVIEW.png PRINTSETTING.png\n");
        return 2;
    }
    QApplication::setFont(skin::Arial(14));
    options::InstallLanguage(emtask::ProgramFolder());
    emtask::EMTaskData* m = emtask::GetManager();
    m->StartUp();
    emtask::CopyField(emtask::StoreImage::Settings(*m).operatortext, "Dr. Hana Seo");
    emtask::CopyField(emtask::StoreImage::Settings(*m).subjecttext, "Min-jun Park");
    emtask::CopyField(emtask::StoreImage::Settings(*m).notetext,
                      "Second test after the 20-minute wait; subject cooperative.");
    emtask::TestRecord r{};
    struct tm when { };
    when.tm_year = 126;
    when.tm_mon = 11;
    when.tm_mday = 5;
    when.tm_hour = 18;
    when.tm_min = 30;
    when.tm_sec = 0;
    emtask::StampRecordTime(r, when);
    std::memcpy(r.result, "0.045", 5);
    r.unit[0] = 'B';
    r.mode = '0';
    r.testno = m->NextTestNo();
    emtask::Digest photo{};
    r.crc16 = measurement::SaveTestPhoto(Subject(), r, nullptr, &photo);
    const int32_t slot = m->AppendRecord(r);
    // Stored and sealed as a test is, so the page carries its seal code.
    m->SaveResultData();
    m->SealRecord(slot, &photo);

    int rc = 0;
    MirrorDlg view(emtask::GetManager()->Settings());
    view.SetSource(&emtask::StoreImage::Log(*m), r.testno, emtask::JpegDir(), Wnd::ReadDevice);
    view.show();
    QApplication::processEvents();
    const QImage page = view.lastRendering().page;
    if (!page.scaled(page.size() / 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
             .save(QString::fromLocal8Bit(argv[1])))
        rc = 1;
    if (!view.grab().save(QString::fromLocal8Bit(argv[2]))) rc = 1;
    view.hide();

    COptionPrintDlg setting(emtask::GetManager()->Settings());
    setting.show();
    QApplication::processEvents();
    if (!setting.grab().save(QString::fromLocal8Bit(argv[3]))) rc = 1;
    return rc;
}
