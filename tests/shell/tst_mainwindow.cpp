// The main window against a pseudo-terminal standing in for the instrument:
// connect, the device values, disconnect, measure, unplugging, the password
// gate, the clock, the exit save and the names a screen reader announces.
#include "PtyPair.h"
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
#include "messaging/Messages.h"
#include "messaging/Notices.h"
#include "messaging/WindowOps.h"
#include "users/CIDentry.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <cstring>
#include <filesystem>

namespace {
// Counts the show events a widget receives.
struct ShowCounter : QObject {
    int shows = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Show) ++shows;
        return false;
    }
};
}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
    std::unique_ptr<TestFolder> folder;
    std::unique_ptr<PtyPair> pty;
    std::unique_ptr<CVelmoraViewDlg> main;

    emtask::BusInfo& bus() { return emtask::GetManager()->m_BusInfo; }
    void settle() { for (int i = 0; i < 3; ++i) QCoreApplication::processEvents(); }
    CSkinButton* btn(int id) { return main->button(id); }
    bool connectedLook()
    {
        return btn(msg::MAIN_DISCONNECT_BTN)->isVisible() && !btn(msg::MAIN_CONNECT_BTN)->isVisible() &&
               !main->portList()->isEnabled() && btn(msg::MAIN_MEASURE_BTN)->isEnabled();
    }
    bool disconnectedLook()
    {
        return !btn(msg::MAIN_DISCONNECT_BTN)->isVisible() && btn(msg::MAIN_CONNECT_BTN)->isVisible() &&
               main->portList()->isEnabled() && !btn(msg::MAIN_MEASURE_BTN)->isEnabled();
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
        main->OnCommand(msg::MAIN_CONNECT_BTN);
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

    void connectShowsTheInstrumentValuesAndDisconnectClearsThem()
    {
        start(QByteArray::fromStdString(pty->path));
        QCOMPARE(main->portList()->itemText(0).toStdString(), pty->path);
        QVERIFY(disconnectedLook());

        QCOMPARE(connectToPty(), std::string("$RECALL\r\n"));
        QVERIFY(connectedLook());
        QVERIFY(GetSerial().IsOpen());
        QCOMPARE(emtask::GetManager()->m_Connected, 1);
        // An open port is not yet an instrument: nothing claims one until it answers.
        QVERIFY(main->linkState() == LinkState::Waiting);
        QCOMPARE(main->linkText(), QString("Waiting for the instrument\u2026"));
        QCOMPARE(main->valueLabel(0)->text(), QString());

        pty->write("$UNB,L:050,H:080,C:0123\n");
        QTRY_COMPARE(emtask::FieldText(bus().unitcode), std::string("B"));
        QVERIFY(main->linkState() == LinkState::Connected);
        QCOMPARE(main->linkText(), QString::fromStdString("Connected to " + pty->path));
        QCOMPARE(main->valueLabel(0)->text(), QString("ZOLT7"));
        main->OnCommand(msg::MAIN_OPTION_OPEN);
        QCOMPARE(devicePage()->unitText(), QString("%BAC"));
        QCOMPARE(devicePage()->lowText(), QString("0.50"));
        QCOMPARE(devicePage()->highText(), QString("0.80"));
        QCOMPARE(devicePage()->countText(), QString("0123"));
        main->settingsWindow()->OnClose();

        main->OnCommand(msg::MAIN_DISCONNECT_BTN);
        QVERIFY(disconnectedLook());
        QVERIFY(!GetSerial().IsOpen());
        QCOMPARE(emtask::GetManager()->m_Connected, 0);
        QCOMPARE(main->portNumber(), 0);
        QCOMPARE(bus().unitcode[0], '\0');
        QCOMPARE(bus().lowlevel[0], '\0');
        QCOMPARE(bus().calcnt[0], '\0');
        for (int i = 0; i < 4; ++i) QVERIFY(main->valueLabel(i)->text().isEmpty());
        main->OnCommand(msg::MAIN_OPTION_OPEN);
        QCOMPARE(devicePage()->unitText(), QString());
        QCOMPARE(devicePage()->lowText(), QString());
        main->settingsWindow()->OnClose();

        // Again: the port is reopened and asked anew.
        QCOMPARE(connectToPty(), std::string("$RECALL\r\n"));
        QVERIFY(connectedLook());
    }

    void connectWithoutAPortShowsTheNoticeAndStaysDisconnected()
    {
        start(QByteArray());
        main->portList()->clear();
        main->OnCommand(msg::MAIN_CONNECT_BTN);
        settle();
        QVERIFY(main->msgErrorWindow()->isVisible());
        QCOMPARE(main->msgErrorWindow()->message(), QString("Fail to open port(USB)"));
        QVERIFY(!GetSerial().IsOpen());
        QVERIFY(!btn(msg::MAIN_DISCONNECT_BTN)->isVisible());
        QVERIFY(!btn(msg::MAIN_MEASURE_BTN)->isEnabled());
        QTest::mouseClick(main->msgErrorWindow()->okButton(), Qt::LeftButton);
        QTRY_VERIFY(main->isEnabled());
    }

    void aPortThatCannotOpenLeavesTheWindowDisconnected()
    {
        start("/nonexistent/zolt7-port");
        main->OnCommand(msg::MAIN_CONNECT_BTN);
        settle();
        QVERIFY(disconnectedLook());
        QVERIFY(!GetSerial().IsOpen());
        QVERIFY(!main->msgErrorWindow()->isVisible());
        QCOMPARE(emtask::GetManager()->m_Connected, 0);
    }

    void measureWithASilentInstrumentGivesUpAfterElevenLooks()
    {
        start(QByteArray::fromStdString(pty->path));
        Recorder idEntry(Wnd::IDentry);
        idEntry.hide();
        QCOMPARE(connectToPty(), std::string("$RECALL\r\n"));
        QTest::mouseClick(btn(msg::MAIN_MEASURE_BTN), Qt::LeftButton);
        QVERIFY(main->measurePending());
        QVERIFY(!main->msgErrorWindow()->isVisible());
        // The timing of the eleven looks is the gate's (MeasureGate tests).
        QTRY_VERIFY_WITH_TIMEOUT(main->msgErrorWindow()->isVisible(), 5000);
        QVERIFY(!main->measurePending());
        QCOMPARE(main->msgErrorWindow()->message(), QString("Fail to open port(USB)"));
        QVERIFY(!idEntry.isVisible());
        QVERIFY(main->linkState() == LinkState::Waiting);
    }

    void measureOpensTheIdentificationOnceTheUnitIsKnown()
    {
        start(QByteArray::fromStdString(pty->path));
        Recorder idEntry(Wnd::IDentry);
        idEntry.hide();
        QCOMPARE(connectToPty(), std::string("$RECALL\r\n"));
        QTest::mouseClick(btn(msg::MAIN_MEASURE_BTN), Qt::LeftButton);
        QTest::qWait(250);
        QVERIFY(main->measurePending());
        pty->write("$UNG,L:020,H:050,C:0007\n");
        QTRY_VERIFY_WITH_TIMEOUT(idEntry.isVisible(), 2000);
        QVERIFY(!main->measurePending());
        QVERIFY(!main->msgErrorWindow()->isVisible());
    }

    void identificationKeepsTheMainWindowDisabledUntilClosed()
    {
        start(QByteArray::fromStdString(pty->path));
        QCOMPARE(connectToPty(), std::string("$RECALL\r\n"));
        pty->write("$UNB,L:050,H:080,C:0123\n");
        QTRY_COMPARE(bus().unitcode[0], 'B');
        auto* id = qobject_cast<CIDentry*>(WindowWidget(Wnd::IDentry));
        QVERIFY(id);
        QTest::mouseClick(btn(msg::MAIN_MEASURE_BTN), Qt::LeftButton);
        QTRY_VERIFY(id->isVisible());
        QVERIFY(!main->isEnabled());
        // Settings (and with it the camera preview) and disconnect stay out of reach.
        QTest::mouseClick(btn(msg::MAIN_OPTION_BTN), Qt::LeftButton);
        QTest::mouseClick(btn(msg::MAIN_DISCONNECT_BTN), Qt::LeftButton);
        settle();
        QVERIFY(!main->passwordPrompt()->isVisible());
        QVERIFY(GetSerial().IsOpen());

        QTest::mouseClick(id->CloseButton(), Qt::LeftButton);
        QVERIFY(!id->isVisible());
        QVERIFY(main->isEnabled());
    }

    void unplugDisconnectsAndClosesThePort()
    {
        start(QByteArray::fromStdString(pty->path));
        QCOMPARE(connectToPty(), std::string("$RECALL\r\n"));
        Recorder capture(Wnd::Capture);
        // Another port plugged in: the list is refilled but stays locked.
        ScriptedDialogs dialogs;
        main->discovery().UpdateDevice(true, "/dev/ttyUSB8");
        settle();
        QVERIFY(connectedLook());
        QVERIFY(GetSerial().IsOpen());

        main->discovery().UpdateDevice(false, "/dev/ttyUSB7");
        settle();
        QVERIFY(disconnectedLook());
        QVERIFY(!GetSerial().IsOpen());
        QVERIFY(capture.received(msg::MSG_DEVICE_EVENT, msg::PID_END));
        // A frame arriving now changes nothing, and no late end of a test
        // offers a new one.
        pty->write("$UNB,L:050,H:080,C:0123\n");
        QTest::qWait(100);
        QCOMPARE(bus().unitcode[0], '\0');
        PostCommand(Wnd::Main, msg::MAIN_INFO_DISP);
        settle();
        QVERIFY(!btn(msg::MAIN_MEASURE_BTN)->isEnabled());
        QCOMPARE(main->portList()->itemText(0).toStdString(), pty->path);
    }

    void aVanishedDeviceIsARemoval()
    {
        start(QByteArray::fromStdString(pty->path));
        QCOMPARE(connectToPty(), std::string("$RECALL\r\n"));
        pty->write("$UNB,L:050,H:080,C:0123\n");
        QTRY_VERIFY(main->linkState() == LinkState::Connected);
        Recorder capture(Wnd::Capture);
        // The instrument's end of the line goes away: reads fail with EIO.
        ::close(pty->master);
        pty->master = -1;
        QTRY_VERIFY_WITH_TIMEOUT(disconnectedLook(), 3000);
        QVERIFY(!GetSerial().IsOpen());
        QVERIFY(capture.received(msg::MSG_DEVICE_EVENT, msg::PID_END));
        QCOMPARE(bus().unitcode[0], '\0');
    }

    void passwordGuardsTheSettingsWindow()
    {
        start(QByteArray());
        CPassword* prompt = main->passwordPrompt();
        QTest::mouseClick(btn(msg::MAIN_OPTION_BTN), Qt::LeftButton);
        QVERIFY(prompt->isVisible());
        QVERIFY(!main->isEnabled());

        QTest::keyClicks(prompt->entry(), "7295");
        QTest::keyClick(prompt->entry(), Qt::Key_Return);
        settle();
        QVERIFY(main->msgErrorWindow()->isVisible());
        QCOMPARE(main->msgErrorWindow()->title(), QString("Password Error"));
        QVERIFY(!prompt->isEnabled());
        QVERIFY(prompt->entry()->text().isEmpty());
        QVERIFY(!main->settingsWindow()->isVisible());
        QTest::mouseClick(main->msgErrorWindow()->okButton(), Qt::LeftButton);
        settle();
        QVERIFY(prompt->isEnabled());

        QTest::keyClicks(prompt->entry(), "7294");
        QTest::mouseClick(prompt->confirmButton(), Qt::LeftButton);
        settle();
        COptionDlg* settings = main->settingsWindow();
        QVERIFY(settings->isVisible());
        QVERIFY(!prompt->isVisible());
        QVERIFY(!main->isEnabled());
        // A page button works exactly when its page is built; the window opens
        // on Registration, or on the first page there is while that one is not.
        int first = -1;
        for (int i = 0; i < kSettingsPageCount; ++i) {
            QCOMPARE(settings->pageButton(i)->isEnabled(), settings->page(i) != nullptr);
            if (first < 0 && settings->page(i)) first = i;
        }
        QVERIFY(settings->page(int(SettingsPage::Device)));
        QCOMPARE(settings->currentPage(), first);
        QTest::mouseClick(settings->pageButton(int(SettingsPage::Password)), Qt::LeftButton);
        QCOMPARE(settings->currentPage(), int(SettingsPage::Password));
        QVERIFY(settings->page(int(SettingsPage::Password))->isVisible());
        QVERIFY(!settings->page(int(SettingsPage::Device))->isVisible());

        QTest::keyClick(settings, Qt::Key_Escape);
        QTest::keyClick(settings, Qt::Key_Return);
        settle();
        QVERIFY(settings->isVisible());
        QTest::mouseClick(settings->closeButton(), Qt::LeftButton);
        QVERIFY(!settings->isVisible());
        QVERIFY(main->isEnabled());

        // The prompt's own close button gives the main window back too.
        main->OnCommand(msg::MAIN_OPTION_BTN);
        QTest::keyClicks(prompt->entry(), "72");
        QTest::mouseClick(prompt->closeButton(), Qt::LeftButton);
        QVERIFY(!prompt->isVisible());
        QVERIFY(prompt->entry()->text().isEmpty());
        QVERIFY(main->isEnabled());
    }

    void settingsWindowPagesAndTheCameraPreview()
    {
        start(QByteArray());
        COptionDlg* settings = main->settingsWindow();
        auto* registration = new QWidget;
        settings->setPage(int(SettingsPage::Registration), registration);
        QVERIFY(settings->pageButton(int(SettingsPage::Registration))->isEnabled());
        main->OnCommand(msg::MAIN_OPTION_OPEN);
        QCOMPARE(settings->currentPage(), int(SettingsPage::Registration));
        QVERIFY(registration->isVisible());
        QCOMPARE(registration->geometry(), QRect(205, 60, 760, 540));
        QVERIFY(!main->isEnabled());

        // While the camera preview runs, closing waits for the camera.
        Recorder camera(Wnd::CameraPage);
        camera.setProperty(COptionDlg::kPreviewActive, true);
        settings->OnClose();
        settle();
        QVERIFY(main->msgWindow()->isVisible());
        QCOMPARE(main->msgWindow()->title(), QString("Setting"));
        QVERIFY(settings->isVisible());
        QVERIFY(settings->closeDelay().isActive());
        QCOMPARE(settings->closeDelay().interval(), 1000);
        QTRY_VERIFY_WITH_TIMEOUT(!settings->isVisible(), 3000);
        QVERIFY(main->isEnabled());
        QTRY_VERIFY(!main->msgWindow()->isVisible());

        settings->setPage(int(SettingsPage::Registration), nullptr);
        QVERIFY(!settings->pageButton(int(SettingsPage::Registration))->isEnabled());
    }

    void settingsOpenOnTheFirstPageWithoutShowingTheLastOne()
    {
        start(QByteArray());
        COptionDlg* settings = main->settingsWindow();
        QWidget* camera = settings->page(int(SettingsPage::Camera));
        QVERIFY(camera);
        main->OnCommand(msg::MAIN_OPTION_OPEN);
        settings->ShowPage(int(SettingsPage::Camera));
        QVERIFY(camera->property(COptionDlg::kPreviewActive).toBool());
        settings->OnClose();
        QTRY_VERIFY_WITH_TIMEOUT(!settings->isVisible(), 3000);
        QTRY_VERIFY(!main->msgWindow()->isVisible());

        // Opened again: the camera page, chosen last, is never shown, so
        // nothing opens the camera and closing has no camera to wait for.
        ShowCounter counter;
        camera->installEventFilter(&counter);
        main->OnCommand(msg::MAIN_OPTION_OPEN);
        QVERIFY(settings->isVisible());
        QCOMPARE(settings->currentPage(), int(SettingsPage::Registration));
        settle();
        QCOMPARE(counter.shows, 0);
        settings->OnClose();
        QVERIFY(!settings->isVisible());
        settle();
        QVERIFY(!main->msgWindow()->isVisible());
        QVERIFY(main->isEnabled());
    }

    void clockFollowsTheDateOrder()
    {
        start(QByteArray());
        // The texts of each order are the store's; here only that the clock follows the setting.
        bus().dateorder = 0;
        main->RefreshClock();
        QVERIFY2(QRegularExpression("^\\d{4}-[A-Z][a-z]{2}-\\d{2} [0-2]\\d:[0-5]\\d:[0-5]\\d$")
                     .match(main->clockText()).hasMatch(), qPrintable(main->clockText()));
        bus().dateorder = 1;
        main->RefreshClock();
        QVERIFY2(QRegularExpression("^[A-Z][a-z]{2}-\\d{2}-\\d{4} ").match(main->clockText()).hasMatch(),
                 qPrintable(main->clockText()));
    }

    void exitSavesTheSettingsEvenWhenNothingChanged()
    {
        start(QByteArray());
        const std::string path = emtask::ConfigPath();
        std::filesystem::remove_all(emtask::ConfDir());
        bus().reserved300 = 77;
        main->OnCommand(msg::MAIN_EXIT_BTN);
        QVERIFY(std::filesystem::exists(path));
        QCOMPARE(FileSize(path), uintmax_t(sizeof(emtask::BusInfo)));
        std::vector<char> bytes = ReadBytes(path);
        QCOMPARE(bus().reserved300, 0);
        QVERIFY(std::memcmp(bytes.data(), &bus(), sizeof(emtask::BusInfo)) == 0);
        QVERIFY(!main->isVisible());
    }

    void hostileSettingsFileStartsWithoutHarm()
    {
        emtask::BusInfo b{};
        emtask::InitBusInfo(b, 0);
        b.dateorder = 7;
        b.rowsindex = -1;
        b.cameraindex = -5;
        b.photosave = 99;
        std::memset(b.unitcode, 'B', sizeof b.unitcode);      // no NUL, stale
        std::memset(b.password, 'p', sizeof b.password);      // no NUL
        WriteBytes(emtask::ConfigPath(), &b, sizeof b);
        start(QByteArray());
        QCOMPARE(bus().cameraindex, 0);
        QCOMPARE(bus().unitcode[0], '\0');  // not connected: no unit
        QVERIFY(!btn(msg::MAIN_MEASURE_BTN)->isEnabled());
        QRegularExpression dmy("^\\d{2}-[A-Z][a-z]{2}-\\d{4} ");
        QVERIFY(dmy.match(main->clockText()).hasMatch());
        main->OnCommand(msg::MAIN_OPTION_OPEN);
        COptionDlg* settings = main->settingsWindow();
        settings->ShowPage(int(SettingsPage::ProgramSetting));
        settings->ShowPage(int(SettingsPage::Device));
        QCOMPARE(devicePage()->unitText(), QString());
    }

    // What a screen reader announces: every button, entry and list of every
    // window the program builds at start has a name (its text, its label's
    // text or an accessible name).
    void everyControlHasAName()
    {
        start(QByteArray());
        main->OnCommand(msg::MAIN_OPTION_OPEN);
        QStringList unnamed;
        for (QWidget* w : QApplication::allWidgets()) {
            if (!qobject_cast<QAbstractButton*>(w) && !qobject_cast<QLineEdit*>(w) && !qobject_cast<QComboBox*>(w))
                continue;
            // Parts of a list or a table are announced with it.
            if (qobject_cast<QComboBox*>(w->parentWidget()) || qobject_cast<QAbstractItemView*>(w->parentWidget()))
                continue;
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
            if (!a || a->text(QAccessible::Name).trimmed().isEmpty())
                unnamed << QString("%1 in %2").arg(w->metaObject()->className(), w->window()->metaObject()->className());
        }
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
    }

    void aboutBox()
    {
        start(QByteArray());
        ScriptedDialogs dialogs;
        QTest::mouseClick(btn(msg::MAIN_ABOUT_BTN), Qt::LeftButton);
        QCOMPARE(dialogs.shown.size(), size_t(1));
        QCOMPARE(dialogs.shown[0].title, QString("ZOLT7 Information"));
        QCOMPARE(dialogs.shown[0].text, QString("ZOLT7, Version 2.0"));
        // Without a record window its button is visibly off.
        QCOMPARE(btn(msg::MAIN_LOAD_BTN)->isEnabled(), WindowExists(Wnd::ReadDevice));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
