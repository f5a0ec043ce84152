#include "reports/ReportEntries.h"

#include "EMTaskData.h"
#include "controls/LimitedEdit.h"
#include "controls/Skin.h"
#include "reports/ReportPage.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <string>

namespace reports {

namespace {
struct EntrySpec {
    const char* label;
    int chars;
};
const EntrySpec kEntries[kEntryCount] = {{QT_TRANSLATE_NOOP("reports", "Title"), 15},
                                         {QT_TRANSLATE_NOOP("reports", "Operator/Doctor"), 30},
                                         {QT_TRANSLATE_NOOP("reports", "Subject/Patient"), 30},
                                         {QT_TRANSLATE_NOOP("reports", "Note"), 60}};
// Characters are what the entries limit; storing a text cuts it to its field
// at a character boundary (CopyField). Four bytes hold any character.
constexpr int kMaxCharBytes = 4;
}  // namespace

EntryRow AddEntryRow(int i, QWidget* parent)
{
    auto* label = new QLabel(QCoreApplication::translate("reports", kEntries[i].label), parent);
    auto* edit = new CLimitedEdit(kEntries[i].chars, kEntries[i].chars * kMaxCharBytes, parent);
    edit->setAccessibleName(label->text());
    return {label, edit};
}

void FillEntries(CLimitedEdit* const (&entries)[kEntryCount], const emtask::BusInfo& b)
{
    const ReportTexts t = FormTexts(b);
    const std::string* texts[kEntryCount] = {&t.title, &t.operatorText, &t.subject, &t.note};
    for (int i = 0; i < kEntryCount; ++i) {
        QList<uint> chars = QString::fromUtf8(texts[i]->data(), qsizetype(texts[i]->size())).toUcs4();
        chars.resize(std::min(chars.size(), qsizetype(kEntries[i].chars)));
        entries[i]->setText(
            QString::fromUcs4(reinterpret_cast<const char32_t*>(chars.constData()), chars.size()));
        entries[i]->setCursorPosition(0);
    }
}

QPushButton* FlatButton(const QString& text, const QRect& r, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setGeometry(r);
    b->setAutoDefault(false);
    skin::StyleFlatButton(b);
    return b;
}

}  // namespace reports
