#pragma once

// What a printer's device context reports about its page, in device dots.
struct DeviceMeasurements {
    int logPixelsX = 0;       // dots per inch
    int logPixelsY = 0;
    int physicalWidth = 0;    // whole paper
    int physicalHeight = 0;
    int physicalOffsetX = 0;  // paper edge to the first printable dot
    int physicalOffsetY = 0;
};
