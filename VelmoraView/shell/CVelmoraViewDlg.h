// The main window: lives for the whole run, owns the long-lived windows,
// connects to the instrument, starts tests, opens the settings, keeps a clock.
#pragma once

#include "devicelink/DeviceLink.h"
#include "devicelink/PortDiscovery.h"
#include "shell/MeasureGate.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <memory>

class CSkinButton;
class CLastTestPanel;
class CMsg;
class CMsgError;
class CPassword;
class CIDentry;
class COptionDlg;
class CSplash;
class CReadDeviceDlg;
class CSearchDataDlg;
class ReportPreview;
namespace emtask {
class EMTaskData;
}
class QLabel;
namespace central {
class CentralWorker;
}

enum class FollowUp;

// The main window (named after the program); it owns the instrument's link.
class CVelmoraViewDlg : public QWidget {
    Q_OBJECT
public:
    // The buttons of the window (CSkinButton ids).
    enum class Button { Load, About, Connect, Disconnect, Minimize, Exit, Option, Measure };
    struct Options {
        bool splash = true;        // show the splash while starting
        bool debugLevel = false;   // diagnostic output on standard error (--debug)
        bool countCameras = true;  // probe the camera devices
        bool monitorPorts = true;  // watch udev for plug and unplug
    };
    CVelmoraViewDlg();
    explicit CVelmoraViewDlg(const Options& options);
    ~CVelmoraViewDlg() override;

    // The initialisation, in its order. Without the splash the window is
    // shown at its end.
    void Init();

    void DeviceInfoDisplay(int a_Connect);

    // For tests and the windows that look at the main window.
    CSkinButton* button(Button which) const;
    QComboBox* portList() const { return m_DevComboPort; }
    QString clockText() const;
    void RefreshClock();
    int portNumber() const { return m_PortNumber; }
    bool measurePending() const { return m_Gate.Pending(); }
    LinkState linkState() const { return m_Link; }
    QString linkText() const;
    CMsg* msgWindow() const { return m_Msg.get(); }
    CMsgError* msgErrorWindow() const { return m_MsgError.get(); }
    CPassword* passwordPrompt() const { return m_Password.get(); }
    COptionDlg* settingsWindow() const { return m_Settings.get(); }
    CPortDiscovery& discovery() { return m_Discovery; }
    QLabel* valueLabel(int i) const { return m_Value[i]; }
    CSplash* splash() const { return m_Splash.get(); }
    CReadDeviceDlg* recordWindow() const { return m_Records.get(); }
    ReportPreview& reportPreview() const { return *m_Preview; }
    DeviceLink& deviceLink() const { return *m_DeviceLink; }
    QString centralText() const;  // the whole state line
    CLastTestPanel* lastTestPanel() const { return m_LastTest; }
    // A double-clicked search result opens the report of its own slot.
    void ConnectSearchResults(CSearchDataDlg& results);

public slots:
    // The buttons.
    void OnMeasure();
    void OnLoad();
    void OnOption();  // the password prompt before the settings
    void OnAbout();
    void OnConnect();
    void OnDisconnect();
    void OnExit();
    // The password prompt's answers.
    void OpenSettings();
    void OnPasswordRefused();

protected:
    void paintEvent(QPaintEvent*) override;
    void contextMenuEvent(QContextMenuEvent*) override;
    void closeEvent(QCloseEvent*) override;

private slots:
    void ShowCentralState(const QString& line);
    // What the instrument's link tells (window thread).
    void OnUnitReported(const UnitFrame& unit);
    void OnLinkAnswer();
    void OnResetSwallowedFrame();
    void OnDeviceEnded();
    void OnPortGone();
    void OnMeasureDisabled();
    // The notices this window waits for.
    void OnMsgShown(FollowUp followUp);
    void OnMsgFinished(FollowUp followUp);
    void OnErrorShown(FollowUp followUp);
    void OnErrorFinished(FollowUp followUp);

private:
    emtask::EMTaskData& m_Store;
    std::unique_ptr<ReportPreview> m_Preview;  // Print View, opened from the lists
    void ConnectDeviceLink();
    void CreateChildren();
    void CreateControls();
    void OnMeasureLook();
    void OfferMeasure();
    void TakeControlBack();
    void FillPortList();
    void ShowLinkState(LinkState state);
    uint32_t NowMs() const { return static_cast<uint32_t>(m_Since.elapsed()); }
    void SaveForExit();
    void OnStartTest();
    void ClearDeviceValues();

    Options m_Options;
    int m_PortNumber = 0;
    MeasureGate m_Gate;
    LinkState m_Link = LinkState::Disconnected;
    QElapsedTimer m_Since;  // the clock of the measure gate
    bool m_Exiting = false;
    QRect m_WorkArea;

    std::unique_ptr<DeviceLink> m_DeviceLink;  // of GetSerial(); lent to the test window
    CPortDiscovery m_Discovery;
    QComboBox* m_DevComboPort = nullptr;
    CSkinButton* m_Measure = nullptr;
    CSkinButton* m_Load = nullptr;
    CSkinButton* m_Option = nullptr;
    CSkinButton* m_About = nullptr;
    CSkinButton* m_Connect = nullptr;
    CSkinButton* m_Disconnect = nullptr;
    CSkinButton* m_Minimize = nullptr;
    CSkinButton* m_Exit = nullptr;
    QLabel* m_Clock = nullptr;
    QLabel* m_TitleLabel = nullptr;
    QLabel* m_Heading = nullptr;
    QLabel* m_Caption[4] = {};
    QLabel* m_Colon[4] = {};
    QLabel* m_Value[4] = {};
    QLabel* m_State = nullptr;
    QLabel* m_CentralLine = nullptr;  // the central database's state, one line
    CLastTestPanel* m_LastTest = nullptr;

    static constexpr int kClockTickMs = 1000;
    QTimer m_ClockTimer;
    QTimer m_SerialTimeout;  // logged as MSG_SERIAL_TIMEOUT
    QTimer m_MeasureTimer;

    std::unique_ptr<CMsg> m_Msg;
    std::unique_ptr<CMsgError> m_MsgError;
    std::unique_ptr<CPassword> m_Password;
    std::unique_ptr<CIDentry> m_IDentry;
    std::unique_ptr<CReadDeviceDlg> m_Records;
    std::unique_ptr<COptionDlg> m_Settings;
    std::unique_ptr<CSplash> m_Splash;
    std::unique_ptr<central::CentralWorker> m_Central;
};
