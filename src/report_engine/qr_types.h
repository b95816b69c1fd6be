#pragma once

#include <QString>
#include <optional>

// Shared value types of the report engine and the code tables that translate
// them to the printer's device-settings codes.

// Lengths are held in extended precision; 1 report unit = 0.1 mm.
using Extended = long double;

enum class TQRUnit { MM = 0, Inches = 1, Pixels = 2, Characters = 3, Native = 4 };

enum class TQRAxis { Horizontal, Vertical };

enum class TQRPaperSize {
    Default = 0, Letter, LetterSmall, Tabloid, Ledger, Legal, Statement, Executive, A3, A4,
    A4Small, A5, B4, B5, Folio, Quarto, qr10X14, qr11X17, Note, Env9, Env10, Env11, Env12,
    Env14, CSheet, DSheet, ESheet, Custom
};
constexpr int PaperSizeCount = 28;

enum class TQRBin {
    First, Upper, Lower, Middle, Manual, Envelope, EnvManual, Auto, Tractor, SmallFormat,
    LargeFormat, LargeCapacity, Cassette, Last
};

enum TPrinterOrientation { poPortrait, poLandscape };

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

enum TQRBandType {
    rbTitle = 0, rbPageHeader, rbDetail, rbPageFooter, rbSummary, rbGroupHeader, rbGroupFooter,
    rbSubDetail, rbColumnHeader, rbOverlay, rbChild
};

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

enum TQRShapeType { qrsRectangle, qrsCircle, qrsVertLine, qrsHorLine, qrsTopAndBottom, qrsRightAndLeft };

enum TQRReportOption { FirstPageHeader = 1, LastPageFooter = 2, Compression = 4 };
using TQRReportOptions = int;  // bits of TQRReportOption

struct TQRPaperDimensions {
    Extended Width;   // millimetres
    Extended Length;  // millimetres
};

// Nearest whole number, ties to the even neighbour (2222.5 -> 2222, 240.5 -> 240).
int qrRound(Extended value);

// Width and length of a named paper; none for Default and Custom.
std::optional<TQRPaperDimensions> PaperSizeTable(TQRPaperSize size);

// Device-settings paper code of a paper size (Custom is the user-defined paper 256).
int PaperCode(TQRPaperSize size);
// First paper size whose code is `code`.
std::optional<TQRPaperSize> PaperSizeFromCode(int code);

// Device-settings bin code of a bin; the first bin whose code is `code`.
int BinCode(TQRBin bin);
std::optional<TQRBin> BinFromCode(int code);

// Pixels per inch of the screen that stored pixel geometry and text
// measurement assume: always 96, whatever the monitor.
int ScreenPixelsPerInch();

// True when the system's measurement setting is the U.S. system, which makes
// inches and Letter paper the defaults of a new page.
bool UsesUSMeasurement();
