// The main window's note of the last test: what the test window stored, with
// its photograph, kept until the next test begins.
#pragma once

#include "measurement/TestStore.h"

#include <QFrame>
#include <optional>

class QLabel;
namespace emtask {
struct DeviceData;
}

class CLastTestPanel : public QFrame {
public:
    static constexpr int kThumbWidth = 160;
    static constexpr int kThumbHeight = 120;

    explicit CLastTestPanel(QWidget* parent = nullptr);

    // What a test window left (none: it ended without a result to store),
    // read from the test log `log` it stored into.
    void Show(const std::optional<measurement::StoredTest>& outcome, const emtask::DeviceData& log,
              int dateOrder);
    // A new test has begun: nothing of the one before is shown.
    void Clear();

    // For tests: the lines shown, one a line, and the thumbnail.
    QString Text() const;
    const QLabel* Thumbnail() const { return m_Thumb; }

private:
    void ShowNothingStored(const QString& what, const QString& why);

    QLabel* m_Title = nullptr;
    QLabel* m_Result = nullptr;
    QLabel* m_Subject = nullptr;
    QLabel* m_When = nullptr;
    QLabel* m_Thumb = nullptr;
};
