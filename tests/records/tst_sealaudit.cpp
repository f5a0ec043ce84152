#include "SealFixture.h"
#include "controls/Dialogs.h"
#include "controls/SkinButton.h"
#include "messaging/Messages.h"
#include "records/CReadDeviceDlg.h"

#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

class TestSealAudit : public QObject {
    Q_OBJECT
private slots:
    // Check all on a small log with one changed record: the finding is listed
    // and saved as CSV, written whole under the chosen name.
    void checkAllListsAndSaves()
    {
        TestFolder home;
        MakeSealedLog(6);
        EditRecord(2, [](emtask::TestRecord& r) { r.result[0] = '7'; });

        CReadDeviceDlg records;
        records.Button(msg::RD_AUDIT_BTN)->click();
        SealAuditDlg* audit = records.AuditWindow();
        QVERIFY(audit && audit->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!audit->Running(), 20000);
        QVERIFY2(audit->SummaryText().contains("Not everything verifies"), qPrintable(audit->SummaryText()));
        QVERIFY(audit->SummaryText().contains("record changed: 1"));
        QCOMPARE(audit->List()->topLevelItemCount(), 1);
        const QTreeWidgetItem* row = audit->List()->topLevelItem(0);
        QCOMPARE(row->text(0), QStringLiteral("record changed"));
        QCOMPARE(row->text(1), QStringLiteral("3"));
        QCOMPARE(row->text(4), QStringLiteral("id3"));

        ScriptedDialogs dialogs;
        const std::string path = home / "findings";
        dialogs.fileAnswers.push_back(QString::fromStdString(path));
        audit->SaveButton()->click();
        const std::vector<char> bytes = ReadBytes(path + ".csv");
        const QStringList lines = QString::fromUtf8(bytes.data(), qsizetype(bytes.size())).split('\n');
        QCOMPARE(lines.size(), 3);  // header, the finding, the end of the last line
        QVERIFY(lines[1].startsWith("\"record changed\",3,,\"2024-03-07\",\"14:00:02\",\"id3\",\"Name 3\","));
        QVERIFY(dialogs.messages().isEmpty());
    }
};

QTEST_MAIN(TestSealAudit)
#include "tst_sealaudit.moc"
