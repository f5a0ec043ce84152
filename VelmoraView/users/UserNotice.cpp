#include "users/UserNotice.h"

#include "controls/Dialogs.h"

QString UserNoticeTitle(int number)
{
    return (number == 134 || number == 135) ? QStringLiteral("Registration") : QString();
}

QString UserNoticeText(int number, const QString& named)
{
    QString text;
    if (number == 134)
        text = QStringLiteral("Duplicate user ID or name.\nPlease check the following information :\n %1");
    else if (number == 135)
        text = QStringLiteral(
            "Number of characters exceeded the limit.\nPlease check the following information :\n %1");
    else
        return {};
    return text.arg(named);
}

void ShowUserNotice(int number, const QString& named, QWidget* parent)
{
    const QString text = UserNoticeText(number, named);
    if (text.isEmpty()) return;
    ShowMessage(parent, text, UserNoticeTitle(number), QMessageBox::Warning);
}
