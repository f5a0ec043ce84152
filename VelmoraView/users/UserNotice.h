// The numbered notices the user pages show (134, 135: a duplicate or an
// over-long text named in the notice). One place, so that the notices can be
// routed to the notice window without touching the callers.
#pragma once

#include <QString>

class QWidget;

// Texts of a notice number ("" when the number is not one of these).
QString UserNoticeTitle(int number);
QString UserNoticeText(int number, const QString& named);

void ShowUserNotice(int number, const QString& named, QWidget* parent = nullptr);
