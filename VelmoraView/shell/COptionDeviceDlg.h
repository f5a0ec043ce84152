// "Device" page: the instrument's unit, levels and test count, read-only, as
// they were when the settings window opened.
#pragma once

#include "StoreParts.h"

#include <QString>
#include <QWidget>

class QLabel;

// "%BAC", "g/L", "mg/L" for "B", "G", "M"; any other code as it is.
QString DeviceUnitText(const char* unitField, size_t width);
// A three-digit level as "%c.%c%c", ending at the first missing digit.
QString DeviceLevelText(const char* levelField, size_t width);

// The settings window's Device page.
class COptionDeviceDlg : public QWidget {
    Q_OBJECT
public:
    explicit COptionDeviceDlg(const emtask::SettingsBlock& settings, QWidget* parent = nullptr);
    void Refresh();
    QString unitText() const;
    QString lowText() const;
    QString highText() const;
    QString countText() const;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    const emtask::SettingsBlock& m_Settings;
    QLabel* m_Value[4];
};
