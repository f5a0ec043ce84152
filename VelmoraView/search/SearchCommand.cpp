#include "search/SearchCommand.h"

#include "EMTaskData.h"
#include "records/CReadDeviceDlg.h"
#include "search/CDataSearchDlg.h"
#include "search/CSearchDataDlg.h"
#include "search/SearchEngine.h"

namespace search {

void OpenSearch(CReadDeviceDlg& records, const std::function<void(CSearchDataDlg&)>& prepare)
{
    CDataSearchDlg criteria(records.Store().Search(), records.Store().Settings().Get().dateorder, &records);
    CommitResultAreaAhead(records.Store().Search());
    if (criteria.DoModal() != QDialog::Accepted) return;
    CSearchDataDlg results(records.Store(), records.SourceFlag(), records.ArchivePhotoFolder(),
                           records.ArchiveFileName(), &records);
    if (prepare) prepare(results);
    results.DoModal();
}

}  // namespace search
