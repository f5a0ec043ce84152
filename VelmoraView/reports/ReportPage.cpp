#include "reports/ReportPage.h"

#include "DebugLog.h"
#include "EMTaskData.h"
#include "FileImage.h"
#include "PhotoCheck.h"
#include "ProgramFolder.h"
#include "SealLedger.h"
#include "TextUtil.h"
#include "controls/Skin.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QPainter>
#include <QTextOption>
#include <filesystem>
#include <opencv2/core.hpp>
#include <strings.h>
#include <sys/stat.h>

namespace reports {

namespace fs = std::filesystem;

namespace {
const QColor kText(60, 60, 60);
const QColor kRule(42, 38, 39);
const QColor kSeparator(161, 161, 161);
const QColor kBox(242, 242, 242);

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The layout's font heights are cell heights (ascent + descent), as the
// drawing interface of the layout counts them, not em sizes: Arial's cell is
// 2,288/2,048 of its em, so "50 px" text is drawn at an em of 45 px.
QFont PageFont(int cellHeight, QFont::Weight weight)
{
    QFont f = skin::Arial(qRound(cellHeight * 2048.0 / 2288.0));
    f.setWeight(weight);
    return f;
}

void Text(QPainter& p, int x, int y, const QString& text)
{
    p.drawText(QRect(x, y, kPageWidth - x, 200), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}

void Line(QPainter& p, int x1, int y, int x2, const QColor& c, int width)
{
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(x1, y, x2, y);
}

// A text wrapped at words (inside a word only when it is wider than the
// box) and cut off at the box's edges.
void WrappedText(QPainter& p, const QRect& box, const QString& text)
{
    p.save();
    p.setClipRect(box);
    QTextOption o(Qt::AlignLeft | Qt::AlignTop);
    o.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    p.drawText(QRectF(box), text, o);
    p.restore();
}

QImage WhitePage()
{
    QImage img(kPageWidth, kPageHeight, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

QImage DrawDefaultBackground()
{
    QImage img = WhitePage();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);
    // Coloured arcs along the top: parts of large circles centred above the page.
    const QColor arcs[] = {QColor(31, 111, 178), QColor(0, 150, 136), QColor(240, 150, 40),
                           QColor(200, 64, 64)};
    for (int i = 0; i < 4; ++i) {
        const int r = 980 + 30 * i;
        p.setPen(QPen(arcs[i], 14 - 3 * i));
        p.drawEllipse(QPoint(kPageWidth / 2, -900), r, r);
    }
    // Thin rules near the top and the bottom edge.
    p.setRenderHint(QPainter::Antialiasing, false);
    Line(p, 60, 188, kPageWidth - 60, QColor(120, 130, 140), 2);
    Line(p, 60, 1690, kPageWidth - 60, QColor(120, 130, 140), 2);
    // A faint seal in the middle, under the content.
    p.setRenderHint(QPainter::Antialiasing);
    const QPoint c(kPageWidth / 2, 877);
    p.setPen(QPen(QColor(228, 234, 242), 10));
    p.drawEllipse(c, 330, 330);
    p.setPen(QPen(QColor(232, 237, 244), 3));
    p.drawEllipse(c, 290, 290);
    p.setPen(QColor(234, 238, 244));
    p.setFont(PageFont(150, QFont::Black));
    p.drawText(QRect(c.x() - 300, c.y() - 110, 600, 170), Qt::AlignCenter, QStringLiteral("ZOLT7"));
    p.setFont(PageFont(34, QFont::Bold));
    p.drawText(QRect(c.x() - 300, c.y() + 70, 600, 50), Qt::AlignCenter,
               QStringLiteral("BREATH ALCOHOL TEST"));
    // A small mark at the bottom centre.
    const QRect mark(kPageWidth / 2 - 20, 1702, 40, 40);
    p.setPen(Qt::NoPen);
    p.setBrush(skin::kAccent);
    p.drawRoundedRect(mark, 8, 8);
    p.setPen(Qt::white);
    p.setFont(PageFont(28, QFont::Bold));
    p.drawText(mark, Qt::AlignCenter, QStringLiteral("Z"));
    p.end();
    return img;
}
}  // namespace

ReportTexts FormTexts(const emtask::BusInfo& b)
{
    return {emtask::FieldText(b.reporttitle), emtask::FieldText(b.operatortext),
            emtask::FieldText(b.subjecttext), emtask::FieldText(b.notetext)};
}

RecordValues ValuesOf(const emtask::TestRecord* rec, int dateOrder)
{
    RecordValues v;
    if (!rec) return v;
    v.date = emtask::RecordDateText(*rec, dateOrder, emtask::DateStyle::Report);
    v.time = emtask::RecordTimeText(*rec);
    if (rec->mode == 'F') {
        // A flow error has no result: its text field is never written.
        v.result = "Flow";
    } else {
        v.result = emtask::FieldText(rec->result);
        v.unit = emtask::UnitText(rec->unit);
    }
    return v;
}

const emtask::TestRecord* FindReportRecord(const emtask::DeviceData& d, int t)
{
    const int32_t n = emtask::RecordCount(d);
    for (int32_t i = 0; i < n; ++i)
        if (d.m_TestData[i].testno == t) return &d.m_TestData[i];
    if (t >= 1 && t <= n) return &d.m_TestData[t - 1];
    return nullptr;
}

std::string WalkForPhotograph(const std::string& folder, const std::string& name)
{
    if (folder.empty() || name.empty()) return {};
    std::error_code ec;
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    for (const fs::recursive_directory_iterator end; !ec && it != end; it.increment(ec)) {
        const fs::path& p = it->path();
        if (strcasecmp(p.filename().c_str(), name.c_str()) == 0) return p.string();
    }
    return {};
}

std::string FindPhotograph(const std::string& folder, const std::string& name)
{
    if (folder.empty() || name.empty()) return {};
    std::string exact = folder + "/" + name;
    struct stat st;
    if (stat(exact.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return exact;
    return WalkForPhotograph(folder, name);
}

namespace {
// Eight digits, a hyphen, fourteen digits, ".jpg": fields from an archive may
// hold anything, and a name must never lead out of its folder.
bool PlainPhotoName(const std::string& n)
{
    if (n.size() != 27 || n[8] != '-' || n.compare(23, 4, ".jpg") != 0) return false;
    for (size_t i = 0; i < 23; ++i)
        if (i != 8 && (n[i] < '0' || n[i] > '9')) return false;
    return true;
}

// A decoded photograph (8-bit BGR) as a page image.
QImage PageImage(const cv::Mat& bgr)
{
    return QImage(bgr.data, bgr.cols, bgr.rows, static_cast<qsizetype>(bgr.step), QImage::Format_BGR888)
        .convertToFormat(QImage::Format_RGB32);
}
}  // namespace

PhotoCheck CheckReportPhoto(const emtask::TestRecord& rec, const std::string& folder)
{
    PhotoCheck c;
    const std::string name = emtask::PhotoFileName(rec);
    if (PlainPhotoName(name)) c.path = FindPhotograph(folder, name);
    cv::Mat img;
    // Refused (too large, not a regular file) fails the check as undecodable does.
    if (!c.path.empty()) c.decoded = emtask::LoadPhoto(c.path, img) == emtask::PhotoStatus::Decoded;
    // The same samples the stored value was made from (zero when undecodable).
    c.computed = emtask::PhotoCheckValue(emtask::SamplePhoto(img), rec);
    c.passes = c.decoded && c.computed == rec.crc16;
    if (c.passes) c.image = PageImage(img);
    return c;
}

std::string FindCustomBackground(const std::string& path)
{
    if (path.empty()) return {};
    const fs::path p(path);
    const std::string name = p.filename().string();
    if (name.empty()) return {};
    std::error_code ec;
    if (fs::is_regular_file(p, ec)) return path;
    // Only regular files: a FIFO of that name would stall the page's load.
    fs::directory_iterator it(p.has_parent_path() ? p.parent_path() : fs::path("."), ec);
    for (const fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
        std::error_code kindErr;
        if (strcasecmp(it->path().filename().c_str(), name.c_str()) == 0 && it->is_regular_file(kindErr))
            return it->path().string();
    }
    return {};
}

QImage DefaultBackground()
{
    static const QImage page = DrawDefaultBackground();
    return page;
}

QImage BlankBackground() { return WhitePage(); }

QImage LoadBackground(int choice, const std::string& customPath)
{
    if (choice == kBgBlank) return BlankBackground();
    if (choice != kBgCustom) return DefaultBackground();
    QImage img;
    // Decoded as a photograph is: without blocking, bounded in bytes and
    // pixels (a file swapped for a FIFO after the lookup, or a header claiming
    // gigapixels, gives the blank page).
    cv::Mat bgr;
    if (!customPath.empty() && customPath != "-" &&
        emtask::LoadPhoto(FindCustomBackground(customPath), bgr) == emtask::PhotoStatus::Decoded)
        img = PageImage(bgr);
    if (img.isNull()) {
        DebugLine(" custom background unreadable, blank page: %s", customPath.c_str());
        return BlankBackground();
    }
    if (img.width() != kPageWidth || img.height() != kPageHeight)
        img = img.scaled(kPageWidth, kPageHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return img.convertToFormat(QImage::Format_RGB32);
}

void PaintReportPage(QPainter& p, const PageContent& c)
{
    const int width = kPageWidth;
    p.save();
    p.setRenderHint(QPainter::TextAntialiasing);
    const bool photo = !c.photo.isNull();

    if (photo) {
        p.fillRect(QRect(709, 431, 386, 336), Qt::white);
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRect(709, 431, 385, 335));
        p.drawImage(
            QPoint(kPhotoLeft, kPhotoTop),
            c.photo.scaled(kPhotoWidth, kPhotoHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }

    const QFont heading = PageFont(70, QFont::Black);
    const QFont row = PageFont(50, QFont::Thin);
    const QFont label = PageFont(44, QFont::Black);
    const QFont entry = PageFont(44, QFont::Thin);

    p.setPen(kText);
    // A wide title is drawn smaller until it fits between the page's margins.
    const QString title = Q(c.texts.title);
    const int room = width - 2 * 90;
    QFont titleFont = PageFont(100, QFont::Black);
    // Measured as on the page image whatever the device, so a PDF gets the
    // same title size.
    const QImage measure(1, 1, QImage::Format_RGB32);
    for (int wide = QFontMetrics(titleFont, &measure).horizontalAdvance(title);
         wide > room && titleFont.pixelSize() > 8;
         wide = QFontMetrics(titleFont, &measure).horizontalAdvance(title))
        titleFont.setPixelSize(
            std::max(8, std::min(titleFont.pixelSize() - 1, titleFont.pixelSize() * room / wide)));
    p.setFont(titleFont);
    p.drawText(QRect(0, 206, width, 200), Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, title);

    p.setFont(heading);
    Text(p, 90, 335, QStringLiteral("Device Information"));
    Line(p, 90, 415, 1094, kRule, 6);
    p.setPen(kText);
    p.setFont(row);
    const char* device[] = {"Model", "Serial No.", "F/W Ver.", "Cal. Date"};
    for (int i = 0; i < 4; ++i) {
        const int y = 446 + 90 * i;
        Text(p, 90, y, QString::fromLatin1(device[i]));
        Text(p, 290, y, QStringLiteral(":"));
        Text(p, 330, y, QStringLiteral("-"));
    }
    const int short_right = photo ? 700 : 1094;
    for (int y : {510, 600, 689}) Line(p, 90, y, short_right, kSeparator, 2);
    Line(p, 90, 780, 1094, kSeparator, 2);

    const RecordValues v = ValuesOf(c.record, c.dateOrder);
    if (c.record) DebugLine(" %s", v.date.c_str());
    p.setPen(kText);
    p.setFont(heading);
    Text(p, 90, 820, QStringLiteral("Test Result"));
    Line(p, 90, 900, 1094, kRule, 6);
    p.setPen(kText);
    p.setFont(row);
    const char* results[] = {"Date", "Time", "Result"};
    const std::string* values[] = {&v.date, &v.time, &v.result};
    for (int i = 0; i < 3; ++i) {
        const int y = 931 + 90 * i;
        Text(p, 90, y, QString::fromLatin1(results[i]));
        Text(p, 290, y, QStringLiteral(":"));
        Text(p, 330, y, Q(*values[i]));
    }
    if (!v.unit.empty()) Text(p, 460, 1111, Q(v.unit));
    for (int y : {995, 1085, 1175}) Line(p, 90, y, 1094, kSeparator, 2);

    p.fillRect(QRect(90, 1187, 1004, 112), kBox);
    p.fillRect(QRect(90, 1307, 1004, 112), kBox);
    p.fillRect(QRect(90, 1427, 1004, 202), kBox);

    p.setPen(kText);
    p.setFont(label);
    Text(p, 90, 1200, QStringLiteral("Operator/Doctor"));
    Text(p, 400, 1198, QStringLiteral(":"));
    Text(p, 90, 1320, QStringLiteral("Subject/Patient"));
    Text(p, 400, 1318, QStringLiteral(":"));
    Text(p, 90, 1440, QStringLiteral("Note"));
    Text(p, 400, 1438, QStringLiteral(":"));

    p.setFont(entry);
    WrappedText(p, QRect(QPoint(435, 1200), QPoint(1094, 1507)), Q(c.texts.operatorText));
    WrappedText(p, QRect(QPoint(435, 1320), QPoint(1094, 1627)), Q(c.texts.subject));
    WrappedText(p, QRect(QPoint(435, 1440), QPoint(1094, 1807)), Q(c.texts.note));

    // Bottom right, in the margin below the boxes, clear of the centre mark.
    if (!c.seal.empty()) {
        p.setPen(QColor(90, 90, 90));
        p.setFont(PageFont(20, QFont::Normal));
        p.drawText(QRect(640, 1694, 454, 56), Qt::AlignRight | Qt::AlignVCenter, Q(c.seal));
    }
    p.restore();
}

QImage DrawReportPage(const PageContent& c)
{
    QImage page = c.background.isNull() ? BlankBackground()
                                        : c.background.convertToFormat(QImage::Format_RGB32);
    QPainter p(&page);
    PaintReportPage(p, c);
    p.end();
    return page;
}

std::string ReportSeal::Text() const
{
    if (!recordMatches || !photoMatches) return {};
    std::string t = "Seal " + std::to_string(testno) + ":" + code;
    if (!logCode.empty()) t += "\nLog " + std::to_string(logTestNo) + ":" + logCode;
    return t;
}

ReportSeal CheckReportSeal(const emtask::TestRecord& rec, const std::string& photoPath)
{
    ReportSeal s;
    emtask::SealEntry e;
    if (!emtask::FindSealEntry(emtask::SealLedgerPath(), rec.testno, e)) return s;
    if (e.record != emtask::RecordDigest(rec)) return s;
    s.recordMatches = true;
    s.testno = rec.testno;
    s.code = emtask::SealCode(e);
    emtask::SealEntry head;
    if (emtask::LastSealEntry(emtask::SealLedgerPath(), head) && !(head.flags & emtask::kSealStart)) {
        s.logTestNo = head.testno;
        s.logCode = emtask::SealCode(head);
    }
    if (photoPath.empty()) {
        s.photoMatches = e.photo == emtask::Digest{};
    } else {
        emtask::Digest d;
        s.photoMatches = emtask::Sha256File(photoPath, d) && d == e.photo;
    }
    return s;
}

ReportOutcome RenderReport(const ReportRequest& r, const emtask::BusInfo& settings)
{
    ReportOutcome o;
    o.testNo = r.testNo;
    if (r.data)
        o.record = r.slot >= 0 && r.slot < emtask::RecordCount(*r.data) ? &r.data->m_TestData[r.slot]
                                                                        : FindReportRecord(*r.data, r.testNo);
    PageContent c;
    c.background = LoadBackground(settings.reportbg, emtask::FieldText(settings.bgpath));
    c.texts = r.texts;
    c.record = o.record;
    c.dateOrder = settings.dateorder;
    if (o.record) {
        o.testNo = o.record->testno;
        o.photo = CheckReportPhoto(*o.record, r.photoFolder);
        const ReportSeal seal = CheckReportSeal(*o.record, o.photo.path);
        // A photograph other than the sealed one fails as an edited one does,
        // whatever its 35 samples say.
        if (seal.recordMatches && !seal.photoMatches) {
            o.photo.passes = false;
            o.photo.image = QImage();
        }
        if (o.photo.passes) c.photo = o.photo.image;
        o.seal = c.seal = seal.Text();
        if (!o.seal.empty()) o.sealCode = seal.code;
    }
    o.page = DrawReportPage(c);
    o.content = std::move(c);
    return o;
}

bool SaveReportJpeg(const QImage& page, const std::string& path)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!page.save(&buffer, "JPEG", 90)) return false;
    emtask::MakeDirectory(fs::path(path).parent_path().string());
    if (!emtask::AtomicWriteFile(path, bytes.constData(), static_cast<size_t>(bytes.size()))) {
        DebugLine(" report page not saved: %s", path.c_str());
        return false;
    }
    return true;
}

}  // namespace reports
