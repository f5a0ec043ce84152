#include "search/SearchCriteria.h"

#include "DebugLog.h"
#include "TextUtil.h"
#include "search/SearchEngine.h"

#include <cstdio>
#include <cstring>
#include <tuple>

using emtask::SearchInfo;

namespace search {

namespace {
constexpr const char* kFlow = "Flow";

int32_t Value(const std::string& text) { return DecimalValue(text.data(), text.size()); }
float FloatValue(const std::string& text) { return ResultValue(text.data(), text.size()); }
}  // namespace

std::string PickerTime::Text() const
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d%02d%02d%02d", year, month, day, hour, minute, second);
    return buf;
}

bool PickerTime::operator<(const PickerTime& o) const
{
    return std::tie(year, month, day, hour, minute, second) <
           std::tie(o.year, o.month, o.day, o.hour, o.minute, o.second);
}

void RepairOnOpen(SearchInfo& info)
{
    if (DecimalValue(info.startno) == 0) emtask::CopyField(info.startno, "1");
    if (DecimalValue(info.endno) == 0) emtask::CopyField(info.endno, "999999");
    if (info.normalend == 0.0f) info.normalend = 0.5f;
    if (strnlen(info.errortext, sizeof info.errortext) == 0) emtask::CopyField(info.errortext, kFlow);
}

CriteriaInput ShownValues(const SearchInfo& info, const PickerTime& now)
{
    CriteriaInput in;
    in.flags = info.flags;
    in.startNo = std::to_string(DecimalValue(info.startno));
    in.endNo = std::to_string(DecimalValue(info.endno));
    in.dateStart = in.dateEnd = now;
    auto date = [](const char* text, size_t width, PickerTime& into) {
        if (strnlen(text, width) == 0) return;
        char d[8] = {};
        std::memcpy(d, text, strnlen(text, 8));
        into.year = emtask::DigitsValue(d, 4);
        into.month = emtask::DigitsValue(d + 4, 2);
        into.day = emtask::DigitsValue(d + 6, 2);
    };
    date(info.dateStart, sizeof info.dateStart, in.dateStart);
    date(info.dateEnd, sizeof info.dateEnd, in.dateEnd);
    in.idName = emtask::FieldText(info.idname);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.3f", static_cast<double>(info.normalstart));
    in.normalStart = buf;
    std::snprintf(buf, sizeof buf, "%.3f", static_cast<double>(info.normalend));
    in.normalEnd = buf;
    return in;
}

const char* CheckCriteria(const CriteriaInput& in)
{
    if (in.flags & emtask::SEARCH_TESTNO) {
        if (Value(in.startNo) == 0 || Value(in.endNo) == 0) return kInputNoError;
        if (Value(in.startNo) > Value(in.endNo)) return kStartNoError;
    }
    if ((in.flags & emtask::SEARCH_DATE) && in.dateEnd < in.dateStart) return kDateError;
    if ((in.flags & emtask::SEARCH_IDNAME) && in.idName.empty()) return kIdNameError;
    if (in.flags & emtask::SEARCH_NORMAL) {
        if (in.normalStart.empty() || in.normalEnd.empty() ||
            FloatValue(in.normalStart) > FloatValue(in.normalEnd))
            return kNormalError;
    }
    return nullptr;
}

void StoreCriteria(SearchInfo& info, const CriteriaInput& in)
{
    if (in.flags == 0) return;
    std::memset(info.startno, 0, sizeof info.startno);
    std::memset(info.endno, 0, sizeof info.endno);
    std::memset(info.dateStart, 0, sizeof info.dateStart);
    std::memset(info.dateEnd, 0, sizeof info.dateEnd);
    emtask::CopyField(info.startno, in.startNo);
    emtask::CopyField(info.endno, in.endNo);
    const std::string start = in.dateStart.Text(), end = in.dateEnd.Text();
    emtask::CopyField(info.dateStart, start);
    emtask::CopyField(info.dateEnd, end);
    std::memset(info.idname, 0, sizeof info.idname);
    emtask::CopyField(info.idname, in.idName);
    info.normalstart = FloatValue(in.normalStart);
    info.normalend = FloatValue(in.normalEnd);
    std::memset(info.errortext, 0, sizeof info.errortext);
    if (in.flags & emtask::SEARCH_ERROR) emtask::CopyField(info.errortext, kFlow);
    DebugLine("w_Temp : %s, w_Temp1 : %s", start.c_str(), end.c_str());
}

}  // namespace search
