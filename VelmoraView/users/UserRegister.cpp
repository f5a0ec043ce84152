#include "users/UserRegister.h"

#include "TextUtil.h"

#include <QCoreApplication>
#include <QList>

#include <cstdio>
#include <cstring>

using emtask::BusUserInfo;

namespace users {

size_t CharCount(const std::string& utf8)
{
    size_t n = 0;
    for (unsigned char c : utf8)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

bool IsHiddenCharacter(char32_t c)
{
    // Controls (C0, DEL, C1) and format characters (bidirectional overrides,
    // zero-width spaces and joiners): invisible or reordering, they let two
    // IDs that look the same be different texts.
    const QChar::Category cat = QChar::category(c);
    return cat == QChar::Other_Control || cat == QChar::Other_Format;
}

bool HasBadCharacter(const std::string& utf8)
{
    if (!QUtf8StringView(utf8).isValidUtf8()) return true;
    for (char32_t c : QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())).toUcs4())
        if (IsHiddenCharacter(c)) return true;
    return false;
}

int FirstFreeSlot(const BusUserInfo* table)
{
    for (int s = 1; s <= kMaxUserSlot; ++s)
        if (table[s].uid == 0) return s;
    return -1;
}

int CountUsers(const BusUserInfo* table)
{
    int n = 0;
    for (int s = 0; s < emtask::kMaxUsers; ++s)
        if (table[s].uid > 0) ++n;
    return n;
}

CheckResult CheckUser(const BusUserInfo* table, int slot, const std::string& id, const std::string& name)
{
    // Every slot in use is compared. A scan that stops after totaluser users
    // would miss a duplicate whenever the count is off, and a free slot holds
    // nothing the operator could see in the list.
    enum { None, SameId, SameName } outcome = None;
    for (int s = 0; s < emtask::kMaxUsers && outcome == None; ++s) {
        if (s == slot || table[s].uid <= 0) continue;
        const std::string cusid = emtask::FieldText(table[s].cusid);
        const std::string uname = emtask::FieldText(table[s].uname);
        if (id == cusid || id == uname)
            outcome = SameId;
        else if (name == cusid || name == uname)
            outcome = SameName;
    }
    if (id.empty()) return CheckResult::EmptyId;
    if (outcome == SameId || id == kHeaderText) return CheckResult::DuplicateId;
    if (name.empty()) return CheckResult::EmptyName;
    if (outcome == SameName || name == kHeaderText) return CheckResult::DuplicateName;
    return CheckResult::Ok;
}

QString CheckMessage(CheckResult r)
{
    switch (r) {
    case CheckResult::EmptyId: return QCoreApplication::translate("users", "Please fill in ID.");
    case CheckResult::DuplicateId:
        return QCoreApplication::translate("users", "There are same ID or Name.\nPlease use another ID.");
    case CheckResult::EmptyName: return QCoreApplication::translate("users", "Please fill in Name.");
    case CheckResult::DuplicateName:
        return QCoreApplication::translate("users", "There are same ID or Name.\nPlease use another Name.");
    case CheckResult::Ok: break;
    }
    return {};
}

void StampUser(BusUserInfo& u, const struct tm& lt)
{
    char buf[24];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d%02d%02d%02d", (lt.tm_year + 1900) % 10000,
                  (lt.tm_mon + 1) % 100, lt.tm_mday % 100, lt.tm_hour % 100, lt.tm_min % 100,
                  lt.tm_sec % 100);
    std::memcpy(u.year, buf, 4);
    std::memcpy(u.month, buf + 4, 2);
    std::memcpy(u.day, buf + 6, 2);
    std::memcpy(u.hour, buf + 8, 2);
    std::memcpy(u.minute, buf + 10, 2);
    std::memcpy(u.second, buf + 12, 2);
}

void StoreTexts(BusUserInfo& u, const std::string& id, const std::string& name)
{
    emtask::CopyField(u.cusid, id);
    emtask::CopyField(u.uname, name);
}

QString FitEntry(const QString& text, int maxChars)
{
    QString out;
    int chars = 0;
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < text.size() && chars < maxChars;) {
        const qsizetype len =
            (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ? 2 : 1;
        const QString ch = text.mid(i, len);
        i += len;
        if (IsHiddenCharacter(ch.toUcs4().value(0))) continue;
        const qsizetype chBytes = ch.toUtf8().size();
        if (bytes + chBytes > static_cast<qsizetype>(kFieldMaxBytes)) break;
        out += ch;
        bytes += chBytes;
        ++chars;
    }
    return out;
}

QString FieldQString(const char* field, size_t width)
{
    return QString::fromStdString(emtask::FieldText(field, width));
}

}  // namespace users
