// The main window against a pseudo-terminal standing in for the instrument.
#include "PtyPair.h"
#include "StoreImage.h"
#include "ShellFixture.h"
#include "EMTaskData.h"
#include "TextUtil.h"
#include "controls/Dialogs.h"
#include "controls/LimitedEdit.h"
#include "controls/SkinButton.h"
#include "devicelink/DLSerial.h"
#include "options/Password.h"
#include "shell/COptionDeviceDlg.h"
#include "shell/COptionDlg.h"
#include "messaging/Notices.h"
#include "messaging/WindowOps.h"
#include "users/CIDentry.h"

#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <cstring>
#include <filesystem>

using Button = CVelmoraViewDlg::Button;

class TestMainWindow : public QObject {
    Q_OBJECT
    std::unique_ptr<TestFolder> folder;
    std::unique_ptr<PtyPair> pty;
    std::unique_ptr<CVelmoraViewDlg> main;

    emtask::BusInfo& bus() { return emtask::StoreImage::Settings(*emtask::GetManager()); }
    void settle()
    {
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    }
    CSkinButton* btn(CVelmoraViewDlg::Button b) { return main->button(b); }
    bool connectedLook()
    {
        return btn(Button::Disconnect)->isVisible() && !btn(Button::Connect)->isVisible() &&
               !main->portList()->isEnabled() && btn(Button::Measure)->isEnabled();
    }
    bool disconnectedLook()
    {
        return !btn(Button::Disconnect)->isVisible() && btn(Button::Connect)->isVisible() &&
               main->portList()->isEnabled() && !btn(Button::Measure)->isEnabled();
    }
    void start(const QByteArray& ports)
    {
        qputenv("ZOLT7_PORTS", ports);
        main = MakeMainWindow();
        settle();
    }
    // Connects to the pty and answers nothing yet; returns what was sent.
    std::string connectToPty()
    {
        main->OnConnect();
        return pty->read(9);
    }
    COptionDeviceDlg* devicePage()
    {
        return qobject_cast<COptionDeviceDlg*>(main->settingsWindow()->page(int(SettingsPage::Device)));
    }

private slots:
    void init()
    {
        folder = std::make_unique<TestFolder>();
        pty = std::make_unique<PtyPair>();
        QVERIFY(pty->ok());
    }
    void cleanup()
    {
        main.reset();
        QVERIFY(!GetSerial().IsOpen());
        pty.reset();
        folder.reset();
        qunsetenv("ZOLT7_PORTS");
    }

    void connectShowsTheInstrumentDisconnectAndUnplugClear()
    {
        start(QByteArray::fromStdString(pty->path));
        QCOMPARE(main->portList()->itemText(0).toStdString(), pty->path);
        QVERIFY(disconnectedLook());

        QCOMPARE(connectToPty(), std::string("$RECALL\r\n"));
        QVERIFY(connectedLook());
        // An open port is not yet an instrument: nothing claims one until it answers.
        QVERIFY(main->linkState() == LinkState::Waiting);
        QCOMPARE(main->linkText(), QString("Waiting for the instrument\u2026"));
        QCOMPARE(main->valueLabel(0)->text(), QString());

        pty->write("$UNB,L:050,H:080,C:0123\n");
        QTRY_COMPARE(emtask::FieldText(bus().unitcode), std::string("B"));
        QVERIFY(main->linkState() == LinkState::Connected);
        QCOMPARE(main->linkText(), QString::fromStdString("Connected to " + pty->path));
        QCOMPARE(main->valueLabel(0)->text(), QString("ZOLT7"));
        main->OpenSettings();
        QCOMPARE(QStringList({devicePage()->unitText(), devicePage()->lowText(), devicePage()->highText(),
                              devicePage()->countText()}),
                 QStringList({"%BAC", "0.50", "0.80", "0123"}));
        main->settingsWindow()->OnClose();

        main->OnDisconnect();
        QVERIFY(disconnectedLook() && !GetSerial().IsOpen());
        QCOMPARE(bus().unitcode[0], '\0');
        // A unit frame still on its way from the closed link is dropped.
        emit main->deviceLink().unitReported(UnitFrame{'B', {'0', '5', '0'}, {}, {}});
        QCoreApplication::processEvents();
        QCOMPARE(bus().unitcode[0], '\0');
        for (int i = 0; i < 4; ++i) QVERIFY(main->valueLabel(i)->text().isEmpty());

        // Connected again, then unplugged: another port plugged in refills
        // the list but keeps it locked; the instrument's leaving disconnects.
        QCOMPARE(connectToPty(), std::string("$RECALL\r\n"));
        main->deviceLink().FollowTest(true);  // as an open test window does
        QSignalSpy testEvents(&main->deviceLink(), &DeviceLink::testEvent);
        auto testEnded = [&] {
            return testEvents.size() == 1 && testEvents[0].at(0).value<DeviceEvent>() == DeviceEvent::End;
        };
        ScriptedDialogs dialogs;
        main->discovery().UpdateDevice(true, "/dev/ttyUSB8");
        settle();
        QVERIFY(connectedLook());
        main->discovery().UpdateDevice(false, "/dev/ttyUSB7");
        settle();
        QVERIFY(disconnectedLook() && !GetSerial().IsOpen());
        QVERIFY(testEnded());

        // The instrument's end of the line goes away: reads fail with EIO.
        testEvents.clear();
        QCOMPARE(connectToPty(), std::string("$RECALL\r\n"));
        pty->write("$UNB,L:050,H:080,C:0123\n");
        QTRY_VERIFY(main->linkState() == LinkState::Connected);
        ::close(pty->master);
        pty->master = -1;
        QTRY_VERIFY_WITH_TIMEOUT(disconnectedLook(), 3000);
        QVERIFY(!GetSerial().IsOpen() && testEnded());
        QCOMPARE(bus().unitcode[0], '\0');
    }

    // A measure with no unit answered gives up; a connect with no port says so.
    void measureWithoutAnAnswerAndConnectWithoutAPortGiveUp()
    {
        start(QByteArray::fromStdString(pty->path));
        auto* id = qobject_cast<CIDentry*>(WindowWidget(Wnd::IDentry));
        QVERIFY(id);
        QCOMPARE(connectToPty(), std::string("$RECALL\r\n"));
        QTest::mouseClick(btn(Button::Measure), Qt::LeftButton);
        QVERIFY(main->measurePending() && !main->msgErrorWindow()->isVisible());
        // The timing of the eleven looks is the gate's (MeasureGate tests).
        QTRY_VERIFY_WITH_TIMEOUT(main->msgErrorWindow()->isVisible(), 5000);
        QVERIFY(!main->measurePending());
        QCOMPARE(main->msgErrorWindow()->message(), QString("Fail to open port(USB)"));
        QVERIFY(!id->isVisible() && main->linkState() == LinkState::Waiting);
        QTest::mouseClick(main->msgErrorWindow()->okButton(), Qt::LeftButton);
        QTRY_VERIFY(main->isEnabled());

        main->OnDisconnect();
        main->portList()->clear();
        main->OnConnect();
        settle();
        QVERIFY(main->msgErrorWindow()->isVisible() && !GetSerial().IsOpen());
        QCOMPARE(main->msgErrorWindow()->message(), QString("Fail to open port(USB)"));
        QTest::mouseClick(main->msgErrorWindow()->okButton(), Qt::LeftButton);
        QTRY_VERIFY(disconnectedLook());
    }

    // Without an instrument: the password gate, the settings window's wait
    // for its camera preview, and the exit save.
    void passwordSettingsAndExit()
    {
        start(QByteArray());
        CPassword* prompt = main->passwordPrompt();
        QTest::mouseClick(btn(Button::Option), Qt::LeftButton);
        QVERIFY(prompt->isVisible() && !main->isEnabled());
        QTest::keyClicks(prompt->entry(), "7295");
        QTest::keyClick(prompt->entry(), Qt::Key_Return);
        settle();
        QCOMPARE(main->msgErrorWindow()->title(), QString("Password Error"));
        QVERIFY(main->msgErrorWindow()->isVisible() && !prompt->isEnabled());
        QVERIFY(prompt->entry()->text().isEmpty());
        QTest::mouseClick(main->msgErrorWindow()->okButton(), Qt::LeftButton);
        settle();
        QVERIFY(prompt->isEnabled());
        QTest::keyClicks(prompt->entry(), "7294");
        QTest::mouseClick(prompt->confirmButton(), Qt::LeftButton);
        settle();
        COptionDlg* settings = main->settingsWindow();
        QVERIFY(settings->isVisible() && !prompt->isVisible() && !main->isEnabled());
        QCOMPARE(settings->currentPage(), int(SettingsPage::Registration));

        // While the camera preview runs, closing waits for the camera.
        QWidget* camera = settings->page(int(SettingsPage::Camera));
        settings->ShowPage(int(SettingsPage::Camera));
        QVERIFY(camera->property(COptionDlg::kPreviewActive).toBool());
        QTest::mouseClick(settings->closeButton(), Qt::LeftButton);
        settle();
        QCOMPARE(main->msgWindow()->title(), QString("Setting"));
        QVERIFY(main->msgWindow()->isVisible() && settings->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!settings->isVisible(), 3000);
        QVERIFY(main->isEnabled());
        QTRY_VERIFY(!main->msgWindow()->isVisible());
        // Opened again on the first page: the camera chosen last stays shut.
        main->OpenSettings();
        settle();
        QCOMPARE(settings->currentPage(), int(SettingsPage::Registration));
        QVERIFY(!camera->property(COptionDlg::kPreviewActive).toBool());
        settings->OnClose();
        QVERIFY(!settings->isVisible() && main->isEnabled());

        // Exit saves the settings even when nothing changed.
        std::filesystem::remove_all(emtask::ConfDir());
        bus().reserved300 = 77;
        main->OnExit();
        std::vector<char> bytes = ReadBytes(emtask::ConfigPath());
        QCOMPARE(bytes.size(), sizeof(emtask::BusInfo));
        QCOMPARE(bus().reserved300, 0);
        QVERIFY(std::memcmp(bytes.data(), &bus(), sizeof(emtask::BusInfo)) == 0);
        QVERIFY(!main->isVisible());
    }

    void hostileSettingsStartWithoutHarmAndTabFollowsTheSteps()
    {
        emtask::BusInfo b{};
        emtask::InitBusInfo(b, 0);
        b.dateorder = 7;
        b.rowsindex = -1;
        b.cameraindex = -5;
        b.photosave = 99;
        std::memset(b.unitcode, 'B', sizeof b.unitcode);  // no NUL, stale
        std::memset(b.password, 'p', sizeof b.password);  // no NUL
        WriteBytes(emtask::ConfigPath(), &b, sizeof b);
        start(QByteArray());
        QCOMPARE(bus().cameraindex, 0);
        QCOMPARE(bus().unitcode[0], '\0');  // not connected: no unit
        QVERIFY(!btn(Button::Measure)->isEnabled());
        QVERIFY(QRegularExpression("^\\d{2}-[A-Z][a-z]{2}-\\d{4} ").match(main->clockText()).hasMatch());
        QCOMPARE(main->focusWidget(), static_cast<QWidget*>(main->portList()));  // the first step
        main->OpenSettings();
        COptionDlg* settings = main->settingsWindow();
        settings->ShowPage(int(SettingsPage::ProgramSetting));
        settings->ShowPage(int(SettingsPage::Device));
        QCOMPARE(devicePage()->unitText(), QString());

        // The keyboard follows the steps on the screen, from the port list.
        QStringList order;
        for (QWidget* w = main->portList()->nextInFocusChain(); w != main->portList() && order.size() < 5;
             w = w->nextInFocusChain())
            if (w->window() == main.get() && w->isVisibleTo(main.get()) && (w->focusPolicy() & Qt::TabFocus))
                order << QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
        QCOMPARE(order, QStringList({"Connect", "Measure", "Records", "Settings", "About"}));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
