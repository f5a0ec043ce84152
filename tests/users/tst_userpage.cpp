#include "FileImage.h"
#include "controls/CLoadDataDlg.h"
#include "controls/CProgressBar.h"
#include "controls/Dialogs.h"
#include "messaging/Messages.h"
#include "messaging/PostMessage.h"
#include "users/COptionIDMngDlg.h"
#include "users/CRegUserDlg.h"
#include "users/UserExchange.h"

#include "UserTestUtil.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QTableWidget>
#include <QtTest>
#include <functional>

using namespace usertest;
using Page = COptionIDMngDlg;

namespace {

constexpr size_t kTableBytes = sizeof(emtask::BusUserInfo) * emtask::kMaxUsers;

std::string TableBytes() { return std::string(reinterpret_cast<const char*>(Table()), kTableBytes); }
std::string FileBytes() { return ReadAll(emtask::UserInfoPath()); }

// Runs `drive` on the registration window once it is open (modal).
void WhenRegistrationOpens(std::function<void(CRegUserDlg*)> drive)
{
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, drive] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* dlg = qobject_cast<CRegUserDlg*>(w);
            if (dlg && dlg->isVisible()) {
                timer->stop();
                timer->deleteLater();
                drive(dlg);
                return;
            }
        }
    });
    timer->start();
}

QStringList Column(const Page& page, int col)
{
    QStringList out;
    for (int r = 0; r < page.List()->rowCount(); ++r) out << page.List()->item(r, col)->text();
    return out;
}

int RowOf(const Page& page, int uid) { return Column(page, Page::ColSeq).indexOf(QString::number(uid)); }

void Check(Page& page, int uid) { page.List()->item(RowOf(page, uid), Page::ColSeq)->setCheckState(Qt::Checked); }

void WaitIdle(Page& page)
{
    QTRY_VERIFY_WITH_TIMEOUT(!page.Busy(), 10000);
    QCoreApplication::processEvents();  // the posted rebuild
}

}  // namespace

class TestUserPage : public QObject {
    Q_OBJECT
    std::unique_ptr<TestFolder> home;
    std::unique_ptr<ScriptedDialogs> dialogs;

private slots:
    void init()
    {
        home = std::make_unique<TestFolder>();
        dialogs = std::make_unique<ScriptedDialogs>();
    }
    void cleanup()
    {
        dialogs.reset();
        home.reset();
    }

    void registrationRefusesThenStoresAndSaves()
    {
        PutUser(1, "A100", "Kim");
        PutUser(2, "B200", "Lee");
        emtask::GetManager()->SaveUserInfo();
        Page page;
        const std::string tableBefore = TableBytes(), fileBefore = FileBytes();
        QStringList seen;
        WhenRegistrationOpens([&](CRegUserDlg* dlg) {
            QCOMPARE(dlg->nUID, 3);
            const std::pair<const char*, const char*> tries[] = {{"", ""}, {"Kim", "X"}, {"C300", ""}, {"C300", "A100"}};
            for (auto [id, name] : tries) {
                dlg->IdEdit()->setText(id);
                dlg->NameEdit()->setText(name);
                dlg->OnOK();
                QVERIFY(dlg->isVisible());
                seen << dialogs->messages().last();
            }
            QTest::keyClick(dlg, Qt::Key_Escape);  // swallowed
            QVERIFY(!dlg->close());                // so is a close from the window manager
            dlg->OnClose();
        });
        page.OnBnClickedBtnRegUser();
        QCOMPARE(seen, (QStringList{"Please fill in ID.", "There are same ID or Name.\nPlease use another ID.",
                                    "Please fill in Name.", "There are same ID or Name.\nPlease use another Name."}));
        QVERIFY(TableBytes() == tableBefore);
        QVERIFY(FileBytes() == fileBefore);

        WhenRegistrationOpens([&](CRegUserDlg* dlg) {
            QCOMPARE(dlg->m_RegType, 0);
            QTest::keyClicks(dlg->IdEdit(), "C300EFGHIJKLMNOPQRST");
            QCOMPARE(dlg->IdEdit()->text(), QString("C300EFGHIJKLMNO"));  // 15 characters typed at most
            dlg->NameEdit()->setText("Park");
            QTest::keyClick(dlg->IdEdit(), Qt::Key_Return);  // Enter confirms from any field
        });
        page.OnBnClickedBtnRegUser();
        QCOMPARE(FileBytes().substr(3 * 148 + 20, 16), std::string("C300EFGHIJKLMNO\0", 16));
        QCoreApplication::processEvents();  // the rebuild the window posted
        QVERIFY(Column(page, Page::ColId).contains("C300EFGHIJKLMNO"));
        QCOMPARE(page.TotalText(), QString("3"));
    }

    void modifyWithoutChangesTakesANewTimeStamp()
    {
        // An ID longer than can be typed, as a workbook may bring: kept whole.
        const std::string longId = "B200-imported-long-1";
        PutUser(2, longId, "Lee");
        std::memcpy(Table()[2].year, "20000101000000", 14);
        Page page;
        WhenRegistrationOpens([&](CRegUserDlg* dlg) {
            QCOMPARE(dlg->IdEdit()->text(), QString::fromStdString(longId));
            QTest::keyClick(dlg->IdEdit(), Qt::Key_End);
            QTest::keyClick(dlg->IdEdit(), Qt::Key_Backspace);
            QTest::keyClicks(dlg->IdEdit(), "1");  // edited back to what it was
            dlg->OnOK();
            if (dlg->isVisible()) dlg->OnClose();  // refused: fail now rather than wait
        });
        emit page.List()->cellClicked(RowOf(page, 2), Page::ColModify);
        const std::string year = std::to_string(QDate::currentDate().year());
        QCOMPARE(std::string(Table()[2].cusid), longId);
        QCOMPARE(Table()[2].uid, 2);
        QCOMPARE(FileBytes().substr(2 * 148, 4), year);
    }

    void modifyWindowNeverWritesOverAUserAnImportBroughtIn()
    {
        PutUser(2, "B200", "Lee");
        Page page;
        const std::string path = *home / "in.xlsx";
        QVERIFY(WriteWorkbook(path, InlineRows({{"A1", "User ID"}, {"A2", "X1"}, {"B2", "Y1"}, {"A3", "X2"}, {"B3", "Y2"}})));
        WhenRegistrationOpens([&](CRegUserDlg* dlg) {
            // The import ends while the window is open: slot 2 is someone else now.
            page.LoadXlsx(QString::fromStdString(path));
            QTRY_VERIFY_WITH_TIMEOUT(!page.Busy(), 10000);
            dlg->NameEdit()->setText("Changed");
            dlg->OnOK();
        });
        emit page.List()->cellClicked(RowOf(page, 2), Page::ColModify);
        QCOMPARE(std::string(Table()[2].cusid) + "/" + Table()[2].uname, std::string("X2/Y2"));
        QVERIFY(FileBytes() == TableBytes());
        QVERIFY2(dialogs->messages().last().contains("replaced"), qPrintable(dialogs->messages().last()));
    }

    void fullRegisterRefusesRegisterId()
    {
        for (int s = 1; s < emtask::kMaxUsers; ++s) PutUser(s, "i" + std::to_string(s), "n" + std::to_string(s));
        Page page;
        QCOMPARE(page.TotalText(), QString("9999"));
        bool opened = false;
        WhenRegistrationOpens([&](CRegUserDlg* dlg) { opened = true; dlg->OnClose(); });
        page.OnBnClickedBtnRegUser();
        QVERIFY(!opened);
        QCOMPARE(dialogs->shown.back().title, QString("Register ID"));
        QVERIFY(dialogs->shown.back().text.contains("full"));
    }

    void deleteCheckedThenAll()
    {
        for (int s = 1; s <= 3; ++s) PutUser(s, "i" + std::to_string(s), "n" + std::to_string(s));
        Page page;
        const std::string before = TableBytes();
        page.OnBnClickedBtnDelete();  // nothing checked
        QCOMPARE(dialogs->shown.back().text, QString("Please check the checkbox you want to delete ID "));
        QVERIFY(!QFile::exists(QString::fromStdString(emtask::UserInfoPath())));

        for (auto answer : {QMessageBox::Cancel, QMessageBox::Ok}) {
            Check(page, 1);
            Check(page, 3);
            dialogs->buttonAnswers.push_back(answer);
            page.OnBnClickedBtnDelete();
            QCOMPARE(dialogs->shown.back().text, QString("Are you sure you want to delete the checked ID?"));
            if (answer == QMessageBox::Cancel) QVERIFY(TableBytes() == before);
        }
        QCOMPARE(Table()[1].uid + Table()[3].uid, 0);
        QCOMPARE(Column(page, Page::ColSeq), QStringList{"2"});
        QCOMPARE(page.TotalText(), QString("1"));
        QVERIFY(FileBytes() == TableBytes());

        for (auto answer : {QMessageBox::Cancel, QMessageBox::Ok}) {
            dialogs->buttonAnswers.push_back(answer);
            page.OnBnClickedBtnDeleteAll();
            QCOMPARE(dialogs->shown.back().title, QString("All Delete"));
            QCOMPARE(page.List()->rowCount(), answer == QMessageBox::Ok ? 0 : 1);
        }
        QVERIFY(FileBytes() == std::string(kTableBytes, '\0'));

        // A register that cannot be written is said, not passed over.
        PutUser(2, "i2", "n2");
        dialogs->buttonAnswers.push_back(QMessageBox::Ok);
        emtask::iofault::Arm(1, ENOSPC, emtask::iofault::kWriteSide, true);
        page.OnBnClickedBtnDeleteAll();
        emtask::iofault::Disarm();
        QVERIFY2(dialogs->messages().last().startsWith("The user list could not be saved: "),
                 qPrintable(dialogs->messages().last()));
    }

    void damagedSlotNumbersNeverReachAnotherUser()
    {
        PutUser(3, "real", "user");
        PutUser(7, "stray", "entry");
        Table()[7].uid = 3;  // a damaged file: the number names slot 3
        Page page;
        const int strayRow = Column(page, Page::ColId).indexOf("stray");
        page.List()->item(strayRow, Page::ColSeq)->setCheckState(Qt::Checked);
        dialogs->buttonAnswers.push_back(QMessageBox::Ok);
        page.OnBnClickedBtnDelete();
        QCOMPARE(Table()[7].uid, 0);
        QCOMPARE(Column(page, Page::ColId), QStringList{"real"});
    }

    void headerClicksSortByteOrderBothWaysAndRebuildsKeepIt()
    {
        for (int s = 1; s <= 10; ++s) PutUser(s, "u" + std::to_string(s), "n" + std::to_string(s));
        emtask::BusInfo& b = emtask::GetManager()->m_BusInfo;
        b.sortdirection = 1;
        Page page;
        Check(page, 5);
        QStringList ascending{"1", "10", "2", "3", "4", "5", "6", "7", "8", "9"};
        for (bool up : {false, true}) {
            emit page.List()->horizontalHeader()->sectionClicked(Page::ColSeq);
            QStringList want = ascending;
            if (!up) std::reverse(want.begin(), want.end());
            QCOMPARE(Column(page, Page::ColSeq), want);
        }
        // The check mark stays with its user through the sorts.
        QVERIFY(page.List()->item(RowOf(page, 5), 0)->checkState() == Qt::Checked &&
                page.List()->item(RowOf(page, 6), 0)->checkState() == Qt::Unchecked);
        // Another column: the one flag flips again, so this is descending.
        emit page.List()->horizontalHeader()->sectionClicked(Page::ColName);
        QCOMPARE(b.sortcolumn, 4);
        // A rebuild keeps the order, counts again, shows dates in the chosen order.
        PutUser(11, "u11", "a11");
        b.totaluser = 77;
        const char* dates[] = {"2024-03-07 / 14:25:01", "03-07-2024 / 14:25:01", "07-03-2024 / 14:25:01"};
        for (int order = 0; order < 3; ++order) {
            b.dateorder = order;
            QVERIFY(PostMessage(Wnd::UserList, msg::MSG_USERLIST_REBUILD));
            QTRY_COMPARE(page.List()->item(0, Page::ColDate)->text(), QString(dates[order]));
        }
        QCOMPARE(Column(page, Page::ColName).first() + page.TotalText(), QString("n911"));
        QCOMPARE(b.totaluser, 11);
    }

    void importReplacesTheRegisterOrNothing()
    {
        PutUser(5, "keep", "me");
        emtask::GetManager()->SaveUserInfo();
        emtask::GetManager()->m_BusInfo.sortdirection = 1;
        Page page;
        const std::string tableBefore = TableBytes(), fileBefore = FileBytes();
        const std::string path = *home / "in.xlsx";
        // A refused file changes nothing and says why.
        const std::pair<const char*, const char*> refused[] = {{"missing", "could not be opened"},
                                                               {"text", "not a readable .xlsx workbook"},
                                                               {"duplicate", "There are same Name or ID \n => Kim"}};
        for (auto [kind, message] : refused) {
            if (kind == std::string("text")) WriteAll(path, "User ID,User Name\nA,B\n");
            if (kind == std::string("duplicate"))
                QVERIFY(WriteWorkbook(path, InlineRows({{"A1", "User ID"}, {"A2", "Kim"}, {"B2", "X"}, {"C2", "Y"}, {"D2", "Kim"}})));
            dialogs->shown.clear();
            page.LoadXlsx(QString::fromStdString(path));
            WaitIdle(page);
            QCOMPARE(dialogs->shown.size(), size_t(1));
            QVERIFY2(dialogs->shown[0].text.contains(message), qPrintable(dialogs->shown[0].text));
            QVERIFY(TableBytes() == tableBefore && FileBytes() == fileBefore);
            QCOMPARE(Column(page, Page::ColId), QStringList{"keep"});
        }
        QVERIFY(WriteWorkbook(path, InlineRows({{"B2", "User ID"}, {"C2", "User Name"}, {"B3", "A1"}, {"C3", "Kim"},
                                                {"B4", "B2"}, {"C4", "Lee"}})));
        dialogs->shown.clear();
        page.LoadXlsx(QString::fromStdString(path));
        WaitIdle(page);
        QCOMPARE(Column(page, Page::ColId), (QStringList{"A1", "B2"}));
        QCOMPARE(page.TotalText(), QString("2"));
        QVERIFY(FileBytes() == TableBytes());
        QVERIFY(dialogs->shown.empty());
    }

    void loadFileWarnsBeforeReplacing()
    {
        PutUser(1, "a", "b");
        Page page;
        dialogs->buttonAnswers = {QMessageBox::Cancel, QMessageBox::Ok};
        for (int i = 0; i < 2; ++i) {
            page.OnBnClickedBtnLoadFile();
            QCoreApplication::processEvents();  // message 101 opens the file dialog
        }
        QCOMPARE(dialogs->shown.size(), size_t(3));
        QCOMPARE(dialogs->shown[0].text, QString("Existing user data will be deleted.\nDo you still want to proceed?"));
        QCOMPARE(dialogs->shown[2].kind, QString("open"));
        QVERIFY(!page.Busy());  // a cancelled dialog starts nothing
    }

    void exportRunsOnAWorkerAndReportsFailure()
    {
        PutUser(1, "A1", "Kim");
        PutUser(3, "C3", "Lee");
        Page page;
        dialogs->fileAnswers.push_back(QString::fromStdString(*home / "out"));  // no suffix given
        page.OnBnClickedBtnSaveAs();
        WaitIdle(page);
        QVERIFY(page.isEnabled() && !page.Progress()->isVisible());
        QCOMPARE(xlsx::ReadActiveSheet(*home / "out.xlsx").cells.back().row, 7u);
        QVERIFY(dialogs->messages().isEmpty());

        page.SaveXlsx(QString::fromStdString(*home / "missing/dir/x.xlsx"));
        QVERIFY(!page.isEnabled());
        WaitIdle(page);
        QVERIFY(page.isEnabled());
        QCOMPARE(dialogs->messages(), QStringList{"It failed to save "});

        // An export that fails at the last step leaves the earlier workbook whole.
        const std::vector<char> old = ReadBytes(*home / "out.xlsx");
        PutUser(5, "E5", "Park");
        emtask::iofault::Arm(1, EIO, emtask::iofault::kRename);
        page.SaveXlsx(QString::fromStdString(*home / "out.xlsx"));
        WaitIdle(page);
        emtask::iofault::Disarm();
        QCOMPARE(dialogs->messages().size(), 2);
        QVERIFY(ReadBytes(*home / "out.xlsx") == old);
        QVERIFY(!QFile::exists(QString::fromStdString(*home / "out.xlsx.tmp")));
    }

    void progressBarTextsAndBounds()
    {
        ProgressTextInfo info;
        info.total = 1500;
        info.lastSlot = 999;
        QCOMPARE(ProgressText(info, 250, 1000), QString("Total:1500 (1-1000), Current :250(25%)"));
        QCOMPARE(ProgressText(info, 1000, 1000), QString("Preparing to display..."));
        info.context = 1;
        const struct {
            ProgressPhase phase;
            int pos, max;
            const char* text;
        } texts[] = {
            {ProgressPhase::Display, 1, 3, "Total:1500, Current :1(33%)"},
            {ProgressPhase::PhotoCopy, 2, 3, "Photo Save Total:1500, Current :2(67%)"},
            {ProgressPhase::PhotoCopy, 3, 3, "Checking to save data..."},
            {ProgressPhase::Workbook, 200000, 400000, "Data saving part of the entire data set... :200000(50%)"},
            {ProgressPhase::Workbook, 5, 400000, ".xlsx Data Save Total:1500, Current :5(0%)"},
            {ProgressPhase::Workbook, 9, 9, "Checking to save xlsx data..."},
        };
        for (const auto& t : texts) {
            info.phase = t.phase;
            QCOMPARE(ProgressText(info, t.pos, t.max), QString(t.text));
        }

        CLoadDataDlg dlg;
        dlg.Bar()->SetRange(0, 0);
        QCOMPARE(dlg.Bar()->Text(), QString());  // nothing drawn, no division by zero
        dlg.Start(2, nullptr);
        for (int step : {1, 2, 2}) QCOMPARE(dlg.Bar()->StepIt(), step);  // clamped at the end
        dlg.Bar()->SetPos(-5);
        QCOMPARE(dlg.Bar()->GetPos(), 0);
    }
};

QTEST_MAIN(TestUserPage)
#include "tst_userpage.moc"
