#include "EMTaskData.h"
#include "TestFolder.h"
#include "TextUtil.h"
#include "controls/Dialogs.h"
#include "search/CDataSearchDlg.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QTest>

using namespace emtask;

class TstDataSearch : public QObject {
    Q_OBJECT
    SearchInfo& Info() { return GetManager()->m_SearchInfo; }

private slots:
    void init() { GetManager()->Reset(); }

    void firstOpeningAndBoxes()
    {
        CDataSearchDlg dlg;
        dlg.InitDialog();
        QCOMPARE(dlg.StartNoEdit()->text(), QStringLiteral("1"));
        QCOMPARE(dlg.EndNoEdit()->text(), QStringLiteral("999999"));
        QCOMPARE(dlg.StartDate()->date(), QDate::currentDate());
        QCOMPARE(FieldText(Info().errortext), std::string());  // bit 5 clear: emptied

        dlg.CheckBox(CDataSearchDlg::BoxError)->click();
        dlg.CheckBox(CDataSearchDlg::BoxDate)->click();
        QCOMPARE(Info().flags, uint32_t(SEARCH_ERROR | SEARCH_DATE));
        dlg.CheckBox(CDataSearchDlg::BoxDate)->click();
        dlg.reject();  // the unticked box stays cleared after Cancel
        QCOMPARE(Info().flags, uint32_t(SEARCH_ERROR));
        QCOMPARE(FieldText(Info().startno), std::string("1"));  // the opening repairs
    }

    void failedCheckKeepsTheWindowAndStoresNothing()
    {
        ScriptedDialogs dialogs;
        CDataSearchDlg dlg;
        dlg.InitDialog();
        dlg.CheckBox(CDataSearchDlg::BoxTestNo)->click();
        dlg.StartNoEdit()->setText(QStringLiteral("500"));
        dlg.EndNoEdit()->setText(QStringLiteral("100"));
        dlg.OnOK();
        QCOMPARE(dialogs.messages(), QStringList{QStringLiteral("Search Start No Error.")});
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(FieldText(Info().startno), std::string("1"));

        dlg.StartNoEdit()->setText(QStringLiteral("10"));
        dlg.EndNoEdit()->setText(QStringLiteral("20"));
        dlg.CheckBox(CDataSearchDlg::BoxDate)->click();
        dlg.StartDate()->setDateTime(QDateTime(QDate(2024, 3, 7), QTime(14, 25, 1)));
        dlg.EndDate()->setDateTime(QDateTime(QDate(2024, 3, 9), QTime(8, 0, 0)));
        dlg.OnOK();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(FieldText(Info().startno), std::string("10"));
        QCOMPARE(FieldText(Info().dateStart), std::string("20240307142501"));
        QCOMPARE(FieldText(Info().dateEnd), std::string("20240309080000"));

        // Reopened: the values of the last search.
        CDataSearchDlg again;
        again.InitDialog();
        QVERIFY(again.CheckBox(CDataSearchDlg::BoxTestNo)->isChecked());
        QCOMPARE(again.EndNoEdit()->text(), QStringLiteral("20"));
        QCOMPARE(again.StartDate()->date(), QDate(2024, 3, 7));
    }
};

QTEST_MAIN(TstDataSearch)
#include "tst_datasearch.moc"
