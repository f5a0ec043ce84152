// The record window's Search command: the criteria window, then, when it
// ends with OK, the results window over the records the record window shows.
#pragma once

class CReadDeviceDlg;

namespace search {
void OpenSearch(CReadDeviceDlg& records);
}
