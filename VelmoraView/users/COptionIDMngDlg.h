// The "Registration" page of the settings window: the list of registered
// users, registration and change, deletion, and the exchange of the register
// with .xlsx workbooks (each on a worker thread of its own).
#pragma once

#include "StoreParts.h"
#include "users/UserExchange.h"

#include <QString>
#include <QWidget>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;
class CLoadDataDlg;

// The settings window's Registration page: the list of registered users,
// their registration, removal and .xlsx exchange ("IDMng": ID management).
class COptionIDMngDlg : public QWidget {
    Q_OBJECT
public:
    COptionIDMngDlg(emtask::UserRegister& users, emtask::SettingsBlock& settings, QWidget* parent = nullptr);
    ~COptionIDMngDlg() override;

    enum Column { ColSeq, ColModify, ColDate, ColId, ColName, ColCount };

    QTableWidget* List() const { return m_list; }
    QString TotalText() const;
    bool Busy() const { return m_exportRunning || m_importRunning; }
    CLoadDataDlg* Progress() const { return m_progress; }

public slots:
    void RefreshUserList();
    void OnBnClickedBtnRegUser();    // "Register ID"
    void OnModify(int uid);          // a row's "Modify" cell
    void OnBnClickedBtnDelete();     // "Delete"
    void OnBnClickedBtnDeleteAll();  // "Delete All"
    void OnBnClickedBtnSaveAs();     // "Save as"
    void OnBnClickedBtnLoadFile();   // "Load file"
    void OnHeaderClicked(int column);

    // Export to a chosen path (what "Save as" runs after its dialog).
    void SaveXlsx(const QString& path);
    // Import from a chosen path (what OnImportMessage runs after its dialog).
    void LoadXlsx(const QString& path);

private:
    emtask::UserRegister& m_Users;
    emtask::SettingsBlock& m_Settings;
    struct Row {
        int slot = 0;  // where the user lies; equals uid unless the file was damaged
        int uid = 0;
        QString text[ColCount];
        std::string key[ColCount];  // UTF-8 of the shown text: the sort key
        bool checked = false;
    };
    void SortRows();
    void FillList();
    void SyncChecks();
    // The file dialog of an import, on the turn after its confirmation.
    void OnImportMessage();
    void QueueImport();
    void ExportFinished(bool ok, const QString& why);
    void ImportFinished(const xlsx::ReadResult& read, const users::ImportCheck& check, const struct tm& when);
    void JoinWorkers();
    void RunRegistration(int regType, int slot);  // the registration window, then the file
    static QString ImportErrorText(xlsx::ReadError e);

    QTableWidget* m_list;
    QLabel* m_totalLabel;
    QPushButton* m_btnReg;
    QPushButton* m_btnLoad;
    QPushButton* m_btnSave;
    QPushButton* m_btnDeleteAll;
    QPushButton* m_btnDelete;
    CLoadDataDlg* m_progress;
    std::vector<Row> m_rows;

    QString m_savePath;
    QString m_loadPath;
    std::thread m_exportThread;
    std::thread m_importThread;
    std::atomic<bool> m_exportRunning{false};
    std::atomic<bool> m_importRunning{false};
};
