#include "records/PhotoLookup.h"

#include "DebugLog.h"
#include "EMTaskData.h"
#include "PhotoCheck.h"
#include "ProgramFolder.h"

#include <QPainter>
#include <QPainterPath>
#include <opencv2/core.hpp>

namespace records {

PhotoSource LogPhotoSource() { return {emtask::JpegDir(), true}; }

PhotoSource ArchivePhotoSource(const std::string& photoFolder) { return {photoFolder, false}; }

std::string SafePhotoName(const emtask::TestRecord& rec, int32_t number)
{
    return emtask::SafePhotoFileName(rec, number);
}

std::string PhotoPath(const PhotoSource& src, const emtask::TestRecord& rec, int32_t slot)
{
    std::string name = SafePhotoName(rec, src.numberBySlot ? slot + 1 : rec.testno);
    if (name.empty() || src.folder.empty()) return {};
    return src.folder + "/" + name;
}

PhotoResult CheckRecordPhoto(const PhotoSource& src, const emtask::DeviceData& d, int32_t slot)
{
    PhotoResult r;
    if (slot < 0 || slot >= emtask::RecordCount(d)) {
        r.picture = NoPhotoPicture().scaled(160, 120, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        return r;
    }
    const emtask::TestRecord& rec = d.m_TestData[slot];
    r.path = PhotoPath(src, rec, slot);
    cv::Mat img;
    std::string why;
    const emtask::PhotoStatus status = r.path.empty() ? emtask::PhotoStatus::Missing
                                                      : emtask::LoadPhoto(r.path, img, &why);
    if (status == emtask::PhotoStatus::Missing) r.path.clear();
    DebugLine(" crcFullName : %s", r.path.c_str());
    if (img.empty())
        DebugLine(" crcImage.Load %s", why.c_str());
    else
        DebugLine(" else");
    r.stored = rec.crc16;
    r.computed = emtask::PhotoCheckValue(emtask::SamplePhoto(img), rec);

    if (r.path.empty()) {
        r.verdict = PhotoVerdict::NoPhoto;
    } else if (r.computed == r.stored && status != emtask::PhotoStatus::Refused) {
        DebugLine(" crc stored %04x computed %04x", r.stored, r.computed);
        // A file that does not decode but matches a value stored without a
        // photograph has nothing to draw.
        r.verdict = img.empty() ? PhotoVerdict::NoPhoto : PhotoVerdict::Intact;
    } else {
        DebugLine(" crc stored %04x computed %04x", r.stored, r.computed);
        r.verdict = PhotoVerdict::Altered;
    }

    QImage full;
    if (r.verdict == PhotoVerdict::Intact)
        full = QImage(img.data, img.cols, img.rows, static_cast<qsizetype>(img.step), QImage::Format_BGR888);
    else
        full = r.verdict == PhotoVerdict::Altered ? AlteredPhotoPicture() : NoPhotoPicture();
    // Half width and half height; the scaled copy owns its pixels.
    r.picture = full.scaled(std::max(1, full.width() / 2), std::max(1, full.height() / 2),
                            Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return r;
}

namespace {
QImage Silhouette(const QColor& colour)
{
    QImage img(320, 240, QImage::Format_RGB888);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(QRectF(124, 34, 72, 82));  // head
    QPainterPath body;                       // shoulders and chest
    body.moveTo(70, 240);
    body.cubicTo(70, 160, 110, 128, 160, 128);
    body.cubicTo(210, 128, 250, 160, 250, 240);
    body.closeSubpath();
    p.drawPath(body);
    p.setPen(QPen(QColor(200, 200, 200), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(1, 1, 318, 238));
    return img;
}
}  // namespace

QImage NoPhotoPicture()
{
    static const QImage img = Silhouette(QColor(160, 160, 160));
    return img;
}

QImage AlteredPhotoPicture()
{
    static const QImage img = Silhouette(QColor(220, 30, 30));
    return img;
}

}  // namespace records
