// Renders the main window (connected to the first listed port when there is
// one, with a test stored from the photograph $ZOLT7_SCREENSHOT_PHOTO when
// given) and the settings window into PNG files for the documentation, in the
// language the system's locale chooses.
//   shell_screenshot MAIN.png SETTINGS.png [NOTICE.png [SPLASH.png [IDENTIFICATION.png]]]
//   (program folder: --home DIR)
#include "EMTaskData.h"
#include "ProgramFolder.h"
#include "controls/Skin.h"
#include "shell/COptionDlg.h"
#include "shell/CSplash.h"
#include "shell/CVelmoraViewDlg.h"
#include "messaging/Notices.h"
#include "messaging/WindowOps.h"
#include "measurement/TestStore.h"
#include "options/Language.h"
#include "options/Password.h"
#include "shell/LastTestPanel.h"

#include <QApplication>
#include <QComboBox>
#include <QPainter>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <opencv2/imgcodecs.hpp>

int main(int argc, char** argv)
{
    emtask::InitProgramFolder(argc, argv);
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: shell_screenshot [--home DIR] MAIN.png SETTINGS.png\n");
        return 2;
    }
    QApplication::setFont(skin::Arial(14));
    options::InstallLanguage(emtask::ProgramFolder());
    CVelmoraViewDlg::Options o;
    o.splash = false;
    o.countCameras = false;
    o.monitorPorts = false;
    CVelmoraViewDlg main(o);
    main.Init();
    if (main.portList()->count() > 0) main.OnConnect();
    const QString mainFile = QString::fromLocal8Bit(argv[1]);
    const QString settingsFile = QString::fromLocal8Bit(argv[2]);
    int rc = 0;
    QTimer::singleShot(1500, [&] {
        if (const char* photo = std::getenv("ZOLT7_SCREENSHOT_PHOTO")) {
            emtask::EMTaskData& store = *emtask::GetManager();
            store.Settings().Change([](emtask::BusInfo& b) {
                std::snprintf(b.subjectid, sizeof b.subjectid, "DRV-1042");
                std::snprintf(b.subjectname, sizeof b.subjectname, "Kim Minjun");
            });
            const std::time_t t = std::time(nullptr);
            struct tm now { };
            localtime_r(&t, &now);
            const auto stored = measurement::FlowDataSave(store, false, "0.045", cv::imread(photo), now);
            main.lastTestPanel()->Show(stored, store.Log().Records(), store.Settings().Get().dateorder);
        }
        main.RefreshClock();
        if (!main.grab().save(mainFile)) rc = 1;
        main.OpenSettings();
        COptionDlg* settings = main.settingsWindow();
        settings->ShowPage(int(SettingsPage::ProgramSetting));
        QTimer::singleShot(300, [&, settings] {
            if (!settings->grab().save(settingsFile)) rc = 1;
            settings->OnClose();
            if (argc > 3) {
                // A notice and the password prompt, side by side.
                ShowNotice(ErrorNotice::WrongPassword);
                QTimer::singleShot(200, [&] {
                    QWidget* notice = main.msgErrorWindow();
                    QWidget* prompt = main.passwordPrompt();
                    QImage both(notice->width() + prompt->width() + 20,
                                qMax(notice->height(), prompt->height()), QImage::Format_RGB32);
                    both.fill(Qt::white);
                    QPainter p(&both);
                    p.drawPixmap(0, 0, prompt->grab());
                    p.drawPixmap(prompt->width() + 20, 0, notice->grab());
                    p.end();
                    if (!both.save(QString::fromLocal8Bit(argv[3]))) rc = 1;
                    if (argc > 4) {
                        CSplash splash(nullptr);
                        if (!splash.grab().save(QString::fromLocal8Bit(argv[4]))) rc = 1;
                    }
                    if (argc > 5) {
                        QWidget* id = WindowWidget(Wnd::IDentry);
                        if (!id || !id->grab().save(QString::fromLocal8Bit(argv[5]))) rc = 1;
                    }
                    app.quit();
                });
                return;
            }
            app.quit();
        });
    });
    app.exec();
    return rc;
}
