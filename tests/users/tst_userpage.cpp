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

QStringList Column(const COptionIDMngDlg& page, int col)
{
    QStringList out;
    for (int r = 0; r < page.List()->rowCount(); ++r) out << page.List()->item(r, col)->text();
    return out;
}

int RowOf(const COptionIDMngDlg& page, int uid)
{
    return Column(page, COptionIDMngDlg::ColSeq).indexOf(QString::number(uid));
}

void Check(COptionIDMngDlg& page, int uid)
{
    page.List()->item(RowOf(page, uid), COptionIDMngDlg::ColSeq)->setCheckState(Qt::Checked);
}

void WaitIdle(COptionIDMngDlg& page)
{
    QTRY_VERIFY_WITH_TIMEOUT(!page.Busy(), 10000);
    QCoreApplication::processEvents();  // the posted rebuild
}

}  // namespace

class TestUserPage : public QObject {
    Q_OBJECT
private slots:
    void registrationStoresFirstUserAndSaves()
    {
        TestFolder home;
        ScriptedDialogs dialogs;
        COptionIDMngDlg page;
        QCOMPARE(page.TotalText(), QString("0"));
        bool driven = false;
        WhenRegistrationOpens([&](CRegUserDlg* dlg) {
            QCOMPARE(dlg->nUID, 1);
            QCOMPARE(dlg->m_RegType, 0);
            QTest::keyClicks(dlg->IdEdit(), "ABCDEFGHIJKLMNOPQRST");
            QCOMPARE(dlg->IdEdit()->text(), QString("ABCDEFGHIJKLMNO"));  // 15 characters typed at most
            dlg->IdEdit()->clear();
            QTest::keyClicks(dlg->IdEdit(), "A100");
            dlg->NameEdit()->setText("Kim");
            QTest::keyClick(dlg->IdEdit(), Qt::Key_Return);  // Enter confirms from any field
            driven = true;
        });
        page.OnBnClickedBtnRegUser();
        QVERIFY(driven);
        QCOMPARE(Table()[1].uid, 1);
        QCOMPARE(emtask::GetManager()->m_BusInfo.totaluser, 1);
        const std::string file = FileBytes();
        QCOMPARE(file.size(), kTableBytes);
        QCOMPARE(file.substr(148 + 20, 5), std::string("A100\0", 5));
        QCoreApplication::processEvents();  // the rebuild the window posted
        QCOMPARE(Column(page, COptionIDMngDlg::ColSeq), QStringList{"1"});
        QCOMPARE(Column(page, COptionIDMngDlg::ColId), QStringList{"A100"});
        QCOMPARE(page.TotalText(), QString("1"));
    }

    void refusalsKeepTheWindowOpenAndCloseChangesNothing()
    {
        TestFolder home;
        PutUser(1, "A100", "Kim");
        PutUser(2, "B200", "Lee");
        std::filesystem::create_directories(emtask::ConfDir());
        emtask::GetManager()->SaveUserInfo();
        ScriptedDialogs dialogs;
        COptionIDMngDlg page;
        const std::string tableBefore = TableBytes(), fileBefore = FileBytes();
        QStringList seen;
        WhenRegistrationOpens([&](CRegUserDlg* dlg) {
            QCOMPARE(dlg->nUID, 3);
            const std::pair<const char*, const char*> tries[] = {
                {"", ""}, {"Kim", "X"}, {"C300", ""}, {"C300", "A100"}};
            for (auto [id, name] : tries) {
                dlg->IdEdit()->setText(id);
                dlg->NameEdit()->setText(name);
                dlg->OnOK();
                QVERIFY(dlg->isVisible());
                seen << dialogs.messages().last();
            }
            QTest::keyClick(dlg, Qt::Key_Escape);  // swallowed
            QVERIFY(!dlg->close());                // so is a close from the window manager
            QVERIFY(dlg->isVisible());
            dlg->OnClose();
        });
        page.OnBnClickedBtnRegUser();
        QCOMPARE(seen, (QStringList{"Please fill in ID.", "There are same ID or Name.\nPlease use another ID.",
                                    "Please fill in Name.",
                                    "There are same ID or Name.\nPlease use another Name."}));
        QVERIFY(TableBytes() == tableBefore);
        QVERIFY(FileBytes() == fileBefore);
        QCOMPARE(emtask::GetManager()->m_BusInfo.totaluser, 2);
    }

    void modifyWithoutChangesTakesANewTimeStamp()
    {
        TestFolder home;
        // An ID longer than can be typed, as a workbook may bring: kept whole.
        const std::string longId = "B200-imported-long-1";
        PutUser(2, longId, "Lee");
        std::memcpy(Table()[2].year, "20000101000000", 14);
        ScriptedDialogs dialogs;
        COptionIDMngDlg page;
        WhenRegistrationOpens([&](CRegUserDlg* dlg) {
            QCOMPARE(dlg->IdEdit()->text(), QString::fromStdString(longId));
            QTest::keyClick(dlg->IdEdit(), Qt::Key_End);
            QTest::keyClick(dlg->IdEdit(), Qt::Key_Backspace);
            QTest::keyClicks(dlg->IdEdit(), "1");  // edited back to what it was
            QCOMPARE(dlg->NameEdit()->text(), QString("Lee"));
            dlg->OnOK();
        });
        // A click in the row's "Modify" cell.
        emit page.List()->cellClicked(RowOf(page, 2), COptionIDMngDlg::ColModify);
        const QString year = QString::number(QDate::currentDate().year());
        QCOMPARE(QString::fromLatin1(Table()[2].year, 4), year);
        QCOMPARE(Table()[2].uid, 2);
        QCOMPARE(std::string(Table()[2].cusid), longId);
        QCOMPARE(emtask::GetManager()->m_BusInfo.totaluser, 1);
        QCOMPARE(FileBytes().substr(2 * 148, 4), year.toStdString());
    }

    void modifyWindowNeverWritesOverAUserAnImportBroughtIn()
    {
        TestFolder home;
        PutUser(2, "B200", "Lee");
        emtask::GetManager()->SaveUserInfo();
        ScriptedDialogs dialogs;
        COptionIDMngDlg page;
        const std::string path = home / "in.xlsx";
        QVERIFY(WriteWorkbook(path, "<row r=\"1\">" + InlineCell("A1", "User ID") + "</row><row r=\"2\">" +
                                        InlineCell("A2", "X1") + InlineCell("B2", "Y1") + "</row><row r=\"3\">" +
                                        InlineCell("A3", "X2") + InlineCell("B3", "Y2") + "</row>"));
        WhenRegistrationOpens([&](CRegUserDlg* dlg) {
            // The import ends while the window is open: slot 2 is someone else now.
            page.LoadXlsx(QString::fromStdString(path));
            QTRY_VERIFY_WITH_TIMEOUT(!page.Busy(), 10000);
            QCOMPARE(std::string(Table()[2].cusid), std::string("X2"));
            dlg->NameEdit()->setText("Changed");
            dlg->OnOK();
        });
        emit page.List()->cellClicked(RowOf(page, 2), COptionIDMngDlg::ColModify);
        QCOMPARE(std::string(Table()[2].cusid), std::string("X2"));
        QCOMPARE(std::string(Table()[2].uname), std::string("Y2"));
        QVERIFY(FileBytes() == TableBytes());
        QVERIFY2(dialogs.messages().last().contains("replaced"), qPrintable(dialogs.messages().last()));
    }

    void fullRegisterRefusesRegisterId()
    {
        TestFolder home;
        for (int s = 1; s < emtask::kMaxUsers; ++s) PutUser(s, "i" + std::to_string(s), "n" + std::to_string(s));
        ScriptedDialogs dialogs;
        COptionIDMngDlg page;
        QCOMPARE(page.TotalText(), QString("9999"));
        bool opened = false;
        WhenRegistrationOpens([&](CRegUserDlg* dlg) { opened = true; dlg->OnClose(); });
        page.OnBnClickedBtnRegUser();
        QVERIFY(!opened);
        QCOMPARE(dialogs.shown.back().title, QString("Register ID"));
        QVERIFY(dialogs.shown.back().text.contains("full"));
        QCOMPARE(Table()[0].uid, 0);
    }

    void deleteCheckedUsers()
    {
        TestFolder home;
        for (int s = 1; s <= 3; ++s) PutUser(s, "i" + std::to_string(s), "n" + std::to_string(s));
        ScriptedDialogs dialogs;
        COptionIDMngDlg page;
        const std::string before = TableBytes();

        page.OnBnClickedBtnDelete();  // nothing checked
        QCOMPARE(dialogs.shown.back().text, QString("Please check the checkbox you want to delete ID "));
        QVERIFY(TableBytes() == before);
        QVERIFY(!QFile::exists(QString::fromStdString(emtask::UserInfoPath())));

        Check(page, 1);
        Check(page, 3);
        dialogs.buttonAnswers.push_back(QMessageBox::Cancel);
        page.OnBnClickedBtnDelete();
        QCOMPARE(dialogs.shown.back().text, QString("Are you sure you want to delete the checked ID?"));
        QVERIFY(TableBytes() == before);
        QVERIFY(FileBytes() == before);  // written, unchanged

        Check(page, 1);
        Check(page, 3);
        dialogs.buttonAnswers.push_back(QMessageBox::Ok);
        page.OnBnClickedBtnDelete();
        QCOMPARE(Table()[1].uid, 0);
        QCOMPARE(Table()[3].uid, 0);
        QCOMPARE(Table()[2].uid, 2);
        QCOMPARE(Column(page, COptionIDMngDlg::ColSeq), QStringList{"2"});
        QCOMPARE(page.TotalText(), QString("1"));
        QVERIFY(FileBytes() == TableBytes());
    }

    void damagedSlotNumbersNeverReachAnotherUser()
    {
        TestFolder home;
        PutUser(3, "real", "user");
        PutUser(7, "stray", "entry");
        Table()[7].uid = 3;  // a damaged file: the number names slot 3
        ScriptedDialogs dialogs;
        COptionIDMngDlg page;
        QCOMPARE(page.List()->rowCount(), 2);
        const int strayRow = Column(page, COptionIDMngDlg::ColId).indexOf("stray");
        page.List()->item(strayRow, COptionIDMngDlg::ColSeq)->setCheckState(Qt::Checked);
        dialogs.buttonAnswers.push_back(QMessageBox::Ok);
        page.OnBnClickedBtnDelete();
        QCOMPARE(Table()[7].uid, 0);
        QCOMPARE(std::string(Table()[3].cusid), std::string("real"));
        QCOMPARE(Column(page, COptionIDMngDlg::ColId), QStringList{"real"});
    }

    void deleteAll()
    {
        TestFolder home;
        PutUser(1, "a", "b");
        PutUser(7, "c", "d");
        ScriptedDialogs dialogs;
        COptionIDMngDlg page;
        dialogs.buttonAnswers.push_back(QMessageBox::Cancel);
        page.OnBnClickedBtnDeleteAll();
        QCOMPARE(dialogs.shown.back().title, QString("All Delete"));
        QCOMPARE(page.List()->rowCount(), 2);
        dialogs.buttonAnswers.push_back(QMessageBox::Ok);
        page.OnBnClickedBtnDeleteAll();
        QCOMPARE(page.List()->rowCount(), 0);
        QCOMPARE(page.TotalText(), QString("0"));
        QVERIFY(FileBytes() == std::string(kTableBytes, '\0'));
    }

    void headerClicksSortByteOrderBothWays()
    {
        TestFolder home;
        for (int s = 1; s <= 10; ++s) PutUser(s, "u" + std::to_string(s), "n" + std::to_string(s));
        emtask::GetManager()->m_BusInfo.sortdirection = 1;
        ScriptedDialogs dialogs;
        COptionIDMngDlg page;
        Check(page, 5);
        emit page.List()->horizontalHeader()->sectionClicked(COptionIDMngDlg::ColSeq);
        const QStringList first = Column(page, COptionIDMngDlg::ColSeq);
        emit page.List()->horizontalHeader()->sectionClicked(COptionIDMngDlg::ColSeq);
        const QStringList second = Column(page, COptionIDMngDlg::ColSeq);
        const QStringList ascending{"1", "10", "2", "3", "4", "5", "6", "7", "8", "9"};
        QStringList descending = ascending;
        std::reverse(descending.begin(), descending.end());
        QCOMPARE(first, descending);
        QCOMPARE(second, ascending);
        QCOMPARE(emtask::GetManager()->m_BusInfo.sortcolumn, 0);
        QCOMPARE(emtask::GetManager()->m_BusInfo.sortdirection, 1);
        // The check mark stays with its user through the sorts.
        QCOMPARE(page.List()->item(RowOf(page, 5), 0)->checkState(), Qt::Checked);
        QCOMPARE(page.List()->item(RowOf(page, 6), 0)->checkState(), Qt::Unchecked);
        // Another column: the one flag flips again, so this is descending.
        emit page.List()->horizontalHeader()->sectionClicked(COptionIDMngDlg::ColName);
        QCOMPARE(Column(page, COptionIDMngDlg::ColName).first(), QString("n9"));
        QCOMPARE(emtask::GetManager()->m_BusInfo.sortcolumn, 4);
        // A rebuild keeps the stored order.
        PostMessage(Wnd::UserList, msg::MSG_USERLIST_REBUILD);
        QCoreApplication::processEvents();
        QCOMPARE(Column(page, COptionIDMngDlg::ColName).first(), QString("n9"));
    }

    void rebuildShowsRowCountAndDateOrder()
    {
        TestFolder home;
        PutUser(1, "a", "b");
        PutUser(4, "c", "d");
        ScriptedDialogs dialogs;
        emtask::BusInfo& b = emtask::GetManager()->m_BusInfo;
        b.dateorder = 0;
        COptionIDMngDlg page;
        QCOMPARE(page.List()->item(0, COptionIDMngDlg::ColDate)->text(), QString("2024-03-07 / 14:25:01"));
        PutUser(9, "e", "f");
        b.totaluser = 77;
        b.dateorder = 1;
        QVERIFY(PostMessage(Wnd::UserList, msg::MSG_USERLIST_REBUILD));
        QTRY_COMPARE(page.TotalText(), QString("3"));
        QCOMPARE(b.totaluser, 3);
        QCOMPARE(page.List()->item(0, COptionIDMngDlg::ColDate)->text(), QString("03-07-2024 / 14:25:01"));
        b.dateorder = 2;
        PostMessage(Wnd::UserList, msg::MSG_USERLIST_REBUILD);
        QTRY_COMPARE(page.List()->item(0, COptionIDMngDlg::ColDate)->text(), QString("07-03-2024 / 14:25:01"));
        QCOMPARE(page.List()->rowHeight(0), 25);
    }

    void importReplacesTheRegister()
    {
        TestFolder home;
        PutUser(5, "old", "user");
        emtask::GetManager()->m_BusInfo.sortdirection = 1;
        ScriptedDialogs dialogs;
        COptionIDMngDlg page;
        const std::string path = home / "in.xlsx";
        QVERIFY(WriteWorkbook(path, "<row r=\"2\">" + InlineCell("B2", "User ID") + InlineCell("C2", "User Name") +
                                        "</row><row r=\"3\">" + InlineCell("B3", "A1") + InlineCell("C3", "Kim") +
                                        "</row><row r=\"4\">" + InlineCell("B4", "B2") + InlineCell("C4", "Lee") +
                                        "</row>"));
        page.LoadXlsx(QString::fromStdString(path));
        WaitIdle(page);
        QCOMPARE(Column(page, COptionIDMngDlg::ColId), (QStringList{"A1", "B2"}));
        QCOMPARE(page.TotalText(), QString("2"));
        QCOMPARE(Table()[5].uid, 0);
        QVERIFY(FileBytes() == TableBytes());
        QVERIFY(dialogs.shown.empty());
    }

    void importFaultsLeaveEverythingUnchanged_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("text file") << "text" << "not a readable .xlsx workbook";
        QTest::newRow("missing") << "missing" << "could not be opened";
        QTest::newRow("duplicate") << "duplicate" << "There are same Name or ID \n => Kim";
    }

    void importFaultsLeaveEverythingUnchanged()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        TestFolder home;
        PutUser(1, "keep", "me");
        emtask::GetManager()->SaveUserInfo();
        ScriptedDialogs dialogs;
        COptionIDMngDlg page;
        const std::string tableBefore = TableBytes(), fileBefore = FileBytes();
        const std::string path = home / "bad.xlsx";
        const std::string header = "<row r=\"1\">" + InlineCell("A1", "User ID") + "</row>";
        if (kind == "text") WriteAll(path, "User ID,User Name\nA,B\n");
        if (kind == "duplicate")
            QVERIFY(WriteWorkbook(path, header + "<row r=\"2\">" + InlineCell("A2", "Kim") + InlineCell("B2", "X") +
                                            InlineCell("C2", "Y") + InlineCell("D2", "Kim") + "</row>"));
        page.LoadXlsx(QString::fromStdString(path));
        WaitIdle(page);
        QCOMPARE(dialogs.shown.size(), size_t(1));
        QVERIFY2(dialogs.shown[0].text.contains(message), qPrintable(dialogs.shown[0].text));
        QVERIFY(TableBytes() == tableBefore);
        QVERIFY(FileBytes() == fileBefore);
        QCOMPARE(Column(page, COptionIDMngDlg::ColId), QStringList{"keep"});
    }

    void loadFileWarnsBeforeReplacing()
    {
        TestFolder home;
        PutUser(1, "a", "b");
        ScriptedDialogs dialogs;
        COptionIDMngDlg page;
        dialogs.buttonAnswers.push_back(QMessageBox::Cancel);
        page.OnBnClickedBtnLoadFile();
        QCoreApplication::processEvents();
        QCOMPARE(dialogs.shown.size(), size_t(1));
        QCOMPARE(dialogs.shown[0].text, QString("Existing user data will be deleted.\nDo you still want to proceed?"));
        dialogs.buttonAnswers.push_back(QMessageBox::Ok);
        page.OnBnClickedBtnLoadFile();
        QCoreApplication::processEvents();  // message 101 opens the file dialog
        QCOMPARE(dialogs.shown.back().kind, QString("open"));
        // Message 101 from elsewhere (the notice's OK) does the same.
        const size_t n = dialogs.shown.size();
        QVERIFY(PostMessage(Wnd::UserList, msg::MSG_USERLIST_IMPORT));
        QCoreApplication::processEvents();
        QCOMPARE(dialogs.shown.size(), n + 1);
        QCOMPARE(dialogs.shown.back().kind, QString("open"));
        QVERIFY(!page.Busy());  // cancelled dialogs start nothing
    }

    void exportRunsOnAWorkerAndReportsFailure()
    {
        TestFolder home;
        PutUser(1, "A1", "Kim");
        PutUser(3, "C3", "Lee");
        ScriptedDialogs dialogs;
        COptionIDMngDlg page;
        dialogs.fileAnswers.push_back(QString::fromStdString(home / "out"));  // no suffix given
        page.OnBnClickedBtnSaveAs();
        QVERIFY(!page.isEnabled() || !page.Busy());
        WaitIdle(page);
        QVERIFY(page.isEnabled());
        QVERIFY(!page.Progress()->isVisible());
        xlsx::ReadResult r = xlsx::ReadActiveSheet(home / "out.xlsx");
        QCOMPARE(int(r.error), int(xlsx::ReadError::None));
        QCOMPARE(r.cells.size(), size_t(7));
        QCOMPARE(r.cells.back().row, 7u);
        QVERIFY(dialogs.messages().isEmpty());

        page.SaveXlsx(QString::fromStdString(home / "missing/dir/x.xlsx"));
        QVERIFY(!page.isEnabled());
        WaitIdle(page);
        QVERIFY(page.isEnabled());
        QCOMPARE(dialogs.messages(), QStringList{"It failed to save "});
    }

    void progressBarTextsAndBounds()
    {
        ProgressTextInfo info;
        info.total = 1500;
        info.firstSlot = 0;
        info.lastSlot = 999;
        QCOMPARE(ProgressText(info, 250, 1000), QString("Total:1500 (1-1000), Current :250(25%)"));
        QCOMPARE(ProgressText(info, 1000, 1000), QString("Preparing to display..."));
        info.context = 1;
        QCOMPARE(ProgressText(info, 1, 3), QString("Total:1500, Current :1(33%)"));
        info.phase = ProgressPhase::PhotoCopy;
        QCOMPARE(ProgressText(info, 2, 3), QString("Photo Save Total:1500, Current :2(67%)"));
        QCOMPARE(ProgressText(info, 3, 3), QString("Checking to save data..."));
        info.phase = ProgressPhase::Workbook;
        QCOMPARE(ProgressText(info, 200000, 400000),
                 QString("Data saving part of the entire data set... :200000(50%)"));
        QCOMPARE(ProgressText(info, 5, 400000), QString(".xlsx Data Save Total:1500, Current :5(0%)"));
        QCOMPARE(ProgressText(info, 9, 9), QString("Checking to save xlsx data..."));

        CLoadDataDlg dlg;
        CProgressBar* bar = dlg.Bar();
        bar->SetRange(0, 0);
        QCOMPARE(bar->Text(), QString());  // nothing drawn, no division by zero
        QCOMPARE(bar->StepIt(), 0);
        dlg.Start(2, nullptr);
        QCOMPARE(bar->StepIt(), 1);
        QCOMPARE(bar->StepIt(), 2);
        QCOMPARE(bar->StepIt(), 2);  // clamped
        bar->SetPos(-5);
        QCOMPARE(bar->GetPos(), 0);
        // The filled part follows the position: none at 0, half at 1 of 2.
        bar->resize(200, 20);
        QCOMPARE(QColor(bar->grab().toImage().pixel(50, 1)), QColor(Qt::white));
        bar->SetPos(1);
        const QImage half = bar->grab().toImage();
        QCOMPARE(QColor(half.pixel(50, 1)), QColor(0, 100, 255));
        QCOMPARE(QColor(half.pixel(150, 1)), QColor(Qt::white));
    }
};

QTEST_MAIN(TestUserPage)
#include "tst_userpage.moc"
