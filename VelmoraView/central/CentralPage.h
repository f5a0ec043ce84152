// "Central records" settings page: the connection string, the station name
// and whether tests are sent, saved to conf/central.conf by Apply.
#pragma once

#include <QWidget>

class QCheckBox;
class QLineEdit;
class QPushButton;

class CentralPage : public QWidget {
    Q_OBJECT
public:
    explicit CentralPage(QWidget* parent = nullptr);

    QLineEdit* urlEdit() const { return m_Url; }
    QLineEdit* stationEdit() const { return m_Station; }
    QCheckBox* enabledBox() const { return m_Enabled; }
    // Checks and saves what the page shows; a refusal or failure is said. True when saved.
    bool Apply();

signals:
    // The settings were saved: whoever sends tests takes them up.
    void settingsSaved();

protected:
    void showEvent(QShowEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    void Load();

    QLineEdit* m_Url;
    QLineEdit* m_Station;
    QCheckBox* m_Enabled;
    QPushButton* m_Apply;
};
