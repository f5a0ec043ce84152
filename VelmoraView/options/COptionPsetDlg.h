// "Program Setting" page: date order, photo save with exports, rows per sheet,
// and the windows' language. Every change is saved at once.
#pragma once

#include "StoreParts.h"

#include <QWidget>

class QButtonGroup;
class QComboBox;
class QRadioButton;

// The settings window's Program Setting page ("Pset": program settings).
class COptionPsetDlg : public QWidget {
    Q_OBJECT
public:
    explicit COptionPsetDlg(emtask::SettingsBlock& settings, QWidget* parent = nullptr);
    ~COptionPsetDlg() override;

    // Checked date choice (0, 1, 2) or -1 when none is marked.
    int checkedDateOrder() const;
    int checkedPhotoSave() const;
    QComboBox* rowsList() const { return m_Rows; }
    QComboBox* languageList() const { return m_Language; }
    QRadioButton* dateChoice(int order) const;
    QRadioButton* photoChoice(int value) const;

signals:
    // A date order was chosen: the dates shown elsewhere are written again.
    void dateOrderChanged();

protected:
    void showEvent(QShowEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    emtask::SettingsBlock& m_Settings;
    void LoadControls();
    void OnDateOrder(int order);
    void OnPhotoSave(int value);
    void OnRows(int index);
    void OnLanguage(int index);

    bool m_Initialised = false;
    QButtonGroup* m_Date;
    QButtonGroup* m_Photo;
    QComboBox* m_Rows;
    QComboBox* m_Language;
};
