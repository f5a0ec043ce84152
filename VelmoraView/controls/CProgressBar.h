// The bar of the progress window: filled from the left in blue on white,
// with one line of text centred on it that depends on the operation (its
// phase) and on the window running it (its context).
#pragma once

#include <QString>
#include <QWidget>

enum class ProgressPhase {
    Display,    // the record or search window fills its rows
    PhotoCopy,  // an archive save copies photographs
    Workbook,   // records are written to workbooks
};

struct ProgressTextInfo {
    ProgressPhase phase = ProgressPhase::Display;
    int context = 0;    // 0 the record window, 1 the search results window
    int total = 0;      // the count the texts name as "Total"
    int firstSlot = 0;  // display, context 0: the sheet's slot range (0-based)
    int lastSlot = 0;
};

// Text for position p of upper bound h (lower bound 0).
QString ProgressText(const ProgressTextInfo& info, double p, double h);

class CProgressBar : public QWidget {
    Q_OBJECT
public:
    explicit CProgressBar(QWidget* parent = nullptr);

    void SetRange(int lower, int upper);
    void SetPos(int pos);  // clamped to the range
    void SetStep(int step) { m_step = step; }
    int StepIt();  // adds the step, clamped; returns the new position
    int GetPos() const { return m_pos; }
    int GetLower() const { return m_lower; }
    int GetUpper() const { return m_upper; }

    void SetTextInfo(const ProgressTextInfo& info);
    const ProgressTextInfo& TextInfo() const { return m_info; }
    QString Text() const;  // what the bar shows now ("" when nothing is drawn)

protected:
    void paintEvent(QPaintEvent*) override;

private:
    int m_lower = 0;
    int m_upper = 100;
    int m_pos = 0;
    int m_step = 1;
    ProgressTextInfo m_info;
};
