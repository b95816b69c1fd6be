#include "report_engine/qr_types.h"

#include <QLocale>
#include <array>
#include <cmath>

int qrRound(Extended value)
{
    // nearbyint follows the default rounding mode, which is to nearest, ties to even.
    return static_cast<int>(std::nearbyint(value));
}

std::optional<TQRPaperDimensions> PaperSizeTable(TQRPaperSize size)
{
    static constexpr std::array<TQRPaperDimensions, PaperSizeCount> table{{
        {0, 0},         {215.9L, 279.4L}, {215.9L, 279.4L}, {279.4L, 431.8L}, {431.8L, 279.4L},
        {215.9L, 355.6L}, {139.7L, 215.9L}, {190.5L, 254.0L}, {297.0L, 420.0L}, {210.0L, 297.0L},
        {210.0L, 297.0L}, {148.0L, 210.0L}, {250.0L, 354.0L}, {182.0L, 257.0L}, {215.9L, 330.2L},
        {215.0L, 275.0L}, {254.0L, 355.6L}, {279.4L, 431.8L}, {215.9L, 279.0L}, {98.43L, 225.4L},
        {104.8L, 241.3L}, {114.3L, 263.5L}, {101.6L, 279.4L}, {127.0L, 292.1L}, {100.0L, 100.0L},
        {100.0L, 100.0L}, {100.0L, 100.0L}, {0, 0},
    }};
    if (size == TQRPaperSize::Default || size == TQRPaperSize::Custom)
        return std::nullopt;
    return table[static_cast<int>(size)];
}

int PaperCode(TQRPaperSize size)
{
    return size == TQRPaperSize::Custom ? 256 : static_cast<int>(size);
}

std::optional<TQRPaperSize> PaperSizeFromCode(int code)
{
    for (int i = 0; i < PaperSizeCount; ++i) {
        if (PaperCode(TQRPaperSize(i)) == code)
            return TQRPaperSize(i);
    }
    return std::nullopt;
}

int BinCode(TQRBin bin)
{
    static constexpr std::array<int, 14> codes{1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 14, 14};
    return codes[static_cast<int>(bin)];
}

std::optional<TQRBin> BinFromCode(int code)
{
    for (int i = 0; i <= static_cast<int>(TQRBin::Last); ++i) {
        if (BinCode(TQRBin(i)) == code)
            return TQRBin(i);
    }
    return std::nullopt;
}

int ScreenPixelsPerInch()
{
    // Stored pixel geometry was made at 96 pixels per inch and text is
    // measured at 96; a monitor's own density must not move a report.
    return 96;
}

bool UsesUSMeasurement()
{
    return QLocale::system().measurementSystem() == QLocale::ImperialUSSystem;
}
