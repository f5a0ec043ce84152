#include "shell/LastTestPanel.h"

#include "EMTaskStruct.h"
#include "StoreParts.h"
#include "TextUtil.h"
#include "controls/Skin.h"
#include "measurement/StatusPanel.h"
#include "records/PhotoLookup.h"

#include <QCoreApplication>
#include <QLabel>

namespace {
QLabel* TextLabel(QWidget* parent, const QRect& at, int size, bool bold)
{
    auto* l = new QLabel(parent);
    l->setGeometry(at);
    l->setFont(skin::Arial(size, bold));
    l->setTextFormat(Qt::PlainText);
    l->setStyleSheet(QStringLiteral("color: #303030;"));
    return l;
}
}  // namespace

CLastTestPanel::CLastTestPanel(QWidget* parent) : QFrame(parent)
{
    setAccessibleName(QCoreApplication::translate("LastTestPanel", "Last test"));
    m_Thumb = new QLabel(this);
    m_Thumb->setGeometry(0, 0, kThumbWidth, kThumbHeight);
    m_Thumb->setAlignment(Qt::AlignCenter);
    m_Thumb->setStyleSheet(QStringLiteral("background: #e8e8e8;"));
    const int x = kThumbWidth + 18;
    m_Title = TextLabel(this, QRect(x, 0, 440, 26), 18, true);
    m_Result = TextLabel(this, QRect(x, 28, 440, 38), 28, true);
    m_Subject = TextLabel(this, QRect(x, 68, 440, 26), 17, false);
    m_When = TextLabel(this, QRect(x, 94, 440, 26), 17, false);
    Clear();
}

void CLastTestPanel::Clear()
{
    for (QLabel* l : {m_Title, m_Result, m_Subject, m_When, m_Thumb}) l->clear();
    m_Thumb->setAccessibleName(QString());
    m_Thumb->setToolTip(QString());
    hide();
}

void CLastTestPanel::ShowNothingStored(const QString& what, const QString& why)
{
    m_Title->setText(QCoreApplication::translate("LastTestPanel", "Last test"));
    m_Result->setText(what);
    m_Result->setStyleSheet(QStringLiteral("color: #8a1c1c;"));
    m_Subject->setText(why);
    m_Thumb->hide();
    show();
}

void CLastTestPanel::Show(const std::optional<measurement::StoredTest>& outcome,
                          const emtask::DeviceData& log, int dateOrder)
{
    Clear();
    if (!outcome) {
        ShowNothingStored(QCoreApplication::translate("LastTestPanel", "No result"),
                          QCoreApplication::translate("LastTestPanel", "The test ended without a result."));
        return;
    }
    const int32_t slot = outcome->slot;
    if (slot < 0 || slot >= emtask::RecordCount(log)) {
        const QString why = outcome->logError.empty()
                                ? QCoreApplication::translate("LastTestPanel", "The test log is full.")
                                : QString::fromStdString(outcome->logError);
        ShowNothingStored(QCoreApplication::translate("LastTestPanel", "Not stored"), why);
        return;
    }
    const emtask::TestRecord& rec = log.m_TestData[slot];
    // In the log in memory, but not on disk: said, not hidden.
    m_Title->setText(
        (outcome->logSaved < 0
             ? QCoreApplication::translate("LastTestPanel", "Last test  No. %1  (not saved to disk)")
             : QCoreApplication::translate("LastTestPanel", "Last test  No. %1"))
            .arg(rec.testno));

    const QString result = QString::fromUtf8(emtask::FieldText(rec.result));
    if (rec.mode == 'F') {
        m_Result->setText(QCoreApplication::translate("LastTestPanel", "Flow error"));
        m_Result->setStyleSheet(QStringLiteral("color: #303030;"));
    } else {
        m_Result->setText(result + QLatin1Char(' ') + QString::fromLatin1(emtask::UnitText(rec.unit)));
        m_Result->setStyleSheet(measurement::IsAlertResult(result) ? QStringLiteral("color: #e61e1e;")
                                                                   : QStringLiteral("color: #00a050;"));
    }
    m_Subject->setText(QString::fromUtf8(emtask::FieldText(rec.id)) + QStringLiteral("   ") +
                       QString::fromUtf8(emtask::FieldText(rec.name)));
    m_When->setText(QString::fromUtf8(emtask::RecordDateText(rec, dateOrder, emtask::DateStyle::Row)) +
                    QLatin1Char(' ') + QString::fromUtf8(emtask::RecordTimeText(rec)));

    // Decoded through the bounded loader, with its check, as the records show it.
    const records::PhotoResult photo = records::CheckRecordPhoto(records::LogPhotoSource(), log, slot);
    m_Thumb->setPixmap(QPixmap::fromImage(
        photo.picture.scaled(kThumbWidth, kThumbHeight, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    const QString alt =
        photo.verdict == records::PhotoVerdict::Intact
            ? QCoreApplication::translate("LastTestPanel", "Photograph of test %1").arg(rec.testno)
        : photo.verdict == records::PhotoVerdict::Altered
            ? QCoreApplication::translate("LastTestPanel",
                                          "The photograph of test %1 does not match its record")
                  .arg(rec.testno)
            : QCoreApplication::translate("LastTestPanel", "No photograph of test %1").arg(rec.testno);
    m_Thumb->setAccessibleName(alt);
    m_Thumb->setToolTip(alt);
    m_Thumb->show();
    show();
}

QString CLastTestPanel::Text() const
{
    QStringList lines;
    for (const QLabel* l : {m_Title, m_Result, m_Subject, m_When})
        if (!l->text().isEmpty()) lines << l->text();
    return lines.join(QLatin1Char('\n'));
}
