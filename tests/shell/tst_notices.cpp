// The notice windows: which windows wait and which get control back, and the
// notices the operator cannot dismiss.
#include "ShellFixture.h"
#include "controls/Dialogs.h"
#include "controls/SkinButton.h"
#include "messaging/Notices.h"
#include "messaging/WindowOps.h"
#include "shell/COptionDlg.h"
#include "users/CIDentry.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <algorithm>

namespace {
// The windows of the main window that wait for notices.
enum class Waiter { Main, Settings, UserList, PrintPage, IDentry };

// A notice (over notice `before`, if set), the windows that wait for it, and
// its dismissal (0: OK, else how its caller closes it).
struct NoticeCase {
    const char* name;
    bool error;  // CMsgError, else CMsg
    int before, number;
    const char* text;
    std::vector<Waiter> waiting;
    int dismiss;
};

const NoticeCase kNoticeCases[] = {
    {"user deletion",
     false,
     0,
     int(MsgNotice::UserListDelete),
     "Existing user data will be deleted.\nDo you still want to proceed?",
     {Waiter::UserList, Waiter::Settings},
     0},
    {"progress",
     false,
     0,
     int(MsgNotice::CameraWait),
     nullptr,
     {Waiter::IDentry},
     int(MsgClose::IdentryReady)},
    {"memory full",
     true,
     0,
     int(ErrorNotice::MemoryFullIdentry),
     nullptr,
     {Waiter::Main, Waiter::IDentry},
     0},
    {"print form error",
     true,
     0,
     int(ErrorNotice::PrintForm),
     nullptr,
     {Waiter::Settings, Waiter::PrintPage},
     0},
    {"port error over another",
     true,
     int(ErrorNotice::UserId),
     int(ErrorNotice::DeviceLink),
     "Please check the communication status of the device.",
     {Waiter::Main},
     0},
};
}  // namespace

class TestNotices : public QObject {
    Q_OBJECT
    std::unique_ptr<TestFolder> folder;
    std::unique_ptr<CVelmoraViewDlg> main;

    CMsg* msgWnd() { return main->msgWindow(); }
    CMsgError* errWnd() { return main->msgErrorWindow(); }
    CIDentry* idEntry() { return qobject_cast<CIDentry*>(WindowWidget(Wnd::IDentry)); }
    QWidget* window(Waiter w)
    {
        switch (w) {
        case Waiter::Main: return main.get();
        case Waiter::Settings: return main->settingsWindow();
        case Waiter::UserList: return main->settingsWindow()->page(int(SettingsPage::Registration));
        case Waiter::PrintPage: return main->settingsWindow()->page(int(SettingsPage::PrintSetting));
        case Waiter::IDentry: return idEntry();
        }
        return nullptr;
    }
    void show(bool error, int number)
    {
        if (error)
            ShowNotice(ErrorNotice(number));
        else
            ShowNotice(MsgNotice(number));
    }
    void settle()
    {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }

private slots:
    void init()
    {
        folder = std::make_unique<TestFolder>();
        main = MakeMainWindow();
        settle();
    }
    void cleanup()
    {
        main.reset();
        folder.reset();
    }

    void waitingWindowsGetControlBackOnDismissal()
    {
        for (const NoticeCase& c : kNoticeCases) {
            ScriptedDialogs dialogs;
            CNotice* notice = c.error ? static_cast<CNotice*>(errWnd()) : msgWnd();
            if (c.before) show(c.error, c.before);
            show(c.error, c.number);
            settle();
            QVERIFY2(notice->isVisible(), c.name);
            if (c.text) QCOMPARE(notice->message(), QString(c.text));
            for (Waiter w : c.waiting) QVERIFY2(!window(w)->isEnabled(), c.name);
            QCOMPARE(notice->okButton()->isVisible(), c.dismiss == 0);
            if (c.dismiss == 0)
                QTest::mouseClick(notice->okButton(), Qt::LeftButton);
            else if (c.error)
                errWnd()->Close(ErrorClose(c.dismiss));
            else
                msgWnd()->Close(MsgClose(c.dismiss));
            settle();
            QVERIFY2(!notice->isVisible(), c.name);
            QTRY_VERIFY2(std::all_of(c.waiting.begin(), c.waiting.end(),
                                     [this](Waiter w) { return window(w)->isEnabled(); }),
                         c.name);
            // What the answer starts: the confirmed deletion asks for the
            // file to import; the full memory leaves identification locked.
            const bool imports = !dialogs.shown.empty() && dialogs.shown[0].kind == "open";
            QCOMPARE(imports, c.number == int(MsgNotice::UserListDelete) && !c.error);
            if (c.error && c.number == int(ErrorNotice::MemoryFullIdentry))
                QVERIFY(!idEntry()->OkButton()->isEnabled() && !idEntry()->Entry()->isEnabled());
        }
    }

    // A deletion is confirmed only through OK; the camera change notice is
    // closed only by its caller.
    void noticesTheOperatorCannotConfirmOrClose()
    {
        ScriptedDialogs dialogs;
        QWidget* users = main->settingsWindow()->page(int(SettingsPage::Registration));
        ShowNotice(MsgNotice::UserListDelete);
        settle();
        QCOMPARE(msgWnd()->title(), QString("Warning"));
        QTest::mouseClick(msgWnd()->closeButton(), Qt::LeftButton);
        settle();
        QVERIFY(!msgWnd()->isVisible() && users->isEnabled() && main->settingsWindow()->isEnabled());
        QVERIFY(dialogs.shown.empty());

        ShowNotice(ErrorNotice::CameraChanged);
        settle();
        QVERIFY(!errWnd()->okButton()->isVisible() && !errWnd()->closeButton()->isEnabled());
        idEntry()->setEnabled(false);
        errWnd()->Close(ErrorClose::IdentryClosed);  // the caller closes it
        settle();
        QVERIFY(!errWnd()->isVisible() && idEntry()->isEnabled());
        ShowNotice(ErrorNotice::CameraCheck);  // the next notice can be closed again
        settle();
        QVERIFY(errWnd()->closeButton()->isEnabled() && errWnd()->okButton()->isVisible());
    }
};

QTEST_MAIN(TestNotices)
#include "tst_notices.moc"
