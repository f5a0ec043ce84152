#include "measurement/PictureView.h"

#include "measurement/FramePicture.h"

#include <QMetaObject>
#include <QPainter>
#include <QPainterPath>

namespace measurement {

namespace {
void DrawCameraSymbol(QPainter& p, const QRectF& r, const QColor& c)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    QRectF body(r.x(), r.y() + r.height() * 0.25, r.width() * 0.72, r.height() * 0.75);
    p.drawRoundedRect(body, r.height() * 0.12, r.height() * 0.12);
    QPolygonF lens;
    lens << QPointF(body.right(), body.center().y() - body.height() * 0.15) << QPointF(r.right(), body.top())
         << QPointF(r.right(), body.bottom())
         << QPointF(body.right(), body.center().y() + body.height() * 0.15);
    p.drawPolygon(lens);
    // the two reels of a film camera
    double d = r.height() * 0.4;
    p.drawEllipse(QRectF(r.x() + body.width() * 0.05, r.y() - d * 0.1, d, d));
    p.drawEllipse(QRectF(r.x() + body.width() * 0.5, r.y() - d * 0.1, d, d));
}
}  // namespace

CPictureView::CPictureView(bool withBanner, QWidget* parent) : QWidget(parent), m_WithBanner(withBanner)
{
    setFixedSize(kPictureWidth, kPictureHeight + (withBanner ? kBannerHeight : 0));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CPictureView::Deliver(const QImage& picture, Banner banner)
{
    {
        std::lock_guard<std::mutex> g(m_Lock);
        if (!picture.isNull()) {
            m_Picture = picture;
            ++m_FramesShown;
        }
        m_Banner = banner;
    }
    // One repaint request at a time, however fast frames come.
    if (!m_UpdatePending.exchange(true)) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_UpdatePending = false;
                update();
            },
            Qt::QueuedConnection);
    }
}

void CPictureView::SetPlaceholder(const QImage& placeholder)
{
    std::lock_guard<std::mutex> g(m_Lock);
    m_Placeholder = placeholder;
}

void CPictureView::ShowPlaceholder()
{
    {
        std::lock_guard<std::mutex> g(m_Lock);
        m_Picture = QImage();
    }
    update();
}

QImage CPictureView::Picture() const
{
    std::lock_guard<std::mutex> g(m_Lock);
    return m_Picture;
}

Banner CPictureView::CurrentBanner() const
{
    std::lock_guard<std::mutex> g(m_Lock);
    return m_Banner;
}

void CPictureView::paintEvent(QPaintEvent*)
{
    QImage pic, placeholder;
    Banner banner;
    {
        std::lock_guard<std::mutex> g(m_Lock);
        pic = m_Picture;
        placeholder = m_Placeholder;
        banner = m_Banner;
    }
    QPainter p(this);
    int top = 0;
    if (m_WithBanner) {
        QRect bar(0, 0, kPictureWidth, kBannerHeight);
        bool live = banner == Banner::Live;
        p.fillRect(bar, live ? QColor(40, 170, 80) : QColor(45, 45, 48));
        DrawCameraSymbol(p, QRectF(kPictureWidth / 2 - 22, 10, 44, 28),
                         live ? QColor(255, 255, 255) : QColor(170, 170, 170));
        p.setRenderHint(QPainter::Antialiasing, false);
        top = kBannerHeight;
    }
    QRect area(0, top, kPictureWidth, kPictureHeight);
    if (!pic.isNull())
        p.drawImage(area, pic);
    else if (!placeholder.isNull())
        p.drawImage(area, placeholder);
    else
        p.fillRect(area, QColor(20, 20, 20));
}

QImage CameraPlaceholder(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(QColor(200, 200, 200));
    QPainter p(&img);
    DrawCameraSymbol(p, QRectF(w * 0.3, h * 0.3, w * 0.4, h * 0.4), QColor(140, 140, 140));
    return img;
}

}  // namespace measurement
