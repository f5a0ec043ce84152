// The one-page test report: record lookup, photograph lookup and check,
// backgrounds, and the page drawn onto any painter. No window here.
#pragma once

#include <QImage>

class QPainter;
#include <cstdint>
#include <string>

namespace emtask {
struct BusInfo;
struct DeviceData;
struct TestRecord;
}  // namespace emtask

namespace reports {

constexpr int kPageWidth = 1204;
constexpr int kPageHeight = 1754;

enum Background { kBgDefault = 0, kBgBlank = 1, kBgCustom = 2 };

// Inside the photograph frame (709, 431)-(1095, 767): every photograph is
// stretched over this box, whatever its size.
constexpr int kPhotoLeft = 715;
constexpr int kPhotoTop = 437;
constexpr int kPhotoWidth = 375;
constexpr int kPhotoHeight = 323;

// The four entry texts, UTF-8.
struct ReportTexts {
    std::string title;
    std::string operatorText;
    std::string subject;
    std::string note;
};
// The stored defaults of the form settings.
ReportTexts FormTexts(const emtask::BusInfo& b);

// The record section of a page as texts; all empty without a record.
struct RecordValues {
    std::string date;
    std::string time;
    std::string result;
    std::string unit;  // empty: no unit text is drawn
};
RecordValues ValuesOf(const emtask::TestRecord* rec, int dateOrder);

// The first slot in use whose testno is t, else slot t - 1 when that slot is
// in use; nullptr when neither exists (a number from a grid cell or an archive
// may be anything).
const emtask::TestRecord* FindReportRecord(const emtask::DeviceData& d, int t);

// The photograph `name` in `folder`: the exact path when that file exists,
// otherwise the first entry of the folder tree (depth-first) whose name equals
// `name` ignoring case. Empty when there is none.
std::string FindPhotograph(const std::string& folder, const std::string& name);
// The whole-tree walk alone, without looking at the exact path first.
std::string WalkForPhotograph(const std::string& folder, const std::string& name);

struct PhotoCheck {
    std::string path;  // the file looked at; empty when none was found
    bool decoded = false;
    uint16_t computed = 0;  // check value recomputed from the file (0 samples when undecodable)
    bool passes = false;    // decoded and computed == the record's crc16
    QImage image;           // the decoded photograph while it passes
};
PhotoCheck CheckReportPhoto(const emtask::TestRecord& rec, const std::string& folder);

// The custom background image: the entry of the path's folder (subfolders
// not entered) whose name equals the path's file name ignoring case; empty
// when there is none.
std::string FindCustomBackground(const std::string& path);
inline bool CustomBackgroundPresent(const std::string& path) { return !FindCustomBackground(path).empty(); }

// Built-in backgrounds, drawn in code at the page size.
QImage DefaultBackground();
QImage BlankBackground();
// The background of a choice. A custom image that is not 1,204 x 1,754 is
// scaled to that size; one that cannot be read gives the Blank page. A choice
// outside 0..2 (a settings file from elsewhere) gives Default.
QImage LoadBackground(int choice, const std::string& customPath);

struct PageContent {
    QImage background;  // null: Blank
    ReportTexts texts;
    const emtask::TestRecord* record = nullptr;  // null: no record values
    int dateOrder = 2;
    QImage photo;      // null: no photograph frame
    std::string seal;  // empty: no seal code printed
};
// Everything of the page but its background, in page coordinates
// (kPageWidth x kPageHeight): onto the page image, or onto a PDF with the
// painter's window set to the page, so both are drawn alike.
void PaintReportPage(QPainter& p, const PageContent& c);
// The background with the page painted over it.
QImage DrawReportPage(const PageContent& c);

// The record against its seal ledger entry. Only an entry the record still
// matches byte for byte speaks for the photograph: an archive from another
// log may reuse the test number.
struct ReportSeal {
    bool recordMatches = false;  // an entry holds the record as it is
    // ...and `photoPath` is the photograph it sealed: the same SHA-256, or no
    // file when the entry's hash is zero (no photograph was sealed).
    bool photoMatches = false;
    int32_t testno = 0;
    std::string code;  // the entry's code while recordMatches
    // The newest entry of the ledger at the time of rendering (no start entry):
    // its code vouches for every test up to it.
    int32_t logTestNo = 0;
    std::string logCode;
    // "Seal <test>:<code>" and, on a second line, "Log <n>:<code>" when the
    // record and its photograph both match; empty otherwise (not sealed, or
    // changed since).
    std::string Text() const;
};
// `photoPath`: the record's photograph file as found; empty when there is none.
ReportSeal CheckReportSeal(const emtask::TestRecord& rec, const std::string& photoPath);

// One rendering of a record's report with the stored settings and the given
// entry texts.
struct ReportRequest {
    const emtask::DeviceData* data = nullptr;
    int testNo = 0;
    int32_t slot = -1;  // the row's own record when known: test numbers may repeat
    std::string photoFolder;
    ReportTexts texts;
};
struct ReportOutcome {
    QImage page;
    PageContent content;  // what `page` was drawn from, to draw it again elsewhere
    int testNo = 0;       // the record's number, else the one asked for
    const emtask::TestRecord* record = nullptr;
    PhotoCheck photo;      // passes only when the seal, if any, also holds it
    std::string seal;      // the seal text printed; empty for none
    std::string sealCode;  // the record's own code in it
};
ReportOutcome RenderReport(const ReportRequest& r, const emtask::BusInfo& settings);

// JPEG of the page written crash-safe (temporary file, sync, rename) so a
// print reading the old file never sees a torn one. Creates the folder.
bool SaveReportJpeg(const QImage& page, const std::string& path);

}  // namespace reports
