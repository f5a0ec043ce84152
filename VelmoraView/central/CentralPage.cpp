#include "central/CentralPage.h"

#include "ProgramFolder.h"
#include "central/CentralSettings.h"
#include "controls/Dialogs.h"
#include "controls/Skin.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

namespace {
QLabel* Caption(const QString& text, int y, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setFont(skin::Arial(15));
    l->setGeometry(40, y, 150, 34);
    return l;
}

void SayNotSaved(QWidget* parent, const std::string& why)
{
    ShowMessage(parent,
                QCoreApplication::translate("CentralPage", "%1 could not be saved: %2.")
                    .arg(QString::fromStdString(central::CentralSettingsPath(emtask::ProgramFolder())),
                         QString::fromStdString(why)),
                QCoreApplication::translate("CentralPage", "Not saved"), QMessageBox::Warning);
}
}  // namespace

CentralPage::CentralPage(QWidget* parent) : QWidget(parent)
{
    resize(760, 540);
    auto* heading = new QLabel(tr("Central records"), this);
    heading->setFont(skin::ArialPt(11, true));
    heading->setGeometry(40, 30, 300, 24);
    Caption(tr("Database"), 70, this);
    m_Url = new QLineEdit(this);
    m_Url->setGeometry(190, 70, 530, 34);
    m_Url->setPlaceholderText(QStringLiteral("postgresql://host/database?sslmode=verify-full"));
    m_Url->setAccessibleName(tr("Database"));
    Caption(tr("Station"), 116, this);
    m_Station = new QLineEdit(this);
    m_Station->setGeometry(190, 116, 300, 34);
    m_Station->setPlaceholderText(QString::fromStdString(central::StationName({})));
    m_Station->setAccessibleName(tr("Station"));
    m_Enabled = new QCheckBox(tr("Send every stored test to the central database"), this);
    m_Enabled->setFont(skin::Arial(15));
    m_Enabled->setGeometry(40, 162, 560, 34);
    auto* note = new QLabel(tr("A password is never stored here: put it in ~/.pgpass "
                               "(host:port:database:user:password)."),
                            this);
    note->setWordWrap(true);
    note->setGeometry(40, 206, 680, 40);
    m_Apply = new QPushButton(tr("Apply"), this);
    m_Apply->setGeometry(636, 256, 84, 34);
    connect(m_Apply, &QPushButton::clicked, this, &CentralPage::Apply);
}

void CentralPage::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    Load();
}

void CentralPage::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    skin::PaintPanel(p, QRect(20, 20, 720, 280));
}

void CentralPage::Load()
{
    central::CentralSettings s;
    std::string why;
    if (!central::ReadCentralSettings(emtask::ProgramFolder(), s, why))
        ShowMessage(this, QString::fromStdString(why), tr("Central records"), QMessageBox::Warning);
    m_Url->setText(QString::fromStdString(s.url));
    m_Station->setText(QString::fromStdString(s.station));
    m_Enabled->setChecked(s.enabled);
}

bool CentralPage::Apply()
{
    const central::CentralSettings s{m_Url->text().trimmed().toStdString(),
                                     m_Station->text().trimmed().toStdString(), m_Enabled->isChecked()};
    std::string why;
    if (!central::WriteCentralSettings(emtask::ProgramFolder(), s, why)) {
        SayNotSaved(this, why);
        return false;
    }
    emit settingsSaved();
    return true;
}
