#include "../shell/ShellFixture.h"
#include "StoreImage.h"
#include "PhotoCheck.h"
#include "SealLedger.h"
#include "ReportTestUtil.h"
#include "FileImage.h"
#include "controls/Dialogs.h"
#include "controls/LimitedEdit.h"
#include "reports/COptionPrintDlg.h"
#include "reports/MirrorDlg.h"
#include "reports/ReportPage.h"
#include "reports/ReportPreview.h"
#include "reports/ReportPrint.h"

#include <QPageLayout>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>
#include <climits>
#include <fcntl.h>
#include <filesystem>
#include <opencv2/imgcodecs.hpp>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace reports;

namespace {
const QColor kRed(255, 0, 0), kGreen(0, 255, 0), kWhite(255, 255, 255);

const char* kWrongForm = "Wrong print form setting.\nPlease check the print setting.";

emtask::BusInfo& Bus() { return emtask::StoreImage::Settings(*emtask::GetManager()); }

bool AllZero(const char* p, size_t n)
{
    return std::all_of(p, p + n, [](char c) { return c == 0; });
}

ReportOutcome Render(int testNo)
{
    ReportRequest r;
    r.data = &emtask::StoreImage::Log(*emtask::GetManager());
    r.testNo = testNo;
    r.photoFolder = emtask::JpegDir();
    r.texts = FormTexts(Bus());
    return RenderReport(r, Bus());
}

}  // namespace

class TestReports : public QObject {
    Q_OBJECT
    std::unique_ptr<TestFolder> folder;
    std::unique_ptr<ReportPreview> preview;

private slots:
    void init()
    {
        folder = std::make_unique<TestFolder>();
        emtask::GetManager()->StartUp();
        Bus().reportbg = kBgBlank;  // only the drawn elements
        preview = std::make_unique<ReportPreview>(emtask::GetManager()->Settings());
    }
    void cleanup()
    {
        preview.reset();
        folder.reset();
    }

    void photographIsFramedAndFittedWhateverItsSize()
    {
        AddRecord(Solid(320, 240, 0, 0, 255));  // red, test 1
        AddRecord(Solid(640, 480, 0, 255, 0));  // green, test 2
        ReportOutcome a = Render(1);
        QVERIFY(a.photo.passes);
        QVERIFY(AllNear(a.page, {{716, 438}, {1088, 758}}, kRed));
        // A 640 x 480 photograph takes the same box, not the page.
        const QImage q = Render(2).page;
        QVERIFY(AllNear(q, {{716, 438}, {1088, 758}}, kGreen));
        QVERIFY(AllNear(q, {{1092, 600}, {1150, 900}}, kWhite, 0));
    }

    void photographCheckAndLookup()
    {
        emtask::TestRecord* r = emtask::StoreImage::Log(*emtask::GetManager()).m_TestData;
        // An edited photograph is left out.
        AddRecord(Solid(320, 240, 0, 0, 255));
        const std::string path1 = measurement::TestPhotoPath(r[0]);
        cv::Mat edited = cv::imread(path1);
        edited.at<cv::Vec3b>(50, 100) = cv::Vec3b(255, 255, 255);
        cv::imwrite(path1, edited);
        ReportOutcome o = Render(1);
        QCOMPARE(o.photo.path, path1);
        QVERIFY(o.photo.decoded && !o.photo.passes);
        QVERIFY(AllNear(o.page, {{800, 560}}, kWhite, 0));

        // No photograph stored: a file put there later does not pass.
        AddRecord(cv::Mat());
        cv::imwrite(measurement::TestPhotoPath(r[1]), Solid(320, 240, 90, 90, 90));
        QVERIFY(!Render(2).photo.passes);

        // Absent at the exact path: found below the folder whatever its case.
        AddRecord(Solid(320, 240, 255, 0, 0));
        const std::string name = emtask::PhotoFileName(r[2]);
        const std::string moved = emtask::JpegDir() + "/old/2024/" +
                                  QString::fromStdString(name).toUpper().toStdString();
        fs::create_directories(fs::path(moved).parent_path());
        fs::rename(measurement::TestPhotoPath(r[2]), moved);
        QCOMPARE(FindPhotograph(emtask::JpegDir(), name), moved);
        QVERIFY(Render(3).photo.passes);

        // Date fields that would make the name a path find nothing.
        AddRecord(cv::Mat());
        std::memcpy(r[3].m_Tyy, "../x", 4);
        const std::string odd = emtask::JpegDir() + "/" +
                                emtask::PhotoFileName(r[3]);  // .../00000004-../x0307...
        fs::create_directories(fs::path(odd).parent_path());
        cv::imwrite(odd, Solid(320, 240, 0, 0, 0));
        QVERIFY(Render(4).photo.path.empty());
    }

    void sealCodeAndPhotographOnlyWhileBothAreAsSealed()
    {
        const cv::Mat red = Solid(320, 240, 0, 0, 255);
        emtask::CopyField(Bus().subjectid, "S-0042");
        emtask::CopyField(Bus().subjectname, "Kim & Lee");
        for (int i = 0; i < 4; ++i) {
            struct tm t { };
            t.tm_year = 124, t.tm_mon = 2, t.tm_mday = 7, t.tm_hour = 14, t.tm_sec = i;
            measurement::FlowDataSave(*emtask::GetManager(), false, "0.045", i == 2 ? cv::Mat() : red, t);
        }
        const emtask::TestRecord* r = emtask::StoreImage::Log(*emtask::GetManager()).m_TestData;
        // Test 2 repainted away from the 35 sampled pixels; test 3, sealed
        // without one, given a black photograph; test 4's removed. The check
        // values of 2 and 3 still pass: only the ledger tells.
        cv::Mat repainted = cv::imread(measurement::TestPhotoPath(r[1]));
        repainted(cv::Rect(16, 16, 16, 16)).setTo(cv::Scalar(255, 255, 255));
        cv::imwrite(measurement::TestPhotoPath(r[1]), repainted);
        cv::imwrite(measurement::TestPhotoPath(r[2]), Solid(320, 240, 0, 0, 0));
        fs::remove(measurement::TestPhotoPath(r[3]));
        for (int t : {2, 3}) QVERIFY(CheckReportPhoto(r[t - 1], emtask::JpegDir()).passes);

        emtask::SealEntry e;
        QVERIFY(emtask::FindSealEntry(emtask::SealLedgerPath(), 1, e));
        ReportOutcome o = Render(1);
        QVERIFY(o.photo.passes && AllNear(o.page, {{800, 560}}, kRed));
        emtask::SealEntry head;
        QVERIFY(emtask::LastSealEntry(emtask::SealLedgerPath(), head));
        QCOMPARE(o.seal, "Seal 1:" + emtask::SealCode(e) + "\nLog " + std::to_string(head.testno) + ":" +
                             emtask::SealCode(head));
        // Its PDF: the page's texts as text, the subject and the seal code in
        // the document information.
        o.content.texts = {"Roadside check", "Officer Park", "Driver", "Retest in 20 minutes"};
        const QString pdf = QString::fromStdString(folder->path + "/sealed.pdf");
        QCOMPARE(WriteReportPdf(o, pdf), QString());
        const QString text = ToolOutput("pdftotext", {pdf, "-"}).simplified();
        for (const QString& t :
             QStringList{"Roadside check", "Officer Park", "Driver", "Retest in 20 minutes", "0.045",
                         "Seal 1:" + QString::fromStdString(emtask::SealCode(e))})
            QVERIFY2(text.contains(t), qPrintable(t + " in " + text));
        QVERIFY(ToolOutput("pdfinfo", {pdf}).contains(QRegularExpression("Title: +ZOLT7 test report 1\n")));
        const QString xmp = ToolOutput("pdfinfo", {"-meta", pdf});
        QVERIFY2(xmp.contains("S-0042 Kim &amp; Lee</rdf:li>") &&
                     xmp.contains("<pdf:Keywords>" + QString::fromStdString(emtask::SealCode(e)) + "<"),
                 qPrintable(xmp));
        for (int t : {2, 3, 4}) {
            o = Render(t);
            QVERIFY2(!o.photo.passes && o.seal.empty(), qPrintable(QString::number(t)));
            QVERIFY(AllNear(o.page, {{800, 560}}, kWhite, 0));
        }
    }

    void recordLookupNeverLeavesTheSlotsInUse()
    {
        emtask::DeviceData& d = emtask::StoreImage::Log(*emtask::GetManager());
        for (int i = 0; i < 3; ++i) AddRecord(cv::Mat());
        // An archive's numbers need not be slot + 1; the first match wins.
        d.m_TestData[0].testno = 20;
        d.m_TestData[1].testno = 30;
        d.m_TestData[2].testno = 20;
        QCOMPARE(FindReportRecord(d, 20), &d.m_TestData[0]);
        QCOMPARE(FindReportRecord(d, 3), &d.m_TestData[2]);  // no match: slot t - 1
        for (int t : {0, -1, 4, 999999, 1000001, INT_MAX, INT_MIN})
            QVERIFY2(FindReportRecord(d, t) == nullptr, qPrintable(QString::number(t)));
        // A count from elsewhere is clamped to the slots that exist.
        d.datacnt = INT_MAX;
        QVERIFY(FindReportRecord(d, 1000001) == nullptr);
        QCOMPARE(FindReportRecord(d, 1000000), &d.m_TestData[999999]);
        d.datacnt = 3;

        // No record: the page is drawn without record values.
        ReportOutcome o = Render(77);
        QVERIFY(o.record == nullptr);
        QCOMPARE(o.page.size(), QSize(kPageWidth, kPageHeight));
    }

    void backgrounds()
    {
        const QImage blank = LoadBackground(kBgBlank, "");
        QVERIFY(LoadBackground(kBgDefault, "") != blank);

        const std::string custom = folder->path + "/bg.jpg";
        cv::imwrite(custom, Solid(602, 877, 255, 0, 0));
        // Undecodable or missing: the Blank page.
        WriteBytes(folder->path + "/junk.jpg", "not a picture", 13);
        // A FIFO (found by its name in another case, too) would stall the window;
        // a header claiming 30,000 x 30,000 pixels would take gigabytes.
        QCOMPARE(mkfifo((folder->path + "/fifo.jpg").c_str(), 0644), 0);
        std::vector<unsigned char> huge;
        cv::imencode(".jpg", Solid(16, 16, 0, 0, 0), huge);
        ClaimJpegSize(huge, 30000, 30000);
        WriteBytes(folder->path + "/huge.jpg", huge.data(), huge.size());
        alarm(20);
        for (const char* bad : {"/junk.jpg", "/gone.jpg", "/fifo.jpg", "/FIFO.JPG", "/huge.jpg"})
            QCOMPARE(LoadBackground(kBgCustom, folder->path + bad), blank);
        alarm(0);
        // A custom image is scaled to the whole page.
        QVERIFY(AllNear(LoadBackground(kBgCustom, custom), {{5, 5}, {1198, 1748}}, QColor(0, 0, 255)));
    }

    void savedPageReplacesTheOldOneWholeAndPrintsAsItIs()
    {
        AddRecord(Solid(320, 240, 0, 0, 255));
        const std::string path = emtask::PrintFormationPath();
        QVERIFY(SaveReportJpeg(Render(1).page, path));  // conf exists; the folder is made if not
        const std::vector<char> first = ReadBytes(path);

        // A print that opened the old page still reads all of it.
        const int fd = ::open(path.c_str(), O_RDONLY);
        QVERIFY(fd >= 0);
        Bus().reportbg = kBgDefault;
        QVERIFY(SaveReportJpeg(Render(1).page, path));
        std::vector<char> old(first.size() + 16);
        ssize_t n = ::pread(fd, old.data(), old.size(), 0);
        ::close(fd);
        QCOMPARE(n, ssize_t(first.size()));
        QVERIFY(std::equal(first.begin(), first.end(), old.begin()));
        QVERIFY(ReadBytes(path) != first);
        for (const auto& e : fs::directory_iterator(emtask::ConfDir()))
            QVERIFY2(e.path().filename() == "printformation.jpg" || e.path().filename() == "config.conf",
                     e.path().c_str());
        const QImage saved(QString::fromStdString(path));

        // The image fills the printable area; the margins stay white.
        const QString pdf = QString::fromStdString(folder->path + "/print.pdf");
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageMargins(QMarginsF(12, 20, 12, 20), QPageLayout::Millimeter);
        QCOMPARE(PrintReportPage(printer, saved), QString());
        QCOMPARE(PdfPages(pdf), 1);
        const int dpi = 40;
        const QImage picture = PdfPicture(pdf, dpi);
        const QRectF area = printer.pageLayout().paintRect(QPageLayout::Point);
        const QRect crop(qRound(area.x() * dpi / 72), qRound(area.y() * dpi / 72),
                         qRound(area.width() * dpi / 72), qRound(area.height() * dpi / 72));
        QVERIFY(MeanDifference(picture.copy(crop), saved) < 10);
        QVERIFY(AllNear(picture, {{crop.left() / 2, picture.height() / 2}}, kWhite, 4));

        // The PDF file, drawn again from the same content: the same layout over the whole sheet.
        const QString pdf2 = QString::fromStdString(folder->path + "/saved.pdf");
        ReportOutcome o = Render(1);
        o.content.texts = {"Roadside check", "Officer Park", "Driver", "Retest in 20 minutes"};
        o.page = DrawReportPage(o.content);
        QCOMPARE(WriteReportPdf(o, pdf2), QString());
        QCOMPARE(PdfPages(pdf2), 1);
        // Nearer the page than the same page without its texts is.
        const QImage vector = PdfPicture(pdf2, 100);
        const double near = MeanDifference(vector, o.page);
        o.content.texts = {};
        QVERIFY2(near < 0.8 * MeanDifference(vector, DrawReportPage(o.content)),
                 qPrintable(QString::number(near)));
    }

    void previewKeepsItsCallerDisabledAndTypedTextsUntilClosed()
    {
        AddRecord(Solid(320, 240, 0, 0, 255));
        Recorder records(Wnd::ReadDevice);  // the caller, as the registered window it is
        int told = 0;
        preview->Open(1, emtask::GetManager()->Log().Records(), emtask::JpegDir(), Wnd::ReadDevice, -1,
                      [&told] { ++told; });
        MirrorDlg* view = preview->Window();
        QSignalSpy closed(view, &MirrorDlg::closed);
        QVERIFY(view->isVisible() && view->isEnabled() && !records.isEnabled());

        // Typing survives repainting; Apply renders it into the saved page.
        view->entry(MirrorDlg::Note)->clear();
        TypeText(view->entry(MirrorDlg::Note), "Retest in 20 minutes");
        view->repaint();
        QCoreApplication::processEvents();
        QCOMPARE(view->entry(MirrorDlg::Note)->text(), QString("Retest in 20 minutes"));
        const std::vector<char> before = ReadBytes(emtask::PrintFormationPath());
        view->applyButton()->click();
        QVERIFY(ReadBytes(emtask::PrintFormationPath()) != before);
        view->closeButton()->click();
        QVERIFY(!view->isVisible() && records.isEnabled());
        QCOMPARE(closed.size(), 1);
        QCOMPARE(told, 1);

        // The next showing starts from the stored texts, not from what was typed.
        preview->Open(5, emtask::GetManager()->Log().Records(), emtask::JpegDir(), Wnd::ReadDevice);
        QCOMPARE(preview->Window(), view);
        QCOMPARE(view->entry(MirrorDlg::Note)->text(), QString());

        // Save PDF, written by the window's thread: ".pdf" added to the chosen name.
        ScriptedDialogs dialogs;
        QSignalSpy done(view, &MirrorDlg::printFinished);
        dialogs.fileAnswers = {QString::fromStdString(folder->path + "/out/report")};
        view->savePdfButton()->click();
        QVERIFY(done.wait(20000));
        QCOMPARE(done.at(0).at(0).toBool(), true);
        QCOMPARE(PdfPages(QString::fromStdString(folder->path + "/out/report.pdf")), 1);
        view->close();
        QTRY_VERIFY(records.isEnabled());
        QCOMPARE(closed.size(), 2);
        QCOMPARE(told, 1);  // the first opening's caller is not told of a later one
    }

    void printAndPdfAreThePageShownAndTheirFailuresAreSaid()
    {
        AddRecord(Solid(320, 240, 0, 0, 255));  // red
        AddRecord(Solid(320, 240, 0, 255, 0));  // green
        ScriptedDialogs dialogs;
        preview->Open(1, emtask::GetManager()->Log().Records(), emtask::JpegDir(), Wnd::ReadDevice);
        MirrorDlg* view = preview->Window();
        // The page file cannot be written for test 2 (a full disk): said, and
        // test 1's page left in it is never output.
        emtask::iofault::Arm(1, ENOSPC, emtask::iofault::kWriteSide, true);
        preview->Open(2, emtask::GetManager()->Log().Records(), emtask::JpegDir(), Wnd::ReadDevice);
        emtask::iofault::Disarm();
        QVERIFY(dialogs.messages().size() == 1 &&
                dialogs.messages()[0].contains("printformation.jpg could not be saved"));

        QSignalSpy done(view, &MirrorDlg::printFinished);
        const QString printed = QString::fromStdString(folder->path + "/printed.pdf");
        const QString saved = QString::fromStdString(folder->path + "/saved.pdf");
        auto output = [&](const QString& printTo, const QString& saveTo) {
            view->printer()->setOutputFormat(QPrinter::PdfFormat);
            view->printer()->setOutputFileName(printTo);
            dialogs.printAnswers = {true};
            view->printButton()->click();
            QVERIFY(done.wait(20000));
            dialogs.fileAnswers = {saveTo};
            view->savePdfButton()->click();
            QVERIFY(done.wait(20000));
        };
        // Both take the entries as typed, Apply or not: a print of the page
        // as it was before the typing differs from the one after.
        const QString before = QString::fromStdString(folder->path + "/before.pdf");
        output(before, saved);
        TypeText(view->entry(MirrorDlg::Note), "Typed only");
        output(printed, saved);
        QCOMPARE(dialogs.messages().size(), 1);
        QVERIFY(PdfPicture(printed, 40) != PdfPicture(before, 40));
        for (const QString& pdf : {printed, saved}) {
            const QImage picture = PdfPicture(pdf, 40);
            const QPoint photo(picture.width() * 900 / kPageWidth, picture.height() * 600 / kPageHeight);
            QVERIFY2(AllNear(picture, {photo}, kGreen, 60), qPrintable(pdf));
        }
        QVERIFY(ToolOutput("pdftotext", {saved, "-"}).contains("Typed only"));

        // No printer installed: Print says it saves a PDF, and does.
        dialogs.printers.clear();
        view->entry(MirrorDlg::Note)->clear();
        TypeText(view->entry(MirrorDlg::Note), "No printer");
        dialogs.fileAnswers = {saved};
        view->printButton()->click();
        QVERIFY(done.wait(20000));
        QVERIFY(view->printButton()->accessibleDescription().contains("PDF"));
        QVERIFY(ToolOutput("pdftotext", {saved, "-"}).contains("No printer"));
        dialogs.printers = {"Scripted printer"};

        // A print that cannot start and a PDF with a folder in its way: said, naming the file.
        fs::create_directories(folder->path + "/taken.pdf");
        output(QString::fromStdString(folder->path + "/no/such/printed.pdf"),
               QString::fromStdString(folder->path + "/taken.pdf"));
        const QStringList said = dialogs.messages().mid(1);
        QCOMPARE(said.size(), 2);
        QVERIFY2(said[0].contains("no/such/printed.pdf: the print job could not start"), qPrintable(said[0]));
        QVERIFY2(said[1].contains("taken.pdf could not be saved: ") && said[1].contains("directory"),
                 qPrintable(said[1]));
    }

    void wideTitlesFitThePage()
    {
        // Ink in the title's band (above the first heading) between x0 and x1.
        auto ink = [](const QImage& page, int x0, int x1) {
            for (int y = 206; y < 330; ++y)
                for (int x = x0; x < x1; ++x)
                    if (page.pixel(x, y) != qRgb(255, 255, 255)) return true;
            return false;
        };
        for (const QString& wide : {QString(15, 'W'), QString(15, QChar(0xD55C))}) {
            PageContent c;
            c.texts.title = wide.toStdString();
            const QImage page = DrawReportPage(c);
            QVERIFY(ink(page, 90, kPageWidth - 90));
            QVERIFY2(!ink(page, 0, 80) && !ink(page, kPageWidth - 80, kPageWidth), qPrintable(wide));
        }
    }

    void pageStoresEntriesAndABackgroundOnlyWhenApplied()
    {
        Bus().reportbg = kBgDefault;
        ScriptedDialogs dialogs;
        COptionPrintDlg page(emtask::GetManager()->Settings());
        page.show();
        // The entries count characters: 60 Hangul are typed whole (a 61st is
        // refused), and stored cut to whole ones at 126 bytes, which is said.
        CLimitedEdit* note = page.entry(COptionPrintDlg::Note);
        note->clear();
        TypeText(note, QString(61, QChar(0xD55C)));
        QCOMPARE(note->text(), QString(60, QChar(0xD55C)));
        QCOMPARE(emtask::FieldText(StoredBus().notetext), std::string());
        page.applyEntriesButton()->click();
        QCOMPARE(dialogs.messages(), QStringList{"Complete.\nShortened to fit the settings: Note."});
        QCOMPARE(emtask::FieldText(StoredBus().notetext), QString(42, QChar(0xD55C)).toStdString());
        QCOMPARE(note->text(), QString(42, QChar(0xD55C)));
        dialogs.shown.clear();

        // Custom without an image: refused by either Apply, back to Default.
        for (QPushButton* apply : {page.applyBackgroundButton(), page.applyEntriesButton()}) {
            page.choice(kBgCustom)->click();
            apply->click();
            QCOMPARE(dialogs.messages(), QStringList{kWrongForm});
            QCOMPARE(StoredBus().reportbg, int(kBgDefault));
            QVERIFY(page.choice(kBgDefault)->isChecked());
            dialogs.shown.clear();
        }

        const std::string image = folder->path + "/Letterhead.jpg";
        cv::imwrite(image, Solid(602, 877, 255, 0, 0));
        page.choice(kBgCustom)->click();
        dialogs.fileAnswers = {QString::fromStdString(image)};
        page.browseButton()->click();
        QVERIFY(AllNear(page.previewPage(), {{5, 5}}, QColor(0, 0, 255)));  // the preview has it already
        page.applyBackgroundButton()->click();
        QCOMPARE(dialogs.messages(), QStringList{"Complete."});
        QCOMPARE(StoredBus().reportbg, int(kBgCustom));
        QCOMPARE(emtask::FieldText(StoredBus().bgpath), image);

        // Blank clears the stored path, all of it.
        page.choice(kBgBlank)->click();
        page.applyBackgroundButton()->click();
        QCOMPARE(dialogs.messages().back(), QString("Complete."));
        QCOMPARE(StoredBus().reportbg, int(kBgBlank));
        QVERIFY(AllZero(StoredBus().bgpath, sizeof StoredBus().bgpath));

        // A stored image that is gone: Default again, the rest of the block kept.
        fs::remove(image);
        Bus().reportbg = kBgCustom;
        emtask::CopyField(Bus().bgpath, image);
        Bus().dateorder = 1;
        page.hide();
        page.show();
        QCOMPARE(StoredBus().reportbg, int(kBgDefault));
        QVERIFY(AllZero(StoredBus().bgpath, sizeof StoredBus().bgpath));
        QCOMPARE(StoredBus().dateorder, 1);

        // Saves that fail (a full disk) are said, by each Apply and by that reset.
        dialogs.shown.clear();
        Bus().reportbg = kBgCustom;
        emtask::CopyField(Bus().bgpath, image);
        emtask::iofault::Arm(1, ENOSPC, emtask::iofault::kWriteSide, true);
        page.hide();
        page.show();
        page.applyBackgroundButton()->click();
        page.applyEntriesButton()->click();
        emtask::iofault::Disarm();
        const QStringList said = dialogs.messages();
        QCOMPARE(said.size(), 3);
        for (const QString& m : said)
            QVERIFY2(m.startsWith("The settings could not be saved: "), qPrintable(m));
    }
};

QTEST_MAIN(TestReports)
#include "tst_reports.moc"
