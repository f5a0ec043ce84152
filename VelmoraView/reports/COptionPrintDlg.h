// "Print Setting" page: the report background and the default texts of the
// report's four entries, with a live preview of the form.
#pragma once

#include "StoreParts.h"
#include "reports/ReportPage.h"

#include <QImage>
#include <QStringList>
#include <QWidget>
#include <string>

class CLimitedEdit;
class QButtonGroup;
class QLineEdit;
class QPushButton;
class QRadioButton;
namespace emtask {
struct BusInfo;
}

// The settings window's Print Setting page.
class COptionPrintDlg : public QWidget {
    Q_OBJECT
public:
    explicit COptionPrintDlg(emtask::SettingsBlock& settings, QWidget* parent = nullptr);
    ~COptionPrintDlg() override;

    static constexpr QRect kPreviewArea{510, 24, 230, 335};
    enum Entry { Title, Operator, Subject, Note, EntryCount };

    // Fills the fields from the stored settings, after resetting a stored
    // custom image that is gone; refreshes the preview.
    void Fill();
    void OnBrowse();
    void OnApplyBackground();
    void OnApplyEntries();
    void RefreshPreview();

    QRadioButton* choice(int background) const;
    int checkedChoice() const;
    QLineEdit* pathField() const { return m_Path; }
    CLimitedEdit* entry(Entry e) const { return m_Entries[e]; }
    QPushButton* browseButton() const { return m_Browse; }
    QPushButton* applyBackgroundButton() const { return m_ApplyBg; }
    QPushButton* applyEntriesButton() const { return m_ApplyEntries; }
    QImage previewPage() const { return m_PreviewPage; }

protected:
    void showEvent(QShowEvent* e) override;
    void paintEvent(QPaintEvent*) override;

private:
    emtask::SettingsBlock& m_Settings;
    void OnChoice(int background);
    // Stores a usable path of the field for "Custom"; otherwise refuses it:
    // Default is selected and stored, and the user told. False when refused.
    bool StoreCustomPath(emtask::BusInfo& b);
    // The background choice and the entries into `b`; false when the custom
    // path was refused. Entries cut to fit are named in `shortened`.
    bool StoreEntries(emtask::BusInfo& b, QStringList& shortened);
    void SelectChoice(int background);
    QImage PreviewBackground();

    QButtonGroup* m_Choices;
    QLineEdit* m_Path;
    QPushButton* m_Browse;
    QPushButton* m_ApplyBg;
    CLimitedEdit* m_Entries[EntryCount] = {};
    QPushButton* m_ApplyEntries;
    QImage m_PreviewPage;  // full size, without record values
    QImage m_Preview;      // scaled into the area
    // The last background loaded for the preview, so typing does not decode
    // a custom image again on every key.
    int m_BgChoice = -1;
    QString m_BgPath;
    QImage m_Bg;
};
