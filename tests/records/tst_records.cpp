#include "../shell/ShellFixture.h"
#include "RecordsFixture.h"
#include "controls/Dialogs.h"
#include "controls/SkinButton.h"
#include "messaging/Messages.h"
#include "records/CReadDeviceDlg.h"
#include "records/RecordArchive.h"
#include "users/XlsxReader.h"
#include "controls/CLoadDataDlg.h"
#include "controls/CProgressBar.h"

#include <QComboBox>
#include <QPrinter>
#include <QProcess>
#include <QTableView>
#include <QtTest>

using emtask::GetManager;
using records::PhotoVerdict;

namespace {
// Answers the print dialog by pointing the printer at a PDF file.
class PdfDialogs : public ScriptedDialogs {
public:
    QString pdf;
    bool printDialog(QWidget* parent, QPrinter* printer) override
    {
        ScriptedDialogs::printDialog(parent, printer);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdf);
        return true;
    }
};

QString Cell(CReadDeviceDlg* w, int row, int column)
{
    return w->Model()->data(w->Model()->index(row, column), Qt::DisplayRole).toString();
}
}  // namespace

class TestRecords : public QObject {
    Q_OBJECT
    std::unique_ptr<RecordsHome> home;
    std::unique_ptr<CVelmoraViewDlg> main;
    emtask::EMTaskData* store = nullptr;

    // The log of `n` records on disk, then the main window started over it.
    CReadDeviceDlg* Start(int n, int photoEvery = 0)
    {
        store->m_BusInfo.rowsindex = 0;  // 100 rows a sheet
        FillLog(n, photoEvery);
        store->SaveResultData();
        store->SaveSetting();
        main = MakeMainWindow();
        return main->recordWindow();
    }
    void OpenRecords(CReadDeviceDlg* w)
    {
        main->OnCommand(msg::MAIN_LOAD_BTN);
        WaitShown(w);
    }
    // Waits for the closing status of a display of the log or of an archive.
    static void WaitShown(CReadDeviceDlg* w, bool archive = false)
    {
        QTRY_VERIFY_WITH_TIMEOUT(!w->Busy() && w->StatusText().contains("Local") == archive &&
                                     (w->StatusText().contains("Complete") || w->StatusText().contains("Not exist")),
                                 10000);
    }
    static void WaitIdle(CReadDeviceDlg* w) { QTRY_VERIFY_WITH_TIMEOUT(!w->Busy(), 20000); }
    // Opens `path` through the scripted open dialog.
    static void OpenArchive(CReadDeviceDlg* w, ScriptedDialogs& d, const std::string& path)
    {
        d.fileAnswers.push_back(QString::fromStdString(path));
        w->OnCommand(msg::RD_OPEN_BTN);
    }
    // An archive of the log's first `n` records with their own names.
    std::string WriteSmallArchive(const std::string& rel, int n)
    {
        emtask::DeviceData& scratch = store->m_SearchData;
        scratch.initflag = emtask::kInitFlag;
        scratch.datacnt = n;
        for (int i = 0; i < n; ++i) {
            scratch.m_TestData[i] = MakeRecord(i + 1, i);
            std::snprintf(scratch.m_TestData[i].name, 64, "Archived %d", i + 1);
        }
        const std::string path = *home / rel;
        WriteArchiveFile(path, scratch, 0, emtask::kDeviceDataHeaderSize + size_t(n) * 276);
        return path;
    }

private slots:
    void init()
    {
        home = std::make_unique<RecordsHome>();
        store = GetManager();
    }
    void cleanup()
    {
        main.reset();
        home.reset();
    }

    void recordsButtonShowsTheNewestSheetFirst()
    {
        CReadDeviceDlg* w = Start(250, 10);
        OpenRecords(w);
        QVERIFY(w->isVisible() && !main->isEnabled());
        QCOMPARE(w->SheetList()->count(), 3);
        QCOMPARE(w->StatusText(), QString("Reading datas : Complete"));
        QCOMPARE(Cell(w, 0, records::ColTestNo) + Cell(w, 0, records::ColPhoto) + Cell(w, 1, records::ColPhoto),
                 QString("250OX"));

        w->SheetList()->setCurrentIndex(2);
        WaitShown(w);
        QTRY_COMPARE_WITH_TIMEOUT(w->Model()->rowCount(), 50, 20000);
        QCOMPARE(Cell(w, 49, records::ColTestNo), QString("1"));

        // A clicked row shows its photograph; a change of sheet clears it.
        QTest::mouseClick(w->Grid()->viewport(), Qt::LeftButton, {},
                          w->Grid()->visualRect(w->Model()->index(10, 0)).center());
        QTRY_COMPARE_WITH_TIMEOUT(w->SelectedTestNo(), QString("40"), 20000);
        QCOMPARE(w->ShownVerdict(), PhotoVerdict::Intact);
        QCOMPARE(w->ShownPicture().size(), QSize(320, 240));
        w->SheetList()->setCurrentIndex(0);
        QCOMPARE(w->ShownVerdict(), PhotoVerdict::NoPhoto);
        WaitShown(w);

        w->Button(msg::RD_CLOSE_BTN)->click();
        QVERIFY(!w->isVisible() && main->isEnabled());
    }

    void aBadFileChangesNothingAndEveryWayOfClosingGivesTheLogBack()
    {
        CReadDeviceDlg* w = Start(30);
        const std::string archive = WriteSmallArchive("exp/march/measurements_of_march.dat", 5);
        ScriptedDialogs dialogs;
        // A file that is no archive leaves the shown records.
        OpenRecords(w);
        WriteBytes(*home / "bad.dat", "12345", 5);
        OpenArchive(w, dialogs, *home / "bad.dat");
        QCOMPARE(dialogs.messages(), QStringList{"Data File Mismatch"});
        QCOMPARE(w->SourceFlag(), 0);
        QVERIFY(!store->ArchiveShown());
        w->close();
        for (int way = 0; way < 3; ++way) {
            OpenRecords(w);
            OpenArchive(w, dialogs, archive);
            WaitShown(w, true);
            QCOMPARE(w->StatusText(), QString("Reading datas from Local : Complete (measurements_of...)"));
            QCOMPARE(w->StatusColor(), QColor(0, 0, 255));
            QCOMPARE(Cell(w, 0, records::ColName), QString("Archived 5"));
            QCOMPARE(w->SourceFlag(), 1);
            QCOMPARE(store->m_BusInfo.recordcnt, 5);

            if (way == 0) w->Button(msg::RD_CLOSE_BTN)->click();
            if (way == 1) QTest::keyClick(w, Qt::Key_Escape);
            if (way == 2) w->close();
            QVERIFY(!w->isVisible() && w->SourceFlag() == 0);
            QCOMPARE(QString(store->m_DeviceData.m_TestData[4].name), QString("Name 5"));
            QCOMPARE(store->m_BusInfo.recordcnt, 30);
        }
        // The next test goes after the log's records, into the log's file.
        QCOMPARE(store->AppendRecord(MakeRecord(0)), 30);
        QCOMPARE(store->SaveResultData(), 1);
        QCOMPARE(FileSize(emtask::MeasureLogPath()), uintmax_t(276000196));

        // The end of the program with an archive shown gives the log back too.
        OpenRecords(w);
        OpenArchive(w, dialogs, archive);
        WaitShown(w, true);
        main.reset();
        QCOMPARE(store->m_DeviceData.datacnt, 31);
        QVERIFY(!store->ArchiveShown());
    }

    void saveWritesTheArchiveAndItsPhotographs()
    {
        CReadDeviceDlg* w = Start(20, 5);
        OpenRecords(w);
        ScriptedDialogs dialogs;
        dialogs.fileAnswers.push_back(QString::fromStdString(*home / "exp/week12.dat"));
        w->OnCommand(msg::RD_SAVE_BTN);
        WaitIdle(w);
        QVERIFY(w->isEnabled());
        auto count = [](const std::string& dir) {
            return std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator{});
        };
        QCOMPARE(count(*home / "exp/week12/jpeg"), 4);

        // Saved again from the opened archive: its photographs from its own folder.
        OpenArchive(w, dialogs, *home / "exp/week12/week12.dat");
        WaitShown(w, true);
        std::filesystem::remove_all(emtask::JpegDir());
        dialogs.fileAnswers.push_back(QString::fromStdString(*home / "exp/again.dat"));
        w->OnCommand(msg::RD_SAVE_BTN);
        WaitIdle(w);
        QCOMPARE(count(*home / "exp/again/jpeg"), 4);

        // Photo save "No": no jpeg folder.
        store->m_BusInfo.photosave = 1;
        dialogs.fileAnswers.push_back(QString::fromStdString(*home / "exp/plain.dat"));
        w->OnCommand(msg::RD_SAVE_BTN);
        WaitIdle(w);
        QVERIFY(std::filesystem::exists(*home / "exp/plain/plain.dat") && !std::filesystem::exists(*home / "exp/plain/jpeg"));
        QVERIFY(dialogs.messages().isEmpty());

        // A folder that cannot be made: the notice, and the window usable.
        WriteBytes(*home / "file", "x", 1);
        dialogs.fileAnswers.push_back(QString::fromStdString(*home / "file/x.dat"));
        w->OnCommand(msg::RD_SAVE_BTN);
        WaitIdle(w);
        QTRY_COMPARE_WITH_TIMEOUT(dialogs.messages(), QStringList{"해당 파일을 저장할 수 없습니다. "}, 20000);
        QVERIFY(w->isEnabled());
    }

    void rowsKeepTheirOwnRecordsInAHostileArchive()
    {
        CReadDeviceDlg* w = Start(3);
        OpenRecords(w);
        // Two records numbered 5 on different days, one with a path in its date.
        emtask::DeviceData& a = store->m_SearchData;
        a.datacnt = 3;
        a.m_TestData[0] = MakeRecord(5, 1);
        a.m_TestData[1] = MakeRecord(5, 2);
        a.m_TestData[2] = MakeRecord(7, 3);
        std::memcpy(a.m_TestData[2].m_Tyy, "../.", 4);
        const std::string jpeg = *home / "exp/dup/jpeg";
        std::filesystem::create_directories(jpeg);
        for (int i = 0; i < 2; ++i) {
            a.m_TestData[i].crc16 = measurement::SaveTestPhoto(MakePhoto(i * 50), a.m_TestData[i]);
            std::filesystem::rename(measurement::TestPhotoPath(a.m_TestData[i]),
                                    jpeg + "/" + records::SafePhotoName(a.m_TestData[i], 5));
        }
        WriteArchiveFile(*home / "exp/dup/dup.dat", a, 0, emtask::kDeviceDataHeaderSize + 3 * 276);
        ScriptedDialogs dialogs;
        OpenArchive(w, dialogs, *home / "exp/dup/dup.dat");
        WaitShown(w, true);
        QCOMPARE(w->Model()->rowCount(), 3);
        QCOMPARE(Cell(w, 0, records::ColPhoto), QString("X"));
        QImage shown[2];
        for (int row = 1; row <= 2; ++row) {
            PostMessage(w, msg::WM_ONE_CLK, row);
            QTRY_COMPARE_WITH_TIMEOUT(w->SelectedSlot(), 2 - row, 20000);
            QCOMPARE(w->ShownVerdict(), PhotoVerdict::Intact);
            shown[row - 1] = w->ShownPicture();
        }
        QVERIFY(shown[0] != shown[1]);
        PostMessage(w, msg::WM_ONE_CLK, 0);
        QTRY_COMPARE_WITH_TIMEOUT(w->SelectedSlot(), 2, 20000);
        QCOMPARE(w->ShownVerdict(), PhotoVerdict::NoPhoto);

        // A negative count shows nothing.
        a.datacnt = -7;
        WriteArchiveFile(*home / "exp/neg.dat", a, 0, emtask::kDeviceDataHeaderSize + 3 * 276);
        OpenArchive(w, dialogs, *home / "exp/neg.dat");
        QTRY_COMPARE_WITH_TIMEOUT(w->StatusText(), QString("Reading data from Local : Not exist (neg.dat)"), 20000);
        QCOMPARE(w->StatusColor(), QColor(255, 0, 0));
        QCOMPARE(w->Model()->rowCount(), 0);
    }

    void printPutsEveryRowOfTheSheetOnThePages()
    {
        CReadDeviceDlg* w = Start(130);
        OpenRecords(w);
        PdfDialogs dialogs;
        dialogs.pdf = QString::fromStdString(*home / "grid.pdf");
        w->OnCommand(msg::RD_PRINT_BTN);
        QVERIFY(w->isEnabled());  // the window stays live while it prints
        WaitIdle(w);
        QProcess pdftotext;
        pdftotext.start("pdftotext", {dialogs.pdf, "-"});
        QVERIFY(pdftotext.waitForFinished(20000));
        const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
        QVERIFY(text.contains("Test No."));
        for (int n = 31; n <= 130; ++n) QVERIFY2(text.contains(QString("id%1\n").arg(n)) || text.contains(QString("id%1 ").arg(n)), qPrintable(QString::number(n)));
        QVERIFY(!text.contains("id30\n") && !text.contains("id30 "));
    }

    void anEmptyLogSaysSoAndExcelWritesWhileTheWindowIsDisabled()
    {
        CReadDeviceDlg& w = *Start(0);
        OpenRecords(&w);
        QCOMPARE(w.StatusText(), QString("Reading datas : Not exist"));
        QCOMPARE(w.StatusColor(), QColor(255, 0, 0));
        ScriptedDialogs dialogs;
        auto Excel = [&w] { w.OnCommand(msg::RD_EXCEL_BTN); };
        auto WaitDone = [&w] { QTRY_VERIFY_WITH_TIMEOUT(w.isEnabled(), 20000); };
        Excel();  // cancelled: nothing at all
        QCOMPARE(dialogs.shown.size(), size_t(1));
        QVERIFY(w.isEnabled());

        FillLog(3);
        dialogs.fileAnswers.push_back(QString::fromStdString(*home / "out/march"));  // no extension typed
        Excel();
        QVERIFY(!w.isEnabled());
        QCOMPARE(w.ProgressWindow()->Bar()->Text(), QString(".xlsx Data Save Total:3, Current :0(0%)"));
        QVERIFY(!w.close());  // the export reads the shown records: no closing meanwhile
        WaitDone();
        QVERIFY(w.isVisible() && !w.ProgressWindow()->isVisible());
        xlsx::ReadResult r = xlsx::ReadActiveSheet(*home / "out/march/march_1.xlsx");
        QCOMPARE(r.cells.size(), size_t(1 + 8 + 3 * 8));
        QCOMPARE(QString::fromStdString(r.cells[9].text), QString("000003"));
        QCOMPARE(QString::fromStdString(r.cells[10].text), QString("07-Mar-2024"));  // the settings' date order

        // A workbook that cannot be saved is said, and the old one stays.
        const std::vector<char> before = ReadBytes(*home / "out/march/march_1.xlsx");
        FillLog(1);
        std::filesystem::create_directory(*home / "out/march/march_1.xlsx.tmp");
        dialogs.fileAnswers.push_back(QString::fromStdString(*home / "out/march.xlsx"));
        Excel();
        WaitDone();
        QTRY_COMPARE_WITH_TIMEOUT(dialogs.messages(), QStringList{QString::fromUtf8("해당 파일을 저장할 수 없습니다. ")},
                                  20000);
        QVERIFY(ReadBytes(*home / "out/march/march_1.xlsx") == before);
    }
};

QTEST_MAIN(TestRecords)
#include "tst_records.moc"
