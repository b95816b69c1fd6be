#pragma once

#include <cstdint>

// The device-settings block of a printer, in the classic printer-settings
// layout: lengths in tenths of a millimetre, fields flagged in `fields`.
struct DeviceMode {
    static constexpr std::uint32_t DM_ORIENTATION = 1;
    static constexpr std::uint32_t DM_PAPERSIZE = 2;
    static constexpr std::uint32_t DM_PAPERLENGTH = 4;
    static constexpr std::uint32_t DM_PAPERWIDTH = 8;
    static constexpr std::uint32_t DM_COPIES = 256;
    static constexpr std::uint32_t DM_DEFAULTSOURCE = 512;
    static constexpr std::uint32_t DM_DUPLEX = 4096;

    std::uint32_t fields = 0;
    short orientation = 1;    // 1 portrait, 2 landscape
    short paperSize = 0;      // paper code; 256 is a user-defined paper
    short paperLength = 0;    // 0.1 mm
    short paperWidth = 0;     // 0.1 mm
    short copies = 1;
    short defaultSource = 0;  // bin code
    short duplex = 1;         // 1 one-sided, 2 long edge, 3 short edge
};
