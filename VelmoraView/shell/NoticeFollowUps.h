// What the windows that wait for a notice do when it is shown and when it is
// dismissed: they are disabled meanwhile and get control back after.
#pragma once

class CMsg;
class CMsgError;

void ConnectNoticeFollowUps(CMsg& notice, CMsgError& error);
