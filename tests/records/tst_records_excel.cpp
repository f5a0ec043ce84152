#include "RecordsFixture.h"
#include "controls/CLoadDataDlg.h"
#include "controls/CProgressBar.h"
#include "controls/Dialogs.h"
#include "controls/SkinButton.h"
#include "messaging/Messages.h"
#include "records/CReadDeviceDlg.h"
#include "records/RecordExcel.h"
#include "users/XlsxReader.h"

#include <QtTest>

namespace fs = std::filesystem;

class TestRecordsExcel : public QObject {
    Q_OBJECT
    std::unique_ptr<RecordsHome> home;

    static void Excel(CReadDeviceDlg& w) { w.OnCommand(msg::RD_EXCEL_BTN); }
    static void WaitDone(CReadDeviceDlg& w) { QTRY_VERIFY_WITH_TIMEOUT(w.isEnabled(), 20000); }

private slots:
    void init()
    {
        home = std::make_unique<RecordsHome>();
        records::InstallExcelCommand();
    }
    void cleanup() { home.reset(); }

    void excelWritesTheWorkbooksWhileTheWindowIsDisabled()
    {
        CReadDeviceDlg w;
        w.show();
        ScriptedDialogs dialogs;
        QVERIFY(w.Button(msg::RD_EXCEL_BTN)->isEnabled());

        // Cancel: nothing at all.
        Excel(w);
        QCOMPARE(dialogs.shown.size(), size_t(1));
        QCOMPARE(dialogs.shown[0].kind, QString("save"));
        QVERIFY(w.isEnabled());

        // No record: only the folder, no progress, nothing said.
        dialogs.fileAnswers.push_back(QString::fromStdString(*home / "empty.xlsx"));
        Excel(w);
        QVERIFY(!w.isEnabled());
        QVERIFY(!w.ProgressWindow()->isVisible());
        WaitDone(w);
        QVERIFY(fs::is_directory(*home / "empty"));
        QVERIFY(fs::is_empty(*home / "empty"));

        FillLog(3);
        dialogs.fileAnswers.push_back(QString::fromStdString(*home / "out/march"));  // no extension typed
        Excel(w);
        QVERIFY(!w.isEnabled());
        QVERIFY(w.ProgressWindow()->isVisible());
        QCOMPARE(w.ProgressWindow()->Bar()->Text(), QString(".xlsx Data Save Total:3, Current :0(0%)"));
        QVERIFY(!w.close());  // the export reads the shown records: no closing meanwhile
        WaitDone(w);
        QVERIFY(w.isVisible());
        QVERIFY(!w.ProgressWindow()->isVisible());
        QVERIFY(dialogs.messages().isEmpty());
        xlsx::ReadResult r = xlsx::ReadActiveSheet(*home / "out/march/march_1.xlsx");
        QCOMPARE(int(r.error), int(xlsx::ReadError::None));
        QCOMPARE(r.cells.size(), size_t(1 + 8 + 3 * 8));
        QCOMPARE(QString::fromStdString(r.cells[9].text), QString("000003"));
        QCOMPARE(QString::fromStdString(r.cells[10].text), QString("07-Mar-2024"));
    }

    void aWorkbookThatCannotBeSavedIsSaidAndTheOldOneStays()
    {
        CReadDeviceDlg w;
        ScriptedDialogs dialogs;
        FillLog(2);
        const std::string chosen = *home / "log.xlsx", first = *home / "log/log_1.xlsx";
        dialogs.fileAnswers.push_back(QString::fromStdString(chosen));
        Excel(w);
        WaitDone(w);
        const std::vector<char> before = ReadBytes(first);
        QVERIFY(!before.empty());

        FillLog(1);
        fs::create_directory(first + ".tmp");
        dialogs.fileAnswers.push_back(QString::fromStdString(chosen));
        Excel(w);
        WaitDone(w);
        QCOMPARE(dialogs.messages(), QStringList{QString::fromUtf8("해당 파일을 저장할 수 없습니다. ")});
        QVERIFY(!w.ProgressWindow()->isVisible());
        QVERIFY(ReadBytes(first) == before);
    }
};

QTEST_MAIN(TestRecordsExcel)
#include "tst_records_excel.moc"
