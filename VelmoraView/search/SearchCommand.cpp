#include "search/SearchCommand.h"

#include "records/CReadDeviceDlg.h"
#include "search/CDataSearchDlg.h"
#include "search/CSearchDataDlg.h"

namespace search {

void OpenSearch(CReadDeviceDlg& records)
{
    CDataSearchDlg criteria(&records);
    if (criteria.DoModal() != QDialog::Accepted) return;
    CSearchDataDlg results(records.SourceFlag(), records.ArchivePhotoFolder(), records.ArchiveFileName(),
                           &records);
    results.DoModal();
}

}  // namespace search
