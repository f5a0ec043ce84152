#include "FileImage.h"
#include "StoreImage.h"
#include "controls/CLoadDataDlg.h"
#include "controls/Dialogs.h"
#include "messaging/WindowRegistry.h"
#include "users/COptionIDMngDlg.h"
#include "users/CRegUserDlg.h"
#include "users/UserExchange.h"

#include "UserTestUtil.h"

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

void Check(Page& page, int uid)
{
    page.List()->item(RowOf(page, uid), Page::ColSeq)->setCheckState(Qt::Checked);
}

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
        Page page(emtask::GetManager()->Users(), emtask::GetManager()->Settings());
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
                seen << dialogs->messages().last();
            }
            dlg->OnClose();
        });
        page.OnBnClickedBtnRegUser();
        QCOMPARE(seen, (QStringList{
                           "Please fill in ID.", "There are same ID or Name.\nPlease use another ID.",
                           "Please fill in Name.", "There are same ID or Name.\nPlease use another Name."}));
        QVERIFY(TableBytes() == tableBefore);
        QVERIFY(FileBytes() == fileBefore);

        WhenRegistrationOpens([&](CRegUserDlg* dlg) {
            dlg->IdEdit()->setText("C300");
            dlg->NameEdit()->setText("Park");
            dlg->OnOK();
        });
        page.OnBnClickedBtnRegUser();
        QCOMPARE(FileBytes().substr(3 * 148 + 20, 5), std::string("C300\0", 5));
        QCoreApplication::processEvents();  // the rebuild the window posted
        QVERIFY(Column(page, Page::ColId).contains("C300"));
        QCOMPARE(page.TotalText(), QString("3"));
    }

    void modifyWithoutChangesTakesANewTimeStamp()
    {
        // An ID longer than can be typed, as a workbook may bring: kept whole.
        const std::string longId = "B200-imported-long-1";
        PutUser(2, longId, "Lee");
        std::memcpy(Table()[2].year, "20000101000000", 14);
        Page page(emtask::GetManager()->Users(), emtask::GetManager()->Settings());
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
        Page page(emtask::GetManager()->Users(), emtask::GetManager()->Settings());
        const std::string path = *home / "in.xlsx";
        QVERIFY(WriteWorkbook(
            path, InlineRows({{"A1", "User ID"}, {"A2", "X1"}, {"B2", "Y1"}, {"A3", "X2"}, {"B3", "Y2"}})));
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

    void deleteCheckedThenAll()
    {
        for (int s = 1; s <= 3; ++s) PutUser(s, "i" + std::to_string(s), "n" + std::to_string(s));
        Page page(emtask::GetManager()->Users(), emtask::GetManager()->Settings());
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
        Page page(emtask::GetManager()->Users(), emtask::GetManager()->Settings());
        const int strayRow = Column(page, Page::ColId).indexOf("stray");
        page.List()->item(strayRow, Page::ColSeq)->setCheckState(Qt::Checked);
        dialogs->buttonAnswers.push_back(QMessageBox::Ok);
        page.OnBnClickedBtnDelete();
        QCOMPARE(Table()[7].uid, 0);
        QCOMPARE(Column(page, Page::ColId), QStringList{"real"});
    }

    void importReplacesTheRegisterOrNothing()
    {
        PutUser(5, "keep", "me");
        emtask::GetManager()->SaveUserInfo();
        emtask::StoreImage::Settings(*emtask::GetManager()).sortdirection = 1;
        Page page(emtask::GetManager()->Users(), emtask::GetManager()->Settings());
        const std::string tableBefore = TableBytes(), fileBefore = FileBytes();
        const std::string path = *home / "in.xlsx";
        // A refused file changes nothing and says why.
        const std::pair<const char*, const char*> refused[] = {
            {"missing", "could not be opened"},
            {"text", "not a readable .xlsx workbook"},
            {"duplicate", "There are same Name or ID \n => Kim"}};
        for (auto [kind, message] : refused) {
            if (kind == std::string("text")) WriteAll(path, "User ID,User Name\nA,B\n");
            if (kind == std::string("duplicate"))
                QVERIFY(WriteWorkbook(
                    path,
                    InlineRows({{"A1", "User ID"}, {"A2", "Kim"}, {"B2", "X"}, {"C2", "Y"}, {"D2", "Kim"}})));
            dialogs->shown.clear();
            page.LoadXlsx(QString::fromStdString(path));
            WaitIdle(page);
            QCOMPARE(dialogs->shown.size(), size_t(1));
            QVERIFY2(dialogs->shown[0].text.contains(message), qPrintable(dialogs->shown[0].text));
            QVERIFY(TableBytes() == tableBefore && FileBytes() == fileBefore);
            QCOMPARE(Column(page, Page::ColId), QStringList{"keep"});
        }
        QVERIFY(WriteWorkbook(path, InlineRows({{"B2", "User ID"},
                                                {"C2", "User Name"},
                                                {"B3", "A1"},
                                                {"C3", "Kim"},
                                                {"B4", "B2"},
                                                {"C4", "Lee"}})));
        dialogs->shown.clear();
        page.LoadXlsx(QString::fromStdString(path));
        WaitIdle(page);
        QCOMPARE(Column(page, Page::ColId), (QStringList{"A1", "B2"}));
        QCOMPARE(page.TotalText(), QString("2"));
        QVERIFY(FileBytes() == TableBytes());
        QVERIFY(dialogs->shown.empty());
    }

    void exportRunsOnAWorkerAndReportsFailure()
    {
        PutUser(1, "A1", "Kim");
        PutUser(3, "C3", "Lee");
        Page page(emtask::GetManager()->Users(), emtask::GetManager()->Settings());
        dialogs->fileAnswers.push_back(QString::fromStdString(*home / "out"));  // no suffix given
        page.OnBnClickedBtnSaveAs();
        WaitIdle(page);
        QVERIFY(page.isEnabled() && !page.Progress()->isVisible());
        QCOMPARE(xlsx::ReadActiveSheet(*home / "out.xlsx").cells.back().row, 7u);
        QVERIFY(dialogs->messages().isEmpty());

        // An export that fails at the last step says so and leaves the earlier workbook whole.
        const std::vector<char> old = ReadBytes(*home / "out.xlsx");
        PutUser(5, "E5", "Park");
        emtask::iofault::Arm(1, EIO, emtask::iofault::kRename);
        page.SaveXlsx(QString::fromStdString(*home / "out.xlsx"));
        QVERIFY(!page.isEnabled());
        WaitIdle(page);
        emtask::iofault::Disarm();
        QVERIFY(page.isEnabled());
        QCOMPARE(dialogs->messages().size(), 1);
        QVERIFY2(dialogs->messages()[0].startsWith("It failed to save " +
                                                   QString::fromStdString(*home / "out.xlsx") +
                                                   "\ncannot put in place"),
                 qPrintable(dialogs->messages()[0]));
        QVERIFY(ReadBytes(*home / "out.xlsx") == old);
        QVERIFY(!QFile::exists(QString::fromStdString(*home / "out.xlsx.tmp")));
    }
};

QTEST_MAIN(TestUserPage)
#include "tst_userpage.moc"
