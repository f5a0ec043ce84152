// The instrument's protocol: commands to it, and the frames it sends.
#pragma once

class CDLSerial;

// Queues the command `code` (msg::PID_START, PID_RESET, PID_RECALL,
// PID_LEVEL_LOW, PID_LEVEL_HIGH) on GetSerial() when it is open; any other
// code does nothing. Before $RESET and the low level command it posts
// WM_COMMAND msg::MAIN_MEASURE_DISABLE to the main window, which disables its
// measure button. Window thread, or the read thread through RecvData.
void SendCommand(int code);

// The receive handler: interprets one frame, updates the store's BusInfo and
// posts to the main and test windows. 1 when the frame was interpreted.
int RecvFrame(CDLSerial* port, const unsigned char* frame, int length);
// The same, in the shape of CDLSerial::RecvHandler.
void RecvData(CDLSerial* port, const unsigned char* frame, int length);
