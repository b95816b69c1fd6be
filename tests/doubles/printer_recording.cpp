#include "doubles/printer_recording.h"

PrinterRecording::PrinterRecording()
{
    measurements = {600, 600, 4961, 7016, 0, 0};
    paperCodes = {1, 5, 9, 11};  // Letter, Legal, A4, A5
    defaults.fields = DeviceMode::DM_ORIENTATION | DeviceMode::DM_PAPERSIZE | DeviceMode::DM_PAPERLENGTH
                      | DeviceMode::DM_PAPERWIDTH | DeviceMode::DM_COPIES | DeviceMode::DM_DEFAULTSOURCE
                      | DeviceMode::DM_DUPLEX;
    defaults.paperSize = 9;
    defaults.paperWidth = 2100;
    defaults.paperLength = 2970;
    defaults.defaultSource = 7;
}
