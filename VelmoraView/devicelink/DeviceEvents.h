// What the instrument tells and is told, as values: window-free, so the
// test's logic can name them without the link.
#pragma once

// The instrument's events during a test. The values are the codes the
// diagnostic log and the first release used.
enum class DeviceEvent : int {
    Wait = 10242,
    Sta = 10243,
    Bre = 10245,
    Res = 10246,
    End = 10248,
    Flo = 10249,
    Sen = 10250,
    Calibration = 10253,
    Timeout = 10254,
    M05 = 9989,
    M07 = 9991,
    M08 = 9992,
    M10 = 9994,
    M11 = 9995,
    M12 = 9996,
};

// Commands to the instrument (DeviceLink::Send), with their old codes.
enum class DeviceCommand : int {
    Start = 10241,
    Reset = 10244,
    Recall = 10247,
    LevelLow = 10251,
    LevelHigh = 10252,
};

// The fields of a unit frame, byte for byte as the frame had them (a short
// frame leaves its line feed and NUL bytes in them).
struct UnitFrame {
    char unit = 0;        // position 3
    char low[3] = {};     // 7-9
    char high[3] = {};    // 13-15
    char calcnt[4] = {};  // 19-22
};
