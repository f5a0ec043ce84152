#include "shell/COptionDeviceDlg.h"

#include "StoreParts.h"
#include "TextUtil.h"
#include "controls/Skin.h"

#include <QLabel>
#include <QPainter>

QString DeviceUnitText(const char* unitField, size_t width)
{
    const std::string code = emtask::FieldText(unitField, width);
    if (code == "B") return QStringLiteral("%BAC");
    if (code == "G") return QStringLiteral("g/L");
    if (code == "M") return QStringLiteral("mg/L");
    return QString::fromUtf8(code.c_str());
}

QString DeviceLevelText(const char* levelField, size_t width)
{
    char text[5] = {};
    text[0] = width > 0 ? levelField[0] : 0;
    text[1] = '.';
    text[2] = width > 1 ? levelField[1] : 0;
    text[3] = width > 2 ? levelField[2] : 0;
    // "%c.%c%c" with a NUL digit ends the text there, the dot included when
    // the first digit is already missing. A control character (the line feed
    // of a short frame) ends it too.
    for (int i = 0; i < 4; ++i)
        if (static_cast<unsigned char>(text[i]) < 0x20) text[i] = 0;
    if (!text[0]) return QString();
    return QString::fromLatin1(text);
}

COptionDeviceDlg::COptionDeviceDlg(const emtask::SettingsBlock& settings, QWidget* parent)
    : QWidget(parent),
      m_Settings(settings)
{
    resize(760, 540);
    auto* heading = new QLabel(tr("Device"), this);
    heading->setGeometry(40, 30, 400, 30);
    heading->setFont(skin::Arial(21, true));
    heading->setStyleSheet("color: #303030;");
    const char* captions[] = {QT_TR_NOOP("Unit"), QT_TR_NOOP("Low"), QT_TR_NOOP("High"),
                              QT_TR_NOOP("Test counts")};
    for (int i = 0; i < 4; ++i) {
        auto* c = new QLabel(tr(captions[i]), this);
        c->setGeometry(60, 90 + i * 48, 180, 34);
        c->setFont(skin::Arial(18));
        c->setStyleSheet("color: #464646;");
        auto* colon = new QLabel(QStringLiteral(":"), this);
        colon->setGeometry(240, 90 + i * 48, 10, 34);
        colon->setFont(skin::Arial(18));
        m_Value[i] = new QLabel(this);
        m_Value[i]->setGeometry(270, 90 + i * 48, 240, 34);
        m_Value[i]->setFont(skin::Arial(18, true));
        m_Value[i]->setTextFormat(Qt::PlainText);
        m_Value[i]->setStyleSheet("color: #1f6fb2;");
    }
    Refresh();
}

void COptionDeviceDlg::Refresh()
{
    const emtask::BusInfo& b = m_Settings.Get();
    m_Value[0]->setText(DeviceUnitText(b.unitcode, sizeof b.unitcode));
    m_Value[1]->setText(DeviceLevelText(b.lowlevel, sizeof b.lowlevel));
    m_Value[2]->setText(DeviceLevelText(b.highlevel, sizeof b.highlevel));
    m_Value[3]->setText(QString::fromUtf8(emtask::FieldText(b.calcnt).c_str()));
}

QString COptionDeviceDlg::unitText() const { return m_Value[0]->text(); }
QString COptionDeviceDlg::lowText() const { return m_Value[1]->text(); }
QString COptionDeviceDlg::highText() const { return m_Value[2]->text(); }
QString COptionDeviceDlg::countText() const { return m_Value[3]->text(); }

void COptionDeviceDlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    skin::PaintPanel(p, QRect(20, 20, 720, 290));
}
