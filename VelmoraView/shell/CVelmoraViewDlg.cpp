#include "shell/CVelmoraViewDlg.h"

#include "DebugLog.h"
#include "EMTaskData.h"
#include "ProgramFolder.h"
#include "TextUtil.h"
#include "central/CentralPage.h"
#include "central/CentralWorker.h"
#include "controls/Dialogs.h"
#include "controls/Skin.h"
#include "controls/SkinButton.h"
#include "devicelink/DLSerial.h"
#include "devicelink/DeviceLink.h"
#include "options/Password.h"
#include "records/CReadDeviceDlg.h"
#include "records/RecordExcel.h"
#include "search/CSearchDataDlg.h"
#include "search/SearchCommand.h"
#include "measurement/CameraSource.h"
#include "shell/AppGlobals.h"
#include "shell/COptionDlg.h"
#include "shell/CSplash.h"
#include "shell/LastTestPanel.h"
#include "shell/SettingsPages.h"
#include "shell/Version.h"
#include "messaging/Diagnostics.h"
#include "messaging/Notices.h"
#include "messaging/StoreNotices.h"
#include "messaging/WindowOps.h"
#include "reports/ReportPreview.h"
#include "users/CIDentry.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <QThread>
#include <cstring>

namespace {
constexpr int kBaud = 4800;
constexpr int kTitleHeight = 30;
constexpr int kQuitCode = 18;

// Waits while the window thread keeps handling posted messages (not input).
void Pause(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
        QThread::msleep(5);
    }
}
}  // namespace

CVelmoraViewDlg::CVelmoraViewDlg() : CVelmoraViewDlg(Options{}) { }

CVelmoraViewDlg::CVelmoraViewDlg(const Options& options)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      m_Store(*emtask::GetManager()),
      m_Options(options)
{
    m_PortNumber = 0;
    m_Since.start();
    m_DeviceLink = std::make_unique<DeviceLink>(GetSerial(), m_Store.Settings());
    ConnectDeviceLink();
    CreateChildren();
}

void CVelmoraViewDlg::ConnectDeviceLink()
{
    // Queued even from this thread: what the link tells is handled after the
    // call that caused it, as a posted message was.
    const DeviceLink* link = m_DeviceLink.get();
    const auto queued = Qt::QueuedConnection;
    connect(link, &DeviceLink::unitReported, this, &CVelmoraViewDlg::OnUnitReported, queued);
    connect(link, &DeviceLink::answered, this, &CVelmoraViewDlg::OnLinkAnswer, queued);
    connect(link, &DeviceLink::resetSwallowedFrame, this, &CVelmoraViewDlg::OnResetSwallowedFrame, queued);
    connect(link, &DeviceLink::ended, this, &CVelmoraViewDlg::OnDeviceEnded, queued);
    connect(link, &DeviceLink::portGone, this, &CVelmoraViewDlg::OnPortGone, queued);
    connect(link, &DeviceLink::measureDisabled, this, &CVelmoraViewDlg::OnMeasureDisabled, queued);
}

CVelmoraViewDlg::~CVelmoraViewDlg()
{
    m_ClockTimer.stop();
    m_MeasureTimer.stop();
    GetSerial().Close();
    DebugLine("[APP EXIT]");
    m_Central.reset();  // joins its thread
    UnregisterWindow(Wnd::Main, this);
    m_Splash.reset();
    m_Preview.reset();
    m_Records.reset();  // gives the test log back if an archive is shown
    m_Settings.reset();
    m_Password.reset();
    m_IDentry.reset();
    m_MsgError.reset();
    m_Msg.reset();
}

void CVelmoraViewDlg::CreateChildren()
{
    // The long-lived windows, hidden until used. They are windows of their
    // own (no parent), so that disabling the main window leaves them usable.
    m_Msg = std::make_unique<CMsg>();
    m_MsgError = std::make_unique<CMsgError>();
    // First: the windows that wait with this one come to the top after it.
    connect(m_Msg.get(), &CNotice::shown, this, &CVelmoraViewDlg::OnMsgShown);
    connect(m_Msg.get(), &CNotice::finished, this, &CVelmoraViewDlg::OnMsgFinished);
    connect(m_MsgError.get(), &CNotice::shown, this, &CVelmoraViewDlg::OnErrorShown);
    connect(m_MsgError.get(), &CNotice::finished, this, &CVelmoraViewDlg::OnErrorFinished);
    m_Password = std::make_unique<CPassword>(m_Store.Settings());
    m_Password->move(0, 0);
    // Queued: the prompt hides or clears itself first.
    connect(m_Password.get(), &CPassword::accepted, this, &CVelmoraViewDlg::OpenSettings,
            Qt::QueuedConnection);
    connect(m_Password.get(), &CPassword::refused, this, &CVelmoraViewDlg::OnPasswordRefused,
            Qt::QueuedConnection);
    connect(m_Password.get(), &CPassword::closed, this, [this] { setEnabled(true); });
    m_IDentry = std::make_unique<CIDentry>(m_Store.Users(), m_Store.Settings());
    // Queued: the identification window hides and disables the main window
    // before the test starts, as a posted message did.
    connect(m_IDentry.get(), &CIDentry::startTestRequested, this, &CVelmoraViewDlg::OnStartTest,
            Qt::QueuedConnection);
    m_Preview = std::make_unique<ReportPreview>(m_Store.Settings());
    m_Records = std::make_unique<CReadDeviceDlg>(m_Store);
    CReadDeviceDlg* recordWnd = m_Records.get();
    records::InstallExcelCommand(*recordWnd);
    // A double-clicked row opens the report of its own slot; the record
    // window is told when the report closes.
    connect(recordWnd, &CReadDeviceDlg::rowOpened, this, [this, recordWnd] {
        m_Preview->Open(recordWnd->SelectedTestNo().trimmed().toInt(), m_Store.Log().Records(),
                        recordWnd->PhotoSourceNow().folder, Wnd::ReadDevice, recordWnd->SelectedSlot(),
                        [recordWnd] { recordWnd->OnPreviewClosed(); });
    });
    connect(recordWnd, &CReadDeviceDlg::searchRequested, this, [this, recordWnd] {
        search::OpenSearch(*recordWnd, [this](CSearchDataDlg& results) { ConnectSearchResults(results); });
    });
}

void CVelmoraViewDlg::ConnectSearchResults(CSearchDataDlg& results)
{
    connect(&results, &CSearchDataDlg::rowOpened, &results, [this, &results] {
        m_Preview->Open(results.SelectedTestNo().trimmed().toInt(), m_Store.Search().Found(),
                        results.PhotoSourceNow().folder, Wnd::SearchData, results.SelectedSlot(),
                        [&results] { results.OnPreviewClosed(); });
    });
}

void CVelmoraViewDlg::Init()
{
    if (QScreen* s = QGuiApplication::primaryScreen()) m_WorkArea = s->availableGeometry();
    if (m_Options.debugLevel) SetDiagnostics(true);

    emtask::EMTaskData* store = &m_Store;
    emtask::MakeDirectory(emtask::ConfDir());
    store->LoadSetting(emtask::ConfigPath().c_str());

    if (m_Options.splash) {
        m_Splash = std::make_unique<CSplash>(this);
        m_Splash->move(m_WorkArea.topLeft());
        CenterWindow(m_Splash.get());
        m_Splash->show();
    }

    setWindowTitle(tr("ZOLT7 2.0"));
    setWindowIcon(skin::AppIcon());
    RegisterWindow(Wnd::Main, this);
    setFixedSize(1024, 768);
    DragWithMouse(this);
    CreateControls();
    if (m_Splash) m_Splash->SetLoadingStatus(1);

    DeviceInfoDisplay(0);
    connect(&m_ClockTimer, &QTimer::timeout, this, &CVelmoraViewDlg::RefreshClock);
    m_ClockTimer.start(kClockTickMs);

    // The test log, repairs and the user table (the settings file again, as
    // the start-up reads it with the rest).
    store->StartUp();
    ShowStartupProblems(this, m_Store);
    ClearDeviceValues();

    if (m_Options.countCameras) measurement::CountCameras();
    store->Settings().Change([](emtask::BusInfo& b) { b.cameraindex = 0; });
    RefreshClock();

    m_SerialTimeout.setSingleShot(true);
    connect(&m_SerialTimeout, &QTimer::timeout, this, [] { DebugLine(" MSG_SERIAL_TIMEOUT"); });
    connect(&m_MeasureTimer, &QTimer::timeout, this, &CVelmoraViewDlg::OnMeasureLook);
    connect(&m_Discovery, &CPortDiscovery::portRemoved, this, &CVelmoraViewDlg::OnDisconnect);
    // A port plugged in refills the list, which stays locked while connected.
    connect(&m_Discovery, &CPortDiscovery::portArrived, this, [this] {
        FillPortList();
        if (m_Store.Connected()) m_DevComboPort->setEnabled(false);
    });
    connect(&m_Discovery, &CPortDiscovery::searchFailed, this,
            [this](const QString& text) { ShowMessage(this, text, QString(), QMessageBox::Warning); });
    if (m_Options.monitorPorts) m_Discovery.StartMonitor();

    m_Settings = std::make_unique<COptionDlg>(m_Store);
    KeepAbove(m_Settings.get(), this);
    KeepAbove(m_Password.get(), this);
    KeepAbove(m_Records.get(), this);
    // The central database: sent from a thread, said in one line.
    m_Central = std::make_unique<central::CentralWorker>(emtask::ProgramFolder());
    connect(m_Central.get(), &central::CentralWorker::stateChanged, this, &CVelmoraViewDlg::ShowCentralState);
    connect(m_Central.get(), &central::CentralWorker::conflictFound, this, [this](const QString& text) {
        ShowMessage(this, text, tr("Central records"), QMessageBox::Warning);
    });
    auto restart = [this] { ShowCentralState(m_Central->Restart()); };
    if (auto* page = qobject_cast<CentralPage*>(m_Settings->page(int(SettingsPage::Central))))
        connect(page, &CentralPage::settingsSaved, this, restart);
    restart();
    if (m_Splash) m_Splash->SetLoadingStatus(2);
    if (!m_Options.splash) {
        show();
        CenterWindow(this);
    }
    m_DevComboPort->setFocus();  // the first step
}

void CVelmoraViewDlg::CreateControls()
{
    using Look = CSkinButton::Look;
    using Glyph = CSkinButton::Glyph;
    auto make = [this](Button id, Look look, const QString& text, Glyph g, void (CVelmoraViewDlg::*slot)()) {
        auto* b = new CSkinButton(int(id), look, text, this, g);
        connect(b, &CSkinButton::command, this, slot);
        return b;
    };
    using W = CVelmoraViewDlg;
    m_Measure = make(Button::Measure, Look::Tile, tr("Measure"), Glyph::Measure, &W::OnMeasure);
    m_Measure->place(83, 189, 163, 269);
    m_Load = make(Button::Load, Look::Tile, tr("Records"), Glyph::Load, &W::OnLoad);
    m_Load->place(176, 189, 256, 269);
    m_Option = make(Button::Option, Look::Tile, tr("Settings"), Glyph::Option, &W::OnOption);
    m_Option->place(269, 189, 349, 269);
    m_About = make(Button::About, Look::Tile, tr("About"), Glyph::About, &W::OnAbout);
    m_About->place(362, 189, 442, 269);
    m_Connect = make(Button::Connect, Look::Bar, tr("Connect"), Glyph::Connect, &W::OnConnect);
    m_Connect->place(269, 80, 442, 124);
    m_Disconnect = make(Button::Disconnect, Look::Bar, tr("Disconnect"), Glyph::Disconnect, &W::OnDisconnect);
    m_Disconnect->place(269, 80, 442, 124);
    m_Minimize = make(Button::Minimize, Look::TitleIcon, QString(), Glyph::Minimize, &W::showMinimized);
    m_Minimize->place(932, 0, 977, 29);
    m_Exit = make(Button::Exit, Look::TitleIcon, QString(), Glyph::Close, &W::OnExit);
    m_Exit->place(978, 0, 1023, 29);

    m_DevComboPort = new QComboBox(this);
    m_DevComboPort->setGeometry(83, 88, 174, 21 + 8);
    m_DevComboPort->setFont(skin::Arial(20));
    m_DevComboPort->setToolTip(tr("Port of the instrument"));
    m_DevComboPort->setAccessibleName(tr("Port"));

    m_Measure->setEnabled(false);
    m_Disconnect->hide();
    m_Load->setEnabled(WindowExists(Wnd::ReadDevice));
    // Tab follows the steps on the screen: port, connect, measure, records,
    // settings, about; the focus starts on the port list.
    setTabOrder(m_DevComboPort, m_Connect);
    setTabOrder(m_Connect, m_Disconnect);
    setTabOrder(m_Disconnect, m_Measure);
    setTabOrder(m_Measure, m_Load);
    setTabOrder(m_Load, m_Option);
    setTabOrder(m_Option, m_About);
    auto* help = new QShortcut(QKeySequence::HelpContents, this);  // F1
    connect(help, &QShortcut::activated, this, &CVelmoraViewDlg::OnAbout);

    m_TitleLabel = new QLabel(tr("ZOLT7 v2.0"), this);
    m_TitleLabel->setGeometry(12, 2, 300, 26);
    m_TitleLabel->setFont(skin::Arial(18, true));
    m_TitleLabel->setStyleSheet("color: white;");

    m_Clock = new QLabel(this);
    // The layout's top of 756 would cut the 23-pixel label at the bottom
    // edge; it sits just inside the window instead.
    m_Clock->setGeometry(849, 768 - 23 - 6, 167, 23);
    m_Clock->setFont(skin::Arial(15, true));
    m_Clock->setStyleSheet("color: red;");
    m_Clock->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_Clock->clear();

    m_Heading = new QLabel(tr("Device Information"), this);
    // Wider than the layout's 280 pixels, which cut the heading's last letters.
    m_Heading->setGeometry(560, 95, 420, 40);
    m_Heading->setFont(skin::Arial(32, true));
    m_Heading->setStyleSheet("color: #303030;");
    const char* captions[] = {QT_TR_NOOP("Product"), QT_TR_NOOP("Serial Number"),
                              QT_TR_NOOP("Firmware Version"), QT_TR_NOOP("Last Calibration")};
    for (int i = 0; i < 4; ++i) {
        const int top = 140 + i * 30;
        m_Caption[i] = new QLabel(tr(captions[i]), this);
        m_Caption[i]->setGeometry(562, top, 160, 30);
        m_Caption[i]->setFont(skin::Arial(i < 2 ? 22 : 20));
        m_Caption[i]->setStyleSheet("color: #464646;");
        m_Colon[i] = new QLabel(QStringLiteral(":"), this);
        m_Colon[i]->setGeometry(730, top, 12, 30);
        m_Colon[i]->setFont(skin::Arial(22));
        m_Colon[i]->setStyleSheet("color: #464646;");
        m_Value[i] = new QLabel(this);
        m_Value[i]->setGeometry(750, top, 220, 30);
        m_Value[i]->setFont(skin::Arial(20));
        m_Value[i]->setTextFormat(Qt::PlainText);
    }

    m_State = new QLabel(this);
    m_State->setGeometry(83, 134, 360, 40);
    m_State->setFont(skin::Arial(15));
    m_State->setWordWrap(true);
    m_State->setTextFormat(Qt::PlainText);

    m_CentralLine = new QLabel(this);
    // The bottom strip, left of the clock: the panels above keep their layout.
    m_CentralLine->setGeometry(64, 768 - 23 - 6, 770, 23);
    m_CentralLine->setFont(skin::Arial(14));
    m_CentralLine->setTextFormat(Qt::PlainText);

    // Under the steps of the information panel, left of the drawn reading.
    m_LastTest = new CLastTestPanel(this);
    m_LastTest->setGeometry(100, 578, 618, CLastTestPanel::kThumbHeight);
}

QString CVelmoraViewDlg::centralText() const { return m_CentralLine ? m_CentralLine->toolTip() : QString(); }

// A long reason is cut to the label; the whole of it is the tooltip.
void CVelmoraViewDlg::ShowCentralState(const QString& line)
{
    m_CentralLine->setToolTip(line);
    m_CentralLine->setText(
        m_CentralLine->fontMetrics().elidedText(line, Qt::ElideRight, m_CentralLine->width()));
}

CSkinButton* CVelmoraViewDlg::button(Button which) const
{
    for (CSkinButton* b : {m_Measure, m_Load, m_Option, m_About, m_Connect, m_Disconnect, m_Minimize, m_Exit})
        if (b && b->id() == int(which)) return b;
    return nullptr;
}

QString CVelmoraViewDlg::clockText() const { return m_Clock ? m_Clock->text() : QString(); }

void CVelmoraViewDlg::RefreshClock()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    const std::string text = emtask::ClockText(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(),
                                               m_Store.Settings().Get().dateorder);
    m_Clock->setText(QString::fromUtf8(text.c_str()));
}

void CVelmoraViewDlg::ClearDeviceValues()
{
    m_Store.Settings().Change([](emtask::BusInfo& b) {
        std::memset(b.unitcode, 0, sizeof b.unitcode);
        std::memset(b.lowlevel, 0, sizeof b.lowlevel);
        std::memset(b.highlevel, 0, sizeof b.highlevel);
        std::memset(b.calcnt, 0, sizeof b.calcnt);
    });
}

void CVelmoraViewDlg::DeviceInfoDisplay(int a_Connect)
{
    emtask::EMTaskData* store = &m_Store;
    DebugLine(" DeviceInfoDisplay, a_Connect : %d, unit : %s", a_Connect,
              emtask::FieldText(store->Settings().Get().unitcode).c_str());
    store->SetConnected(a_Connect != 0);
    if (a_Connect) {
        m_SerialTimeout.stop();
        setEnabled(true);
        m_Measure->setEnabled(true);
        m_Load->setEnabled(WindowExists(Wnd::ReadDevice));
        m_Option->setEnabled(true);
        m_Connect->hide();
        m_Disconnect->show();
        DebugLine(" m_DevComboPort EnableWindow(FALSE)");
        m_DevComboPort->setEnabled(false);
        // "Connected" only once the instrument has answered.
        ShowLinkState(LinkState::Waiting);
        m_DeviceLink->Send(DeviceCommand::Recall);
        return;
    }
    m_Measure->setEnabled(false);
    m_MeasureTimer.stop();
    m_Gate.Cancel();
    m_Disconnect->hide();
    m_Connect->show();
    for (QLabel* v : m_Value) v->clear();
    ClearDeviceValues();
    m_DeviceLink->EndFollowedTest();
    Pause(300);
    m_PortNumber = 0;
    store->SetDeviceKind(0);
    FillPortList();
    ShowLinkState(LinkState::Disconnected);
}

void CVelmoraViewDlg::FillPortList()
{
    const std::vector<std::string> ports = m_Discovery.SerialSearch();
    m_DevComboPort->setEnabled(true);
    m_DevComboPort->clear();
    for (const std::string& p : ports) m_DevComboPort->addItem(QString::fromStdString(p));
    if (!ports.empty()) m_DevComboPort->setCurrentIndex(0);
}

QString CVelmoraViewDlg::linkText() const { return m_State->text(); }

void CVelmoraViewDlg::ShowLinkState(LinkState state)
{
    m_Link = state;
    m_State->setText(
        LinkStateText(state, QString::fromStdString(GetSerial().DevicePath()), m_DevComboPort->count() > 0));
    const char* colour = state == LinkState::Connected ? "#1e7d32"
                         : state == LinkState::Waiting ? "#8a6d1c"
                                                       : "#8a1c1c";
    m_State->setStyleSheet(QStringLiteral("color: %1;").arg(QLatin1String(colour)));
    // No frame names the product; the one that answered is known.
    m_Value[0]->setText(state == LinkState::Connected ? QStringLiteral("ZOLT7") : QString());
}

void CVelmoraViewDlg::OnLinkAnswer()
{
    if (m_Store.Connected() && m_Link == LinkState::Waiting) ShowLinkState(LinkState::Connected);
}

void CVelmoraViewDlg::OnUnitReported(const UnitFrame& unit)
{
    // A late frame of a closed link is dropped.
    if (m_Store.Connected()) StoreUnitFrame(m_Store.Settings(), unit);
}

void CVelmoraViewDlg::OnResetSwallowedFrame()
{
    // The swallowed frame ended the pending reset.
    m_Store.Settings().Change([](emtask::BusInfo& b) { b.login = 0; });
    m_DeviceLink->Send(DeviceCommand::Reset);
}

void CVelmoraViewDlg::OnDeviceEnded()
{
    if (m_DeviceLink->AfterEnd()) OfferMeasure();
}

void CVelmoraViewDlg::OnMeasureDisabled() { m_Measure->setEnabled(false); }

void CVelmoraViewDlg::OnPortGone()
{
    // A late report of a link closed since then changes nothing.
    CDLSerial& port = GetSerial();
    if (!port.IsOpen() || !port.Gone()) return;
    DebugLine(" port read error: the device went away");
    m_Discovery.UpdateDevice(false, QString::fromStdString(port.DevicePath()));
}

void CVelmoraViewDlg::OnConnect()
{
    m_PortNumber = m_Discovery.OnCbnSelchangeComboSerial(m_DevComboPort->currentIndex());
    DebugLine(" MAIN_CONNECT_BTN m_portNUmber : %ld", static_cast<long>(m_PortNumber));
    if (m_PortNumber < 1) {
        ShowNotice(ErrorNotice::PortOpen);
        setEnabled(true);
        return;
    }
    CDLSerial& port = GetSerial();
    if (port.IsOpen()) port.Close();
    DebugLine(" startserial port : %d, baudrate : %d", m_PortNumber, kBaud);
    // Before the read thread starts: a reset left pending by an earlier run
    // swallows the first frame.
    m_DeviceLink->Begin(m_Store.Settings().Get().login == 1);
    if (!port.IsOpen() && port.Open(m_PortNumber, kBaud) == 1) {
        if (!port.m_RecvHandler.load()) port.m_RecvHandler = &RecvData;
        DebugLine("[시리얼 드라이버 초기화]");
        m_Measure->setEnabled(true);
        DeviceInfoDisplay(1);
        return;
    }
    DebugLine("SERIAL OPEN FAIL");
    m_SerialTimeout.start(2000);
}

void CVelmoraViewDlg::OnDisconnect()
{
    // The disconnect button, or any port went away: back to the disconnected
    // state with a fresh list. The port is closed too, so that no frame of a
    // half-gone link updates the values or the measure button behind the
    // disconnected look.
    DeviceInfoDisplay(0);
    m_DevComboPort->setEnabled(true);
    GetSerial().Close();
    // A frame read while the display was emptied may have refilled them.
    ClearDeviceValues();
}

void CVelmoraViewDlg::OnMeasure()
{
    DebugLine(" MAIN_MEASURE_BTN");
    if (!m_Gate.Start(NowMs())) return;  // already waiting for the unit code
    OnMeasureLook();
}

void CVelmoraViewDlg::OnMeasureLook()
{
    const bool unitKnown = m_Store.Settings().Get().unitcode[0] != 0;
    switch (m_Gate.Look(NowMs(), unitKnown)) {
    case MeasureGate::Verdict::Open:
        m_MeasureTimer.stop();
        OpenIdentification(*this, *m_IDentry);
        break;
    case MeasureGate::Verdict::GiveUp:
        m_MeasureTimer.stop();
        ShowNotice(ErrorNotice::PortOpen);
        break;
    case MeasureGate::Verdict::Wait:
        if (!m_MeasureTimer.isActive()) m_MeasureTimer.start(int(MeasureGate::kLookMs));
        break;
    case MeasureGate::Verdict::Idle: m_MeasureTimer.stop(); break;
    }
}

void CVelmoraViewDlg::OnLoad()
{
    DebugLine(" MAIN_LOAD_BTN");
    auto* records = qobject_cast<CReadDeviceDlg*>(WindowPointer(Wnd::ReadDevice));
    if (!records) return;
    records->OpenFromMain();
    DebugLine(" EnableWindow(FALSE)");
    setEnabled(false);
}

void CVelmoraViewDlg::OnAbout()
{
    // The instrument's line as it always read; the program's own below it.
    ShowMessage(this, tr("ZOLT7, Version 2.0\n%1").arg(AboutProgramLine()), tr("ZOLT7 Information"),
                QMessageBox::Information, QMessageBox::Ok);
}

void CVelmoraViewDlg::OnExit()
{
    SaveForExit();
    close();
}

void CVelmoraViewDlg::SaveForExit()
{
    if (m_Exiting) return;
    m_Exiting = true;
    emtask::EMTaskData* store = &m_Store;
    store->Settings().Change([](emtask::BusInfo& b) { b.reserved300 = 0; });
    emtask::MakeDirectory(emtask::ConfDir());
    ReportNotSaved(this, store->SaveSetting(emtask::ConfigPath().c_str()), tr("The settings"));
    QThread::msleep(100);
    QMetaObject::invokeMethod(
        qApp, [] { QCoreApplication::exit(kQuitCode); }, Qt::QueuedConnection);
}

void CVelmoraViewDlg::OnStartTest()
{
    if (GetSerial().IsOpen()) {
        // The test before is no longer the last one.
        m_LastTest->Clear();
        m_DeviceLink->Send(DeviceCommand::Start);
        const std::optional<measurement::StoredTest> outcome = RunTestWindow(this, m_Store, *m_DeviceLink);
        m_LastTest->Show(outcome, m_Store.Log().Records(), m_Store.Settings().Get().dateorder);
    }
    setEnabled(true);
}

void CVelmoraViewDlg::OnOption()
{
    m_Password->show();
    CenterWindow(m_Password.get());
    m_Password->raise();
    m_Password->activateWindow();
    setEnabled(false);
}

void CVelmoraViewDlg::OpenSettings()
{
    setEnabled(false);  // until the settings window closes
    if (m_Settings) m_Settings->Open();
}

void CVelmoraViewDlg::OnPasswordRefused()
{
    ShowNotice(ErrorNotice::WrongPassword);
    setEnabled(false);
    m_Password->setEnabled(false);
    m_Password->ClearEntry();
}

void CVelmoraViewDlg::OfferMeasure()
{
    // A late frame of a closed link must not offer a test.
    if (m_Store.Connected()) m_Measure->setEnabled(true);
}

void CVelmoraViewDlg::TakeControlBack()
{
    setEnabled(true);
    activateWindow();
}

void CVelmoraViewDlg::OnMsgShown(FollowUp followUp)
{
    if (followUp == FollowUp::CameraWait) setEnabled(false);
}

void CVelmoraViewDlg::OnMsgFinished(FollowUp followUp)
{
    // The camera wait hands over to the identification, not to this window.
    if (followUp == FollowUp::CameraWait) setEnabled(false);
    if (followUp == FollowUp::CameraApplied) setEnabled(true);
}

void CVelmoraViewDlg::OnErrorShown(FollowUp followUp)
{
    // The user list's errors leave this window as it is.
    if (followUp != FollowUp::UserListError) setEnabled(false);
}

void CVelmoraViewDlg::OnErrorFinished(FollowUp followUp)
{
    switch (followUp) {
    case FollowUp::CameraError:
    case FollowUp::PortError:
        QMetaObject::invokeMethod(this, &CVelmoraViewDlg::TakeControlBack, Qt::QueuedConnection);
        break;
    // Their windows take control back; this one waits with them.
    case FollowUp::PasswordError:
    case FollowUp::IdentryError: setEnabled(false); break;
    case FollowUp::MemoryFullIdentry:
    case FollowUp::MemoryFull: setEnabled(true); break;
    // Closed by their callers: no window is raised.
    case FollowUp::RegistrationFailed:
    case FollowUp::IdentryClosed: return;
    default: break;
    }
    // This window comes to the top; a window that takes control back raises
    // itself above it in its own slot, connected after this one.
    RaiseWindow(this);
}

void CVelmoraViewDlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    skin::PaintWindowFrame(p, rect(), kTitleHeight);
    skin::PaintPanel(p, QRect(63, 62, 400, 226));
    skin::PaintPanel(p, QRect(540, 62, 460, 226));
    skin::PaintPanel(p, QRect(63, 310, 937, 410));

    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(0x46, 0x46, 0x46));
    p.setFont(skin::Arial(22, true));
    p.drawText(QRect(90, 330, 880, 36), Qt::AlignLeft | Qt::AlignVCenter, tr("How to run a test"));
    p.setFont(skin::Arial(18));
    const char* steps[] = {
        QT_TR_NOOP("1.  Choose the instrument's port in the list and press Connect."),
        QT_TR_NOOP("2.  Press Measure, then identify the person to be tested."),
        QT_TR_NOOP("3.  Follow the instrument: the result and a photograph are stored."),
        QT_TR_NOOP("4.  Records lists the stored tests; Settings changes the preferences."),
    };
    for (int i = 0; i < 4; ++i)
        p.drawText(QRect(100, 384 + i * 44, 860, 36), Qt::AlignLeft | Qt::AlignVCenter, tr(steps[i]));
    // A stylised reading in the corner.
    p.setPen(QPen(QColor(0x1f, 0x6f, 0xb2, 60), 14, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i)
        p.drawArc(QRect(790 - i * 36, 560 - i * 36, 120 + i * 72, 120 + i * 72), 20 * 16, 140 * 16);
}

void CVelmoraViewDlg::contextMenuEvent(QContextMenuEvent* e)
{
    // Stands in for the system menu of a captioned window.
    QMenu menu(this);
    menu.addAction(tr("Minimize"), this, &CVelmoraViewDlg::showMinimized);
    menu.addSeparator();
    menu.addAction(tr("VelmoraView 정보(&A)..."), this, &CVelmoraViewDlg::OnAbout);
    menu.exec(e->globalPos());
}

void CVelmoraViewDlg::closeEvent(QCloseEvent* e)
{
    // Closed by the system: saved as by the exit button.
    SaveForExit();
    e->accept();
}
