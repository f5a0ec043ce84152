#include "../shell/ShellFixture.h"
#include "ReportTestUtil.h"
#include "WindowRecorder.h"
#include "records/CReadDeviceDlg.h"
#include "records/RecordGrid.h"
#include "controls/Dialogs.h"
#include "controls/LimitedEdit.h"
#include "messaging/Messages.h"
#include "reports/COptionPrintDlg.h"
#include "reports/MirrorDlg.h"
#include "reports/ReportPreview.h"

#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>
#include <filesystem>
#include <opencv2/imgcodecs.hpp>

namespace fs = std::filesystem;
using namespace reports;

namespace {
const char* kWrongForm = "Wrong print form setting.\nPlease check the print setting.";

emtask::BusInfo& Bus() { return emtask::GetManager()->m_BusInfo; }

emtask::BusInfo StoredBus()
{
    emtask::BusInfo b{};
    std::vector<char> bytes = ReadBytes(emtask::ConfigPath());
    if (bytes.size() == sizeof b) std::memcpy(&b, bytes.data(), sizeof b);
    return b;
}

bool AllZero(const char* p, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        if (p[i]) return false;
    return true;
}
}  // namespace

class TestReportWindows : public QObject {
    Q_OBJECT
    std::unique_ptr<TestFolder> folder;

private slots:
    void init()
    {
        folder = std::make_unique<TestFolder>();
        emtask::GetManager()->StartUp();
    }
    void cleanup()
    {
        DestroyReportPreview();
        folder.reset();
    }

    void doubleClickedRowOpensItsPreviewWhichGivesControlBack()
    {
        emtask::EMTaskData* store = emtask::GetManager();
        AddRecord(cv::Mat());
        AddRecord(Solid(320, 240, 0, 0, 255));
        AddRecord(cv::Mat());
        emtask::CopyField(Bus().operatortext, "Dr. Seo");
        store->SaveResultData();
        store->SaveSetting();
        auto main = MakeMainWindow();
        CReadDeviceDlg* records = main->recordWindow();
        main->OnCommand(msg::MAIN_LOAD_BTN);
        QTRY_VERIFY_WITH_TIMEOUT(!records->Busy() && records->Model()->rowCount() == 3, 10000);
        // Newest first: the second row is test 2, the one with a photograph.
        emit records->Grid()->doubleClicked(records->Model()->index(1, 0));
        QTRY_VERIFY(ReportPreviewWindow() && ReportPreviewWindow()->isVisible());
        MirrorDlg* view = ReportPreviewWindow();
        QCOMPARE(view->lastRendering().record->testno, 2);
        QVERIFY(view->lastRendering().photo.passes);
        QVERIFY(view->isEnabled() && !records->isEnabled());
        QCOMPARE(view->entry(MirrorDlg::Title)->text(), QString("TEST REPORT"));
        QCOMPARE(view->entry(MirrorDlg::Operator)->text(), QString("Dr. Seo"));
        QCOMPARE(QImage(QString::fromStdString(emtask::PrintFormationPath())).size(), QSize(kPageWidth, kPageHeight));

        // Typing survives repainting; Apply renders it into the saved page.
        view->entry(MirrorDlg::Note)->clear();
        TypeText(view->entry(MirrorDlg::Note), "Retest in 20 minutes");
        view->repaint();
        QCoreApplication::processEvents();
        QCOMPARE(view->entry(MirrorDlg::Note)->text(), QString("Retest in 20 minutes"));
        const std::vector<char> before = ReadBytes(emtask::PrintFormationPath());
        view->applyButton()->click();
        QVERIFY(ReadBytes(emtask::PrintFormationPath()) != before);
        // Entries refuse what their stored field cannot hold.
        view->entry(MirrorDlg::Title)->clear();
        TypeText(view->entry(MirrorDlg::Title), "ABCDEFGHIJKLMNOP");
        QCOMPARE(view->entry(MirrorDlg::Title)->text(), QString("ABCDEFGHIJKLMNO"));
        view->closeButton()->click();
        QTRY_VERIFY(!view->isVisible() && records->isEnabled());

        // The next showing starts again from the stored texts, for the new row;
        // a number no record has gives a page without record values.
        OpenReportPreview(5, store->m_DeviceData, emtask::JpegDir(), Wnd::ReadDevice);
        QCOMPARE(ReportPreviewWindow(), view);
        QCOMPARE(view->entry(MirrorDlg::Note)->text(), QString());
        QCOMPARE(view->entry(MirrorDlg::Title)->text(), QString("TEST REPORT"));
        QVERIFY(view->lastRendering().record == nullptr);
        view->close();
        QTRY_VERIFY(records->isEnabled());
    }

    void clearThenPrintPrintsEmptyEntries()
    {
        AddRecord(cv::Mat());
        Bus().reportbg = kBgBlank;
        emtask::CopyField(Bus().notetext, "note");
        Recorder records(Wnd::ReadDevice);
        OpenReportPreview(1, emtask::GetManager()->m_DeviceData, emtask::JpegDir(), Wnd::ReadDevice);
        MirrorDlg* view = ReportPreviewWindow();
        view->clearButton()->click();
        for (int e = 0; e < MirrorDlg::EntryCount; ++e) QVERIFY(view->entry(MirrorDlg::Entry(e))->text().isEmpty());
        const QImage title = view->lastRendering().page.copy(0, 206, kPageWidth, 113);  // the title line is empty
        QImage white(title.size(), title.format());
        white.fill(Qt::white);
        QVERIFY(title == white);

        ScriptedDialogs dialogs;
        dialogs.printAnswers = {false};  // cancelled: nothing printed, nothing said
        view->printButton()->click();
        QVERIFY(!view->busy());

        const QString pdf = QString::fromStdString(folder->path + "/printed.pdf");
        view->printer()->setOutputFormat(QPrinter::PdfFormat);
        view->printer()->setOutputFileName(pdf);
        dialogs.printAnswers = {true};
        QSignalSpy done(view, &MirrorDlg::printFinished);
        view->printButton()->click();
        QVERIFY(done.wait(20000));
        QCOMPARE(done.at(0).at(0).toBool(), true);
        QCOMPARE(PdfPages(pdf), 1);
        QCOMPARE(dialogs.shown.size(), size_t(2));  // the two print dialogs

        // Save PDF: the same page, ".pdf" added to the chosen name.
        dialogs.fileAnswers = {QString::fromStdString(folder->path + "/out/report")};
        view->savePdfButton()->click();
        QVERIFY(done.wait(20000));
        QCOMPARE(PdfPages(QString::fromStdString(folder->path + "/out/report.pdf")), 1);
    }

    void customBackgroundRefusedAppliedAndCleared()
    {
        ScriptedDialogs dialogs;
        COptionPrintDlg page;
        page.show();
        QCOMPARE(page.checkedChoice(), int(kBgDefault));
        QVERIFY(!page.pathField()->isEnabled());
        // Custom without an image: refused, back to Default.
        page.choice(kBgCustom)->click();
        QVERIFY(page.pathField()->isEnabled());
        page.applyBackgroundButton()->click();
        QCOMPARE(dialogs.messages(), QStringList{kWrongForm});
        QCOMPARE(page.checkedChoice(), int(kBgDefault));
        QVERIFY(!page.pathField()->isEnabled());
        QCOMPARE(StoredBus().reportbg, int(kBgDefault));
        dialogs.shown.clear();

        const std::string image = folder->path + "/Forms/Letterhead.jpg";
        fs::create_directories(folder->path + "/Forms");
        cv::imwrite(image, Solid(602, 877, 255, 0, 0));
        page.choice(kBgCustom)->click();
        dialogs.fileAnswers = {QString::fromStdString(image)};
        page.browseButton()->click();
        QCOMPARE(page.pathField()->text(), QString::fromStdString(image));
        QVERIFY(Near(page.previewPage().pixel(5, 5), QColor(0, 0, 255)));  // the preview has it already
        page.applyBackgroundButton()->click();
        QCOMPARE(dialogs.messages(), QStringList{"Complete."});
        QCOMPARE(StoredBus().reportbg, int(kBgCustom));
        QCOMPARE(emtask::FieldText(StoredBus().bgpath), image);

        // Still there under another case of its name: kept on the next showing.
        fs::rename(image, folder->path + "/Forms/LETTERHEAD.JPG");
        page.hide();
        page.show();
        QCOMPARE(page.checkedChoice(), int(kBgCustom));
        QCOMPARE(page.pathField()->text(), QString::fromStdString(image));
        QVERIFY(Near(page.previewPage().pixel(5, 5), QColor(0, 0, 255)));

        // Blank clears the stored path, all of it.
        page.choice(kBgBlank)->click();
        QVERIFY(!page.pathField()->isEnabled());
        page.applyBackgroundButton()->click();
        QCOMPARE(dialogs.messages().back(), QString("Complete."));
        QCOMPARE(StoredBus().reportbg, int(kBgBlank));
        QVERIFY(AllZero(StoredBus().bgpath, sizeof StoredBus().bgpath));
        QVERIFY(page.pathField()->text().isEmpty());

        // A stored image that is gone: Default again, stored with the rest of
        // the block as it was.
        fs::remove(folder->path + "/Forms/LETTERHEAD.JPG");
        Bus().reportbg = kBgCustom;
        emtask::CopyField(Bus().bgpath, image);
        Bus().dateorder = 1;
        page.hide();
        page.show();
        QCOMPARE(page.checkedChoice(), int(kBgDefault));
        QVERIFY(page.pathField()->text().isEmpty());
        QCOMPARE(StoredBus().reportbg, int(kBgDefault));
        QVERIFY(AllZero(StoredBus().bgpath, sizeof StoredBus().bgpath));
        QCOMPARE(StoredBus().dateorder, 1);
    }

    void entriesAreStoredWithinTheirFields()
    {
        ScriptedDialogs dialogs;
        COptionPrintDlg page;
        page.show();
        CLimitedEdit* title = page.entry(COptionPrintDlg::Title);
        title->clear();
        TypeText(title, "Breath Test 2026X");
        page.entry(COptionPrintDlg::Subject)->clear();
        TypeText(page.entry(COptionPrintDlg::Subject), QString::fromUtf8("홍길동"));
        CLimitedEdit* note = page.entry(COptionPrintDlg::Note);
        note->clear();
        TypeText(note, QString(60, QChar(0xD55C)));  // 60 Hangul: more bytes than the field holds
        QCOMPARE(note->text().toUtf8().size(), 126);
        // Unapplied edits are not stored.
        QCOMPARE(emtask::FieldText(Bus().reporttitle), std::string("TEST REPORT"));
        page.applyEntriesButton()->click();
        QCOMPARE(dialogs.messages(), QStringList{"Complete."});
        const emtask::BusInfo stored = StoredBus();
        QCOMPARE(emtask::FieldText(stored.reporttitle), std::string("Breath Test 202"));
        QCOMPARE(emtask::FieldText(stored.subjecttext), std::string("홍길동"));
        QCOMPARE(emtask::FieldText(stored.notetext).size(), size_t(126));
        QCOMPARE(stored.notetext[126], '\0');
    }
};

QTEST_MAIN(TestReportWindows)
#include "tst_reportwindows.moc"
