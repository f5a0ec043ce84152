// The record window's Search command: the criteria window, then, when it
// ends with OK, the results window over the records the record window shows.
#pragma once

#include <functional>

class CReadDeviceDlg;
class CSearchDataDlg;

namespace search {
// `prepare` (when set) sees the results window before it runs, to connect
// its signals.
void OpenSearch(CReadDeviceDlg& records, const std::function<void(CSearchDataDlg&)>& prepare = {});
}  // namespace search
