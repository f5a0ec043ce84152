// The instrument's protocol: commands to it, and the frames it sends.
//
// The read thread never writes the settings block: what a frame tells is
// posted to the window that owns it (the unit frame and the end of a test to
// the main window, the result text with PID_RES to the test window), and the
// window thread stores it there.
#pragma once

#include <cstdint>
#include <string>

class CDLSerial;

// Queues the command `code` (msg::PID_START, PID_RESET, PID_RECALL,
// PID_LEVEL_LOW, PID_LEVEL_HIGH) on GetSerial() when it is open; any other
// code does nothing. Before $RESET and the low level command it posts
// WM_COMMAND msg::MAIN_MEASURE_DISABLE to the main window, which disables its
// measure button. Window thread.
void SendCommand(int code);

// The receive handler (read thread): interprets one frame and posts what it
// tells. 1 when the frame was interpreted.
int RecvFrame(CDLSerial* port, const unsigned char* frame, int length);
// The same, in the shape of CDLSerial::RecvHandler.
void RecvData(CDLSerial* port, const unsigned char* frame, int length);
// The gone handler (read thread): tells the main window the device went away.
void PortGone(CDLSerial* port);

// Called on the window thread before a port opens: `resetPending` is the
// settings block's login (a reset left pending swallows the first frame);
// the first frame of the new link is reported with MAIN_LINK_ANSWER.
void BeginLink(bool resetPending);
// The test window closed by its button: the next frame is swallowed and
// answered with a second $RESET. Sets login in the settings block too.
void SetResetPending();

// Window thread: the unit frame posted as MSG_DEVICE_UNIT (its two
// parameters) goes into the settings block: unit code, levels, calcnt.
void ApplyUnitFrame(intptr_t wparam, intptr_t lparam);
// Window thread, MAIN_DEVICE_END: the end of a test. With the unit code
// empty it is asked for ($RECALL) and false is returned; true when known
// (the measure button may be enabled).
bool ApplyDeviceEnd();
// The five result characters posted with PID_RES (PackResult reads five
// bytes), and storing them as the last result of the settings block (window
// thread).
intptr_t PackResult(const char* five);
std::string ResultText(intptr_t lparam);
void ApplyResultText(intptr_t lparam);
