// The settings window: page buttons on the left, one page at a time. The main
// window stays disabled while it is open; its close button gives control back.
#pragma once

#include "shell/SettingsPages.h"

#include <QTimer>
#include <QWidget>

class CSkinButton;
enum class FollowUp;

// The settings window ("Option"): one button per page, Registration, Device,
// Camera, Print Setting, Program Setting, Password and Central records.
class COptionDlg : public QWidget {
    Q_OBJECT
public:
    // Builds its pages through CreateSettingsPage().
    explicit COptionDlg(emtask::EMTaskData& store, QWidget* parent = nullptr);
    ~COptionDlg() override;

    // Puts a page in place of `index` (nullptr removes it); its button is
    // enabled exactly while a page is there.
    void setPage(int index, QWidget* page);
    QWidget* page(int index) const;
    CSkinButton* pageButton(int index) const { return m_Buttons[index]; }
    CSkinButton* closeButton() const { return m_Close; }
    int currentPage() const { return m_Current; }

    // Shows the window on "Registration", or on the first page that exists
    // while that one does not.
    void Open();
    void ShowPage(int index);
    void OnClose();

    // The camera page sets this dynamic property to true while its preview
    // runs; closing then waits for the camera first.
    static constexpr const char* kPreviewActive = "previewActive";
    // The wait for the camera before the window hides (1,000 ms).
    const QTimer& closeDelay() const { return m_CloseDelay; }

private slots:
    // The notices this window and its pages wait for.
    void OnNoticeShown(FollowUp followUp);
    void OnNoticeFinished(FollowUp followUp);

protected:
    void paintEvent(QPaintEvent*) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    QWidget* m_Pages[kSettingsPageCount] = {};
    CSkinButton* m_Buttons[kSettingsPageCount] = {};
    CSkinButton* m_Close;
    int m_Current = -1;
    QTimer m_CloseDelay;
};
