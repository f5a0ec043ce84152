// Identifying the subject of a test among the registered users.
#include "MeasureFixture.h"

#include "controls/Dialogs.h"
#include "messaging/Messages.h"
#include "users/CIDentry.h"

#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <QtTest>

namespace {
// A user file written as the register writes it, then loaded.
void LoadUsers(const TempHome& home, std::initializer_list<std::tuple<int, const char*, const char*>> users)
{
    WriteUsers(home, users);
    QCOMPARE(emtask::GetManager()->LoadUserInfo((home / "conf/userinfo.conf").c_str()), 1);
}

void Enter(CIDentry& w, const QString& text)
{
    w.Entry()->setText(text);
    QTest::keyClick(w.Entry(), Qt::Key_Return);
}
}  // namespace

class TestIDentry : public QObject {
    Q_OBJECT
private slots:
    void lookupByIdThenName()
    {
        TempHome home;
        LoadUsers(home, {{3, "kim01", "Kim"}, {5, "Lee", "Park"}, {9, "p9", "Lee"}});
        QCOMPARE(FindSubjectSlot("kim01"), 3);
        QCOMPARE(FindSubjectSlot("Kim"), 3);
        // "Lee" is slot 5's ID and slot 9's name: the lower slot wins.
        QCOMPARE(FindSubjectSlot("Lee"), 5);
        QCOMPARE(FindSubjectSlot("kim"), -1);
        QCOMPARE(FindSubjectSlot("KIM01"), -1);
        QCOMPARE(FindSubjectSlot("Ki"), -1);
        // Empty entry: slot 0 and free slots are never a subject.
        QCOMPARE(FindSubjectSlot(""), -1);
    }

    void matchFillsSubjectAndStartsTest()
    {
        TempHome home;
        LoadUsers(home, {{42, "ID-42", "이순신"}});
        ScriptedDialogs dialogs;
        MainStandIn main;
        main.show();
        CIDentry w;
        main.setEnabled(false);
        w.ShowCentred();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        Enter(w, QString::fromUtf8("이순신"));
        QVERIFY(!w.isVisible());
        QVERIFY(dialogs.shown.empty());
        const emtask::BusInfo& b = emtask::GetManager()->m_BusInfo;
        QCOMPARE(std::string(b.subjectno), std::string("42"));
        QCOMPARE(std::string(b.subjectid), std::string("ID-42"));
        QCOMPARE(std::string(b.subjectname), std::string("이순신"));
        QTRY_COMPARE(main.got.size(), size_t(1));
        QCOMPARE(main.got[0].first, msg::MSG_DEVICE_COMMAND);
        QCOMPARE(main.got[0].second, intptr_t(msg::DEVICE_COMMAND_START_TEST));
        QVERIFY(!main.isEnabled());
    }

    void noMatchKeepsEntryForCorrection()
    {
        TempHome home;
        LoadUsers(home, {{1, "abc", "Abc"}});
        ScriptedDialogs dialogs;
        MainStandIn main;
        CIDentry w;
        w.ShowCentred();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::keyClicks(w.Entry(), QString(35, 'a'));
        QCOMPARE(w.Entry()->text().size(), 30);
        for (const char* wrong : {"ABC", ""}) {
            Enter(w, wrong);
            QVERIFY(w.isVisible());
            QVERIFY(w.isEnabled());
            QCOMPARE(w.Entry()->text(), QString(wrong));
            QVERIFY(!main.isEnabled());
        }
        QCOMPARE(dialogs.messages(), QStringList({"Please check your ID or name.",
                                                  "Please check your ID or name."}));
        QCOMPARE(dialogs.shown[0].title, QString("ID or Name recognition"));
        QCoreApplication::processEvents();
        QVERIFY(main.got.empty());
        QCOMPARE(emtask::GetManager()->m_BusInfo.subjectno[0], '\0');

        // Close: the main window is back and the entry cleared.
        QTest::mouseClick(w.CloseButton(), Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QVERIFY(main.isEnabled());
        QVERIFY(w.Entry()->text().isEmpty());
    }

    void fullCounterLocksIdentification()
    {
        TempHome home;
        LoadUsers(home, {{1, "abc", "Abc"}});
        emtask::GetManager()->m_BusInfo.recordcnt = emtask::kMaxStoredCounter;
        ScriptedDialogs dialogs;
        MainStandIn main;
        main.setEnabled(false);
        CIDentry w;
        w.ShowCentred();
        QTRY_COMPARE(dialogs.shown.size(), size_t(1));
        QCOMPARE(dialogs.shown[0].title, QString("Data"));
        QCOMPARE(dialogs.shown[0].text,
                 QString("The memory on ZOLT7 is almost full.\nPlease save the data on your computer immediately."));
        // Locked: only the close button is left, and it alone gives the main
        // window back.
        QVERIFY(w.isEnabled());
        QVERIFY(!w.OkButton()->isEnabled());
        QVERIFY(!w.Entry()->isEnabled());
        QVERIFY(!main.isEnabled());
        w.OnOk();
        QCoreApplication::processEvents();
        QVERIFY(main.got.empty());
        QTest::mouseClick(w.CloseButton(), Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QVERIFY(main.isEnabled());
    }

    void identificationModeZeroDisablesEntry()
    {
        TempHome home;
        emtask::GetManager()->m_BusInfo.idmode = 0;
        CIDentry w;
        w.ShowCentred();
        QTRY_VERIFY(!w.OkButton()->isEnabled());
        QVERIFY(!w.Entry()->isEnabled());
        w.OnClose();
        emtask::GetManager()->m_BusInfo.idmode = 2;
        w.ShowCentred();
        QTRY_VERIFY(w.OkButton()->isEnabled());
        QVERIFY(w.Entry()->isEnabled());
    }
};

QTEST_MAIN(TestIDentry)
#include "tst_identry.moc"
