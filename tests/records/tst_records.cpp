#include "../shell/ShellFixture.h"
#include "StoreImage.h"
#include "SealFixture.h"
#include "FileImage.h"
#include "TextUtil.h"
#include "controls/Dialogs.h"
#include "controls/SkinButton.h"
#include "records/CReadDeviceDlg.h"
#include "reports/MirrorDlg.h"
#include "reports/ReportPreview.h"
#include "search/CSearchDataDlg.h"
#include "users/XlsxReader.h"
#include "controls/CLoadDataDlg.h"
#include "controls/CProgressBar.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTreeWidget>
#include <QtTest>

using emtask::GetManager;
using records::PhotoVerdict;
using records::RecordButton;

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
        emtask::StoreImage::Settings(*store).rowsindex = 0;  // 100 rows a sheet
        FillLog(n, photoEvery);
        store->SaveResultData();
        store->SaveSetting();
        ScriptedDialogs startup;  // says that the ledger it begins leaves these tests unsealed
        main = MakeMainWindow();
        return main->recordWindow();
    }
    void OpenRecords(CReadDeviceDlg* w)
    {
        main->OnLoad();
        WaitShown(w);
    }
    // Waits for the closing status of a display of the log or of an archive.
    static void WaitShown(CReadDeviceDlg* w, bool archive = false)
    {
        QTRY_VERIFY_WITH_TIMEOUT(
            !w->Busy() && w->StatusText().contains("Local") == archive &&
                (w->StatusText().contains("Complete") || w->StatusText().contains("Not exist")),
            10000);
    }
    static void WaitIdle(CReadDeviceDlg* w) { QTRY_VERIFY_WITH_TIMEOUT(!w->Busy(), 20000); }
    static void OpenArchive(CReadDeviceDlg* w, ScriptedDialogs& d, const std::string& path)
    {
        d.fileAnswers.push_back(QString::fromStdString(path));
        w->Button(RecordButton::Open)->click();
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

    void newestSheetFirstAndPrintPutsEveryRowOfItOnThePages()
    {
        CReadDeviceDlg* w = Start(250, 10);
        OpenRecords(w);
        QVERIFY(w->isVisible() && !main->isEnabled());
        QCOMPARE(w->SheetList()->count(), 3);
        QCOMPARE(w->StatusText(), QString("Reading datas : Complete"));
        QCOMPARE(Cell(w, 0, records::ColTestNo) + Cell(w, 0, records::ColPhoto) +
                     Cell(w, 1, records::ColPhoto),
                 QString("250OX"));

        PdfDialogs dialogs;
        dialogs.pdf = QString::fromStdString(*home / "grid.pdf");
        w->Button(RecordButton::Print)->click();
        QVERIFY(w->isEnabled());  // the window stays live while it prints
        WaitIdle(w);
        QProcess pdftotext;
        pdftotext.start("pdftotext", {dialogs.pdf, "-"});
        QVERIFY(pdftotext.waitForFinished(20000));
        const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
        QVERIFY(text.contains("Test No."));
        for (int n = 151; n <= 250; ++n)
            QVERIFY2(text.contains(QString("id%1\n").arg(n)) || text.contains(QString("id%1 ").arg(n)),
                     qPrintable(QString::number(n)));
        QVERIFY(!text.contains("id150\n") && !text.contains("id150 "));
        QVERIFY(dialogs.messages().isEmpty());
        // A job that cannot start is said, naming where it was to go.
        dialogs.pdf = QString::fromStdString(*home / "no/such/grid.pdf");
        w->Button(RecordButton::Print)->click();
        QTRY_COMPARE_WITH_TIMEOUT(dialogs.messages().size(), 1, 20000);
        QVERIFY(dialogs.messages()[0].contains("no/such/grid.pdf: the print job could not start"));

        w->Button(RecordButton::Close)->click();
        QVERIFY(!w->isVisible() && main->isEnabled());
    }

    void archivesSavedAndShownAndEveryWayOfClosingGivesTheLogBack()
    {
        CReadDeviceDlg* w = Start(30, 5);
        OpenRecords(w);
        ScriptedDialogs dialogs;
        dialogs.fileAnswers.push_back(QString::fromStdString(*home / "exp/week12.dat"));
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QTest::keySequence(w, QKeySequence::Save);  // Ctrl+S is the Save button
        QTRY_VERIFY(dialogs.fileAnswers.empty());
        WaitIdle(w);
        auto count = [](const std::string& dir) {
            return std::distance(std::filesystem::directory_iterator(dir),
                                 std::filesystem::directory_iterator{});
        };
        QCOMPARE(count(*home / "exp/week12/jpeg"), 6);

        // Saved again from the opened archive: its photographs from its own folder.
        OpenArchive(w, dialogs, *home / "exp/week12/week12.dat");
        WaitShown(w, true);
        std::filesystem::remove_all(emtask::JpegDir());
        dialogs.fileAnswers.push_back(QString::fromStdString(*home / "exp/again.dat"));
        w->Button(RecordButton::Save)->click();
        WaitIdle(w);
        QCOMPARE(count(*home / "exp/again/jpeg"), 6);
        QVERIFY(dialogs.messages().isEmpty());
        // Its photograph folder gone since (a stick pulled out): no archive, and the loss said.
        std::filesystem::remove_all(*home / "exp/week12/jpeg");
        dialogs.fileAnswers.push_back(QString::fromStdString(*home / "exp/gone.dat"));
        w->Button(RecordButton::Save)->click();
        WaitIdle(w);
        QTRY_COMPARE_WITH_TIMEOUT(dialogs.messages().size(), 1, 20000);
        QVERIFY2(
            dialogs.messages()[0].startsWith("6 photograph(s) could not be copied, the first " +
                                             QString::fromStdString(*home / "exp/week12/jpeg/00000005-")),
            qPrintable(dialogs.messages()[0]));
        QVERIFY(!std::filesystem::exists(*home / "exp/gone/gone.dat"));
        dialogs.shown.clear();

        // A folder that cannot be made: the notice, and the window usable.
        WriteBytes(*home / "file", "x", 1);
        dialogs.fileAnswers.push_back(QString::fromStdString(*home / "file/x.dat"));
        w->Button(RecordButton::Save)->click();
        WaitIdle(w);
        QTRY_COMPARE_WITH_TIMEOUT(dialogs.messages().size(), 1, 20000);
        QCOMPARE(dialogs.messages()[0],
                 "해당 파일을 저장할 수 없습니다. " + QString::fromStdString(*home / "file/x/x.dat") +
                     "\ncannot create " + QString::fromStdString(*home / "file/x") + ": Not a directory");
        QVERIFY(w->isEnabled());
        w->close();
        dialogs.shown.clear();

        // An archive of five records numbered as the log's first five, with other names.
        emtask::DeviceData& a = emtask::StoreImage::Found(*store);
        a.initflag = emtask::kInitFlag;
        a.datacnt = 5;
        for (int i = 0; i < 5; ++i) {
            a.m_TestData[i] = MakeRecord(i + 1, i);
            std::snprintf(a.m_TestData[i].name, 64, "Archived %d", i + 1);
        }
        const std::string archive = *home / "exp/march/measurements_of_march.dat";
        WriteArchiveFile(archive, a, 0, emtask::kDeviceDataHeaderSize + 5 * 276);
        // A file that is no archive leaves the shown records.
        OpenRecords(w);
        WriteBytes(*home / "bad.dat", "12345", 5);
        OpenArchive(w, dialogs, *home / "bad.dat");
        QCOMPARE(dialogs.messages(), QStringList{"Data File Mismatch"});
        QVERIFY(!store->ArchiveShown());
        w->close();
        for (int way = 0; way < 3; ++way) {
            OpenRecords(w);
            OpenArchive(w, dialogs, archive);
            WaitShown(w, true);
            QCOMPARE(w->StatusText(), QString("Reading datas from Local : Complete (measurements_of...)"));
            QCOMPARE(Cell(w, 0, records::ColName), QString("Archived 5"));
            QCOMPARE(emtask::StoreImage::Settings(*store).recordcnt, 5);

            if (way == 0) w->Button(RecordButton::Close)->click();
            if (way == 1) QTest::keyClick(w, Qt::Key_Escape);
            if (way == 2) w->close();
            QVERIFY(!w->isVisible() && w->SourceFlag() == 0);
            QCOMPARE(QString(emtask::StoreImage::Log(*store).m_TestData[4].name), QString("Name 5"));
            QCOMPARE(emtask::StoreImage::Settings(*store).recordcnt, 30);
        }
        // The next test goes after the log's records, into the log's file.
        QCOMPARE(store->AppendRecord(MakeRecord(0)), 30);
        QCOMPARE(store->SaveResultData(), 1);
        QCOMPARE(FileSize(emtask::MeasureLogPath()), uintmax_t(276000196));

        // A log that cannot be read back is said, and no test is stored into it.
        dialogs.shown.clear();
        OpenRecords(w);
        OpenArchive(w, dialogs, archive);
        WaitShown(w, true);
        emtask::iofault::Arm(1, EACCES, emtask::iofault::kRead, false, "measurelog.dat");
        w->Button(RecordButton::Close)->click();
        emtask::iofault::Disarm();
        QCOMPARE(dialogs.messages().size(), 1);
        QVERIFY2(dialogs.messages()[0].contains(QString::fromStdString(emtask::MeasureLogPath()) +
                                                " could not be read back (") &&
                     dialogs.messages()[0].contains("Permission denied"),
                 qPrintable(dialogs.messages()[0]));
        QCOMPARE(store->AppendRecord(MakeRecord(0)), 31);
        QCOMPARE(store->SaveResultData(), -1);

        // The end of the program with an archive shown gives the log back too.
        OpenRecords(w);
        OpenArchive(w, dialogs, archive);
        WaitShown(w, true);
        main.reset();
        QCOMPARE(emtask::StoreImage::Log(*store).datacnt, 31);
        QVERIFY(!store->ArchiveShown());
    }

    void rowsKeepTheirOwnRecordsInAHostileArchive()
    {
        CReadDeviceDlg* w = Start(3);
        OpenRecords(w);
        // Two records numbered 5 on different days.
        emtask::DeviceData& a = emtask::StoreImage::Found(*store);
        a.initflag = emtask::kInitFlag;
        a.datacnt = 2;
        a.m_TestData[0] = MakeRecord(5, 1);
        a.m_TestData[1] = MakeRecord(5, 2);
        const std::string jpeg = *home / "exp/dup/jpeg";
        std::filesystem::create_directories(jpeg);
        for (int i = 0; i < 2; ++i) {
            a.m_TestData[i].crc16 = measurement::SaveTestPhoto(MakePhoto(i * 50), a.m_TestData[i]);
            std::filesystem::rename(measurement::TestPhotoPath(a.m_TestData[i]),
                                    jpeg + "/" + records::SafePhotoName(a.m_TestData[i], 5));
        }
        WriteArchiveFile(*home / "exp/dup/dup.dat", a, 0, emtask::kDeviceDataHeaderSize + 2 * 276);
        ScriptedDialogs dialogs;
        OpenArchive(w, dialogs, *home / "exp/dup/dup.dat");
        WaitShown(w, true);
        QCOMPARE(w->Model()->rowCount(), 2);
        QImage shown[2];
        for (int row = 0; row < 2; ++row) {
            w->OnRowClicked(row);
            QTRY_COMPARE_WITH_TIMEOUT(w->SelectedSlot(), 1 - row, 20000);
            QCOMPARE(w->ShownVerdict(), PhotoVerdict::Intact);
            shown[row] = w->ShownPicture();
        }
        QVERIFY(shown[0] != shown[1]);
        // The photograph follows the selection however it moves.
        w->Grid()->selectRow(1);
        QTRY_COMPARE(w->SelectedSlot(), 0);
        QTest::keyClick(w->Grid(), Qt::Key_Up);
        QTRY_COMPARE(w->SelectedSlot(), 1);
        QCOMPARE(w->ShownPicture(), shown[0]);
        w->Grid()->clearSelection();
        QTRY_COMPARE(w->ShownVerdict(), PhotoVerdict::NoPhoto);

        // A double-clicked row reports its own record, in this window and in
        // the search results (newest first: row 0 is slot 1 in both).
        emit w->Grid()->doubleClicked(w->Model()->index(0, 0));
        QTRY_VERIFY(main->reportPreview().Window() && main->reportPreview().Window()->isVisible());
        QCOMPARE(main->reportPreview().Window()->lastRendering().record,
                 &emtask::StoreImage::Log(*store).m_TestData[1]);
        main->reportPreview().Window()->close();
        QTRY_VERIFY(w->isEnabled());
        emtask::StoreImage::Criteria(*store).flags = emtask::SEARCH_TESTNO;
        emtask::CopyField(emtask::StoreImage::Criteria(*store).startno, "5");
        emtask::CopyField(emtask::StoreImage::Criteria(*store).endno, "5");
        CSearchDataDlg results(*store, w->SourceFlag(), w->ArchivePhotoFolder(), w->ArchiveFileName());
        main->ConnectSearchResults(results);
        QTRY_COMPARE(results.Model()->rowCount(), 2);
        emit results.Grid()->doubleClicked(results.Model()->index(0, 0));
        QTRY_VERIFY(main->reportPreview().Window()->isVisible() && !results.isEnabled());
        QCOMPARE(main->reportPreview().Window()->lastRendering().record,
                 &emtask::StoreImage::Found(*store).m_TestData[1]);
        main->reportPreview().Window()->close();

        // A negative count shows nothing.
        a.datacnt = -7;
        WriteArchiveFile(*home / "exp/neg.dat", a, 0, emtask::kDeviceDataHeaderSize + 2 * 276);
        OpenArchive(w, dialogs, *home / "exp/neg.dat");
        QTRY_COMPARE_WITH_TIMEOUT(w->StatusText(), QString("Reading data from Local : Not exist (neg.dat)"),
                                  20000);
        QCOMPARE(w->Model()->rowCount(), 0);
    }

    void anEmptyLogSaysSoAndExcelWritesWhileTheWindowIsDisabled()
    {
        CReadDeviceDlg& w = *Start(0);
        OpenRecords(&w);
        QCOMPARE(w.StatusText(), QString("Reading datas : Not exist"));
        ScriptedDialogs dialogs;
        auto Excel = [&w] { w.Button(RecordButton::Excel)->click(); };
        auto WaitDone = [&w] { QTRY_VERIFY_WITH_TIMEOUT(w.isEnabled(), 20000); };
        FillLog(3);
        dialogs.fileAnswers.push_back(QString::fromStdString(*home / "out/march"));  // no extension typed
        Excel();
        QVERIFY(!w.isEnabled());
        QCOMPARE(w.ProgressWindow()->Bar()->Text(), QString(".xlsx Data Save Total:3, Current :0(0%)"));
        QVERIFY(!w.close());  // the export reads the shown records: no closing meanwhile
        WaitDone();
        xlsx::ReadResult r = xlsx::ReadActiveSheet(*home / "out/march/march_1.xlsx");
        QCOMPARE(r.cells.size(), size_t(1 + 8 + 3 * 8));
        QCOMPARE(QString::fromStdString(r.cells[10].text),
                 QString("07-Mar-2024"));  // the settings' date order

        // A workbook that cannot be saved is said.
        std::filesystem::create_directory(*home / "out/march/march_1.xlsx.tmp");
        dialogs.fileAnswers.push_back(QString::fromStdString(*home / "out/march.xlsx"));
        Excel();
        WaitDone();
        QTRY_COMPARE_WITH_TIMEOUT(dialogs.messages().size(), 1, 20000);
        QVERIFY2(dialogs.messages()[0].startsWith("해당 파일을 저장할 수 없습니다. " +
                                                  QString::fromStdString(*home / "out/march/march_1.xlsx") +
                                                  "\n"),
                 qPrintable(dialogs.messages()[0]));
    }

    // Check all on a small log with one changed record: the finding is listed
    // and saved as CSV, written whole under the chosen name.
    void auditListsAndSavesItsFindings()
    {
        MakeSealedLog(6);
        EditRecord(2, [](emtask::TestRecord& r) { r.result[0] = '7'; });
        CReadDeviceDlg records(*emtask::GetManager());
        records.Button(RecordButton::CheckAll)->click();
        SealAuditDlg* audit = records.AuditWindow();
        QVERIFY(audit && audit->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!audit->Running(), 20000);
        QVERIFY2(audit->SummaryText().contains("Not everything verifies"), qPrintable(audit->SummaryText()));
        QCOMPARE(audit->List()->topLevelItemCount(), 2);  // and the note that old-form entries carry no MAC

        ScriptedDialogs dialogs;
        const std::string path = *home / "findings";
        dialogs.fileAnswers.push_back(QString::fromStdString(path));
        audit->SaveButton()->click();
        const std::vector<char> bytes = ReadBytes(path + ".csv");
        const QStringList lines = QString::fromUtf8(bytes.data(), qsizetype(bytes.size())).split('\n');
        QCOMPARE(lines.size(), 4);  // header, the finding and the note, the end of the last line
        QVERIFY2(lines[2].startsWith("\"record changed\",3,,\"2024-03-07\",\"14:00:02\",\"id3\",\"Name 3\","),
                 qPrintable(lines.join('\n')));
        QVERIFY(dialogs.messages().isEmpty());
    }

    // A keyed ledger begun from the audit window: the sheet file written, and
    // shown as text and as a QR code that an independent reader decodes to it.
    void keySheetBegunInTheWindowIsShownAsTextAndCode()
    {
        MakeSealedLog(3);
        CReadDeviceDlg records(*emtask::GetManager());
        records.Button(RecordButton::CheckAll)->click();
        SealAuditDlg* audit = records.AuditWindow();
        QTRY_VERIFY_WITH_TIMEOUT(!audit->Running(), 20000);
        struct Grab : ScriptedDialogs {
            QImage code;
            QString text;
            int execDialog(QDialog* d) override
            {
                for (QLabel* l : d->findChildren<QLabel*>())
                    if (!l->pixmap().isNull()) code = l->pixmap().toImage();
                if (auto* t = d->findChild<QPlainTextEdit*>()) text = t->toPlainText();
                return ScriptedDialogs::execDialog(d);
            }
        } dialogs;
        const std::string sheet = *home / "sheet.txt", png = *home / "sheet.png";
        dialogs.buttonAnswers.push_back(QMessageBox::Yes);
        dialogs.fileAnswers.push_back(QString::fromStdString(sheet));
        QVERIFY(audit->BeginKeyedLedger());
        const std::vector<char> file = ReadBytes(sheet);
        QCOMPARE(dialogs.text, QString::fromUtf8(file.data(), qsizetype(file.size())));
        emtask::SealLedger l;
        QVERIFY(emtask::ReadSealLedger(emtask::SealLedgerPath(), l) && l.keyed);
        QVERIFY(dialogs.code.save(QString::fromStdString(png)));
        QProcess zbar;
        zbar.start("zbarimg", {"--raw", "-q", "-Sbinary", QString::fromStdString(png)});
        QVERIFY(zbar.waitForFinished(20000));
        QCOMPARE(QString::fromUtf8(zbar.readAllStandardOutput()), dialogs.text);
    }
};

QTEST_MAIN(TestRecords)
#include "tst_records.moc"
