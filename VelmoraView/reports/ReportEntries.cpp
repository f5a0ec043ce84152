#include "reports/ReportEntries.h"

#include "EMTaskData.h"
#include "controls/LimitedEdit.h"
#include "controls/Skin.h"
#include "reports/ReportPage.h"

#include <QLabel>
#include <QPushButton>
#include <string>

namespace reports {

namespace {
struct EntrySpec {
    const char* label;
    int chars;
    int bytes;  // the stored field without its NUL
};
const EntrySpec kEntries[kEntryCount] = {
    {"Title", 15, int(sizeof(emtask::BusInfo::reporttitle)) - 1},
    {"Operator/Doctor", 30, int(sizeof(emtask::BusInfo::operatortext)) - 1},
    {"Subject/Patient", 30, int(sizeof(emtask::BusInfo::subjecttext)) - 1},
    {"Note", 60, int(sizeof(emtask::BusInfo::notetext)) - 1},
};
}  // namespace

EntryRow AddEntryRow(int i, QWidget* parent)
{
    auto* label = new QLabel(QString::fromLatin1(kEntries[i].label), parent);
    auto* edit = new CLimitedEdit(kEntries[i].chars, kEntries[i].bytes, parent);
    edit->setAccessibleName(label->text());
    return {label, edit};
}

void FillEntries(CLimitedEdit* const (&entries)[kEntryCount], const emtask::BusInfo& b)
{
    const ReportTexts t = FormTexts(b);
    const std::string* texts[kEntryCount] = {&t.title, &t.operatorText, &t.subject, &t.note};
    for (int i = 0; i < kEntryCount; ++i) {
        QString s = QString::fromUtf8(texts[i]->data(), qsizetype(texts[i]->size()));
        while (!CLimitValidator::Fits(s, kEntries[i].chars, kEntries[i].bytes)) s.chop(1);
        entries[i]->setText(s);
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
