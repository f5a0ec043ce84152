#include "EMTaskData.h"
#include "FileImage.h"
#include "SearchTestUtil.h"
#include "TestFolder.h"
#include "TextUtil.h"
#include "controls/Dialogs.h"
#include "messaging/Messages.h"
#include "records/PhotoLookup.h"
#include "search/CSearchDataDlg.h"
#include "search/SearchCommand.h"
#include "records/CReadDeviceDlg.h"
#include "controls/SkinButton.h"

#include <QComboBox>
#include <QFile>
#include <QTableView>
#include <QTest>
#include <algorithm>

using namespace emtask;
using searchtest::Record;
using searchtest::SetText;

namespace {
std::string Text(const std::string& path)
{
    std::vector<char> b = ReadBytes(path);
    return std::string(b.begin(), b.end());
}
}  // namespace

class TstSearchData : public QObject {
    Q_OBJECT
    EMTaskData* m = nullptr;

    void Log(int n)
    {
        for (int i = 0; i < n; ++i) {
            char date[16];
            std::snprintf(date, sizeof date, "202403%02d120000", 1 + i % 28);
            AppendRecord(Record(0, date, "A-1", i % 2 ? "Kim" : "Lee", "0.010"));
        }
    }
    void AppendRecord(const TestRecord& r)
    {
        m->m_BusInfo.recordcnt = m->m_DeviceData.datacnt;
        m->AppendRecord(r);
    }
    // Runs the posted search and display.
    static void Settle()
    {
        for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    }
    QString Cell(CSearchDataDlg& w, int row, int col)
    {
        return w.Model()->data(w.Model()->index(row, col), Qt::DisplayRole).toString();
    }

private slots:
    void init()
    {
        m = GetManager();
        m->Reset();
        m->m_DeviceData.initflag = kInitFlag;
        m->m_BusInfo.rowsindex = 0;  // 100 rows a sheet
    }

    void logSearchSheetsAndPhotographs()
    {
        TestFolder tf;
        m->m_DeviceData.initflag = kInitFlag;
        m->m_BusInfo.rowsindex = 0;
        Log(400);
        // A photograph for test 390 only: its found record sits in another slot.
        const TestRecord& rec = m->m_DeviceData.m_TestData[389];
        MakeDirectory(tf / "data/jpeg");
        WriteBytes(tf / ("data/jpeg/" + records::SafePhotoName(rec, 390)), "x", 1);

        m->m_SearchInfo.flags = SEARCH_TESTNO | SEARCH_IDNAME;
        SetText(m->m_SearchInfo.startno, "100");
        SetText(m->m_SearchInfo.endno, "999999");
        SetText(m->m_SearchInfo.idname, "Kim");
        CSearchDataDlg w(0, "", "");
        Settle();
        QCOMPARE(m->m_DeviceSearchTotalCnt, 151);  // the even numbers 100..400
        QCOMPARE(m->m_SearchData.datakind, int('A'));
        QCOMPARE(w.SheetList()->count(), 2);
        QCOMPARE(w.StatusText(), QStringLiteral("Reading search datas : Complete"));
        QCOMPARE(w.Model()->rowCount(), 100);
        QCOMPARE(Cell(w, 0, records::ColTestNo), QStringLiteral("400"));  // newest first
        QCOMPARE(Cell(w, 5, records::ColTestNo), QStringLiteral("390"));
        QCOMPARE(Cell(w, 5, records::ColPhoto), QStringLiteral("O"));
        QCOMPARE(Cell(w, 4, records::ColPhoto), QStringLiteral("X"));

        w.SheetList()->setCurrentIndex(1);
        Settle();
        QCOMPARE(w.Model()->rowCount(), 51);
        QCOMPARE(Cell(w, 50, records::ColTestNo), QStringLiteral("100"));

        // The clicked row's photograph is looked up by its test number.
        w.SheetList()->setCurrentIndex(0);
        Settle();
        w.Grid()->clicked(w.Model()->index(5, 0));
        Settle();
        QCOMPARE(w.SelectedTestNo(), QStringLiteral("390"));
        QVERIFY(w.ShownVerdict() != records::PhotoVerdict::NoPhoto);
    }

    void nothingFoundAndArchiveTexts()
    {
        Log(20);
        m->m_SearchInfo.flags = 0;
        {
            CSearchDataDlg w(0, "", "");
            Settle();
            QCOMPARE(w.StatusText(), QStringLiteral("Reading search datas : Not exist"));
            QCOMPARE(w.StatusColor(), QColor(255, 0, 0));
            QCOMPARE(w.SheetList()->count(), 0);
        }
        m->m_DeviceData.datakind = 'Z';  // an archive of another kind
        m->m_SearchInfo.flags = SEARCH_ERROR | SEARCH_NORMAL;
        CSearchDataDlg w(1, "/nowhere/jpeg", "week12.dat");
        Settle();
        QCOMPARE(w.StatusText(), QStringLiteral("Reading search datas : Not exist (week12.dat)"));
        QCOMPARE(m->m_SearchData.datakind, int('A'));
    }

    void csvAndArchiveSaveOfTheResults()
    {
        TestFolder tf;
        m->m_DeviceData.initflag = kInitFlag;
        m->m_BusInfo.photosave = 1;
        Log(30);
        m->m_SearchInfo.flags = SEARCH_IDNAME;
        SetText(m->m_SearchInfo.idname, "Lee");
        ScriptedDialogs dialogs;
        CSearchDataDlg w(0, "", "");
        w.m_CsvPause = [](int) {};
        Settle();

        dialogs.fileAnswers.push_back(QString::fromStdString(tf / "found"));
        w.OnCommand(msg::SD_CSV_BTN);
        QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 10000);
        Settle();
        const std::string csv = Text(tf / "found.csv");
        QCOMPARE(std::count(csv.begin(), csv.end(), '\n'), 16L);

        dialogs.fileAnswers.push_back(QString::fromStdString(tf / "no/such/dir/x.csv"));
        w.OnCommand(msg::SD_CSV_BTN);
        QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 10000);
        Settle();
        QCOMPARE(dialogs.messages(), QStringList{QStringLiteral("Fail to save")});
        QVERIFY(w.isEnabled());

        // The archive of the results carries the kind byte 'A'.
        dialogs.fileAnswers.push_back(QString::fromStdString(tf / "week12.dat"));
        w.OnCommand(msg::SD_SAVE_BTN);
        QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 20000);
        Settle();
        QCOMPARE(FileSize(tf / "week12/week12.dat"), uintmax_t(8 + sizeof(DeviceData)));
        std::vector<char> head(8);
        FILE* f = std::fopen((tf / "week12/week12.dat").c_str(), "rb");
        QVERIFY(f);
        QCOMPARE(std::fread(head.data(), 1, 8, f), size_t(8));
        std::fclose(f);
        QCOMPARE(head[0], 'A');
        QCOMPARE(dialogs.messages().size(), 1);
    }

    void recordWindowSearchOpensCriteriaThenResults()
    {
        ScriptedDialogs dialogs;
        CReadDeviceDlg records;
        CReadDeviceDlg::SetHook(msg::RD_SEARCH_BTN, search::OpenSearch);
        QVERIFY(records.Button(msg::RD_SEARCH_BTN)->isEnabled());
        dialogs.dialogAnswers = {QDialog::Rejected};
        records.OnCommand(msg::RD_SEARCH_BTN);  // criteria cancelled: no results window
        dialogs.dialogAnswers = {QDialog::Accepted, QDialog::Accepted};
        records.OnCommand(msg::RD_SEARCH_BTN);
        QStringList titles;
        for (const auto& s : dialogs.shown) titles << s.title;
        QCOMPARE(titles, (QStringList{"Data Search", "Data Search", "Searching Data"}));
        CReadDeviceDlg::SetHook(msg::RD_SEARCH_BTN, {});
    }

    void closingStopsARunningExport()
    {
        TestFolder tf;
        m->m_DeviceData.initflag = kInitFlag;
        Log(19);  // 500 ms after every line: almost ten seconds in all
        m->m_SearchInfo.flags = SEARCH_TESTNO;
        SetText(m->m_SearchInfo.startno, "1");
        SetText(m->m_SearchInfo.endno, "19");
        WriteBytes(tf / "old.csv", "older", 5);
        ScriptedDialogs dialogs;
        auto* w = new CSearchDataDlg(0, "", "");
        Settle();
        dialogs.fileAnswers.push_back(QString::fromStdString(tf / "old.csv"));
        w->OnCommand(msg::SD_CSV_BTN);
        QVERIFY(w->Busy());
        QTest::qWait(100);
        delete w;  // joins the export before the window goes
        QCOMPARE(Text(tf / "old.csv"), std::string("older"));
        QVERIFY(!QFile::exists(QString::fromStdString(tf / "old.csv.tmp")));
    }
};

QTEST_MAIN(TstSearchData)
#include "tst_searchdata.moc"
