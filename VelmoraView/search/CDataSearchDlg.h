// The criteria window "Data Search": five criteria ticked at will, their
// values checked on OK and stored in the store's SearchInfo, where they stay
// for the rest of the run. Opened modally by the record window's Search.
#pragma once

#include "StoreParts.h"
#include "search/SearchCriteria.h"

#include <QDialog>

class QCheckBox;
class QDateTimeEdit;
class QLineEdit;

// The criteria window ("Data Search"); its results go to CSearchDataDlg.
class CDataSearchDlg : public QDialog {
    Q_OBJECT
public:
    // The date pickers show dates in the settings' `dateOrder`, as the tables do.
    CDataSearchDlg(emtask::SearchResults& search, int dateOrder, QWidget* parent = nullptr);

    // Fills the window from the stored criteria and runs it modally (through
    // Dialogs()); QDialog::Accepted when the criteria were stored.
    int DoModal();
    // The opening steps: defaults, repairs of the stored criteria, today's
    // date in both pickers, the boxes from the flag bits, the stored values.
    void InitDialog();

    enum Box { BoxTestNo, BoxDate, BoxIdName, BoxNormal, BoxError, BoxCount };
    QCheckBox* CheckBox(Box b) const { return m_Box[b]; }
    QLineEdit* StartNoEdit() const { return m_StartNo; }
    QLineEdit* EndNoEdit() const { return m_EndNo; }
    QDateTimeEdit* StartDate() const { return m_StartDate; }
    QDateTimeEdit* EndDate() const { return m_EndDate; }
    QLineEdit* IdNameEdit() const { return m_IdName; }
    QLineEdit* NormalStartEdit() const { return m_NormalStart; }
    QLineEdit* NormalEndEdit() const { return m_NormalEnd; }

public slots:
    void OnOK();

private:
    emtask::SearchResults& m_Search;
    search::CriteriaInput Input() const;
    QCheckBox* m_Box[BoxCount];
    QLineEdit* m_StartNo;
    QLineEdit* m_EndNo;
    QDateTimeEdit* m_StartDate;
    QDateTimeEdit* m_EndDate;
    QLineEdit* m_IdName;
    QLineEdit* m_NormalStart;
    QLineEdit* m_NormalEnd;
};
