// Rules of the user register that need no window: free slots, the check of
// an entry against the other users, storing and time-stamping a user, and
// the limits of the entry texts.
#pragma once

#include "EMTaskStruct.h"

#include <QString>
#include <ctime>
#include <string>

namespace users {

constexpr int kIdMaxChars = 15;
constexpr int kNameMaxChars = 30;
constexpr size_t kFieldMaxBytes = sizeof(emtask::BusUserInfo::cusid) - 1;  // 63, plus the NUL
constexpr int kMaxUserSlot = emtask::kMaxUsers - 1;                        // 9,999

// The header text of an exchanged workbook. A user holding it as ID or name
// would be taken for the header when the workbook is read back.
constexpr const char* kHeaderText = "User ID";

// Characters of a UTF-8 text (code points; a stray byte counts as one).
size_t CharCount(const std::string& utf8);

// Control characters (C0, DEL, C1) and invisible format characters
// (bidirectional controls, zero-width spaces): none belongs in an ID or name.
bool IsHiddenCharacter(char32_t c);

// True when the text holds a character of the kind above or bytes that are
// not UTF-8: neither can be typed at identification, a NUL would cut the
// stored text short, and hidden ones make look-alike IDs.
bool HasBadCharacter(const std::string& utf8);

// Lowest slot from 1 whose uid is 0, or -1 when every slot is in use.
int FirstFreeSlot(const emtask::BusUserInfo* table);

// Number of slots in use (uid > 0).
int CountUsers(const emtask::BusUserInfo* table);

// Why an entry may not be stored, in the order the reasons are reported.
enum class CheckResult { Ok, EmptyId, DuplicateId, EmptyName, DuplicateName };

// Checks an entered ID and name for slot `slot` against every other user in
// use: neither text may equal another user's ID or name, nor the header text.
// The first matching slot decides, and within a slot the ID is tested first.
// The user's own ID may equal the user's own name.
CheckResult CheckUser(const emtask::BusUserInfo* table, int slot, const std::string& id,
                      const std::string& name);

// Message box text of a refusal ("" for Ok).
QString CheckMessage(CheckResult r);

// Writes the local time into the date and time digit fields.
void StampUser(emtask::BusUserInfo& u, const struct tm& lt);

// ID and name into the slot's fields (each cut to the field's bytes).
void StoreTexts(emtask::BusUserInfo& u, const std::string& id, const std::string& name);

// An entry text cut to at most maxChars characters and to what fits the
// field in UTF-8, never inside a character; hidden characters (a pasted tab
// or line break, a bidirectional override) are left out.
QString FitEntry(const QString& text, int maxChars);

// Stored field as display text; invalid UTF-8 is shown replaced, never read
// past the field.
QString FieldQString(const char* field, size_t width);
template <size_t N>
QString FieldQString(const char (&f)[N])
{
    return FieldQString(f, N);
}

}  // namespace users
