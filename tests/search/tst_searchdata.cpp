#include "FileImage.h"
#include "StoreImage.h"
#include "SearchTestUtil.h"
#include "TextUtil.h"
#include "controls/Dialogs.h"
#include "controls/SkinButton.h"
#include "records/PhotoLookup.h"
#include "search/CDataSearchDlg.h"
#include "search/CSearchDataDlg.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>
#include <algorithm>
#include <fstream>

using namespace emtask;
using searchtest::FileText;
using searchtest::Record;

class TstSearchData : public QObject {
    Q_OBJECT
    EMTaskData* m = nullptr;
    std::unique_ptr<TestFolder> home;

    void Log(int n)
    {
        for (int i = 0; i < n; ++i) {
            char date[16];
            std::snprintf(date, sizeof date, "202403%02d120000", 1 + i % 28);
            emtask::StoreImage::Settings(*m).recordcnt = emtask::StoreImage::Log(*m).datacnt;
            m->AppendRecord(Record(0, date, "A-1", i % 2 ? "Kim" : "Lee", "0.010"));
        }
    }
    // Runs the search and display the window queues for itself.
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
        home = std::make_unique<TestFolder>();
        m = GetManager();
        emtask::StoreImage::Log(*m).initflag = kInitFlag;
        emtask::StoreImage::Settings(*m).rowsindex = 0;  // 100 rows a sheet
    }
    void cleanup() { home.reset(); }

    void logSearchSheetsAndPhotographs()
    {
        Log(400);
        // A photograph for test 390 only: its found record sits in another slot.
        const TestRecord& rec = emtask::StoreImage::Log(*m).m_TestData[389];
        MakeDirectory(*home / "data/jpeg");
        WriteBytes(*home / ("data/jpeg/" + records::SafePhotoName(rec, 390)), "x", 1);

        emtask::StoreImage::Criteria(*m).flags = SEARCH_TESTNO | SEARCH_IDNAME;
        CopyField(emtask::StoreImage::Criteria(*m).startno, "100");
        CopyField(emtask::StoreImage::Criteria(*m).endno, "999999");
        CopyField(emtask::StoreImage::Criteria(*m).idname, "Kim");
        CSearchDataDlg w(*emtask::GetManager(), 0, "", "");
        Settle();
        QCOMPARE(emtask::StoreImage::Total(*m), 151);  // the even numbers 100..400
        QCOMPARE(w.SheetList()->count(), 2);
        QCOMPARE(w.StatusText(), QStringLiteral("Reading search datas : Complete"));
        QCOMPARE(Cell(w, 0, records::ColTestNo), QStringLiteral("400"));  // newest first
        QCOMPARE(Cell(w, 5, records::ColTestNo), QStringLiteral("390"));
        QCOMPARE(Cell(w, 5, records::ColPhoto), QStringLiteral("O"));
        QCOMPARE(Cell(w, 4, records::ColPhoto), QStringLiteral("X"));
        // The clicked row's photograph is looked up by its test number.
        w.Grid()->clicked(w.Model()->index(5, 0));
        Settle();
        QCOMPARE(w.SelectedTestNo(), QStringLiteral("390"));
        QVERIFY(w.ShownVerdict() != records::PhotoVerdict::NoPhoto);
    }

    // A box ticked by mouse, key or screen reader is a criterion at OK, and
    // unticked the same way it is none.
    void criteriaFollowTheBoxesHoweverTicked()
    {
        const std::function<void(QCheckBox*)> ways[] = {
            [](QCheckBox* b) { QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2)); },
            [](QCheckBox* b) { QTest::keyClick(b, Qt::Key_Space); },
            [](QCheckBox* b) {
                QAccessible::queryAccessibleInterface(b)->actionInterface()->doAction(
                    QAccessibleActionInterface::toggleAction());
            },
        };
        for (const auto& tick : ways) {
            emtask::StoreImage::Criteria(*m).flags = 0;
            CDataSearchDlg w(emtask::GetManager()->Search(), 2);
            w.InitDialog();
            w.show();
            QCheckBox* box = w.CheckBox(CDataSearchDlg::BoxError);
            tick(box);
            w.OnOK();
            QCOMPARE(w.result(), int(QDialog::Accepted));
            QCOMPARE(emtask::StoreImage::Criteria(*m).flags, uint32_t(SEARCH_ERROR));
            QCOMPARE(FieldText(emtask::StoreImage::Criteria(*m).errortext), std::string("Flow"));
            tick(box);
            QCOMPARE(emtask::StoreImage::Criteria(*m).flags, 0u);
        }
        // The pickers write dates as the tables do, in the settings' order.
        const char* const shapes[] = {"^\\d{4}-[A-Z][a-z]{2}-\\d{2}$", "^[A-Z][a-z]{2}-\\d{2}-\\d{4}$",
                                      "^\\d{2}-[A-Z][a-z]{2}-\\d{4}$"};
        for (int order = 0; order < 3; ++order) {
            CDataSearchDlg w(emtask::GetManager()->Search(), order);
            w.InitDialog();
            for (QDateTimeEdit* e : w.findChildren<QDateTimeEdit*>())
                QVERIFY2(QRegularExpression(shapes[order]).match(e->text()).hasMatch(),
                         qPrintable(e->text()));
        }
    }

    void csvAndArchiveSaveOfTheResults()
    {
        emtask::StoreImage::Settings(*m).photosave = 1;
        Log(30);
        emtask::StoreImage::Criteria(*m).flags = SEARCH_IDNAME;
        CopyField(emtask::StoreImage::Criteria(*m).idname, "Lee");
        ScriptedDialogs dialogs;
        CSearchDataDlg w(*emtask::GetManager(), 0, "", "");
        w.m_CsvPause = [](int) {};
        Settle();

        for (const char* name : {"found", "no/such/dir/x.csv"}) {
            dialogs.fileAnswers.push_back(QString::fromStdString(*home / name));
            w.Button(search::SearchButton::Csv)->click();
            QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 10000);
            Settle();
        }
        const std::string csv = FileText(*home / "found.csv");  // ".csv" added
        QCOMPARE(std::count(csv.begin(), csv.end(), '\n'), 16L);
        // The failure names the file and the system's reason.
        QCOMPARE(dialogs.messages(),
                 QStringList{"Fail to save " + QString::fromStdString(*home / "no/such/dir/x.csv") +
                             "\ncannot create a file beside " +
                             QString::fromStdString(*home / "no/such/dir/x.csv") +
                             ": No such file or directory"});
        QVERIFY(w.isEnabled());

        // The archive of the results carries the kind byte 'A'.
        dialogs.fileAnswers.push_back(QString::fromStdString(*home / "week12.dat"));
        w.Button(search::SearchButton::Save)->click();
        QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 20000);
        Settle();
        QCOMPARE(FileSize(*home / "week12/week12.dat"), uintmax_t(8 + sizeof(DeviceData)));
        QCOMPARE(std::ifstream(*home / "week12/week12.dat").get(), int('A'));
        QCOMPARE(dialogs.messages().size(), 1);
    }

    void closingStopsARunningExport()
    {
        Log(19);  // 500 ms after every line: almost ten seconds in all
        emtask::StoreImage::Criteria(*m).flags = SEARCH_TESTNO;
        CopyField(emtask::StoreImage::Criteria(*m).startno, "1");
        CopyField(emtask::StoreImage::Criteria(*m).endno, "19");
        WriteBytes(*home / "old.csv", "older", 5);
        ScriptedDialogs dialogs;
        auto* w = new CSearchDataDlg(*emtask::GetManager(), 0, "", "");
        Settle();
        dialogs.fileAnswers.push_back(QString::fromStdString(*home / "old.csv"));
        w->Button(search::SearchButton::Csv)->click();
        QVERIFY(w->Busy());
        QTest::qWait(100);
        delete w;  // joins the export before the window goes
        QCOMPARE(FileText(*home / "old.csv"), std::string("older"));
        QVERIFY(!std::filesystem::exists(*home / "old.csv.tmp"));
    }
};

QTEST_MAIN(TstSearchData)
#include "tst_searchdata.moc"
