#include "doubles/recording_printer.h"

#include "platform/core/failure.h"

RecordingPrinter::RecordingPrinter(std::shared_ptr<PrinterRecording> recording)
    : recording_(std::move(recording)), mode_(recording_->defaults), selected_(recording_->defaultIndex)
{
}

RecordingPrinter::~RecordingPrinter()
{
    if (painter_.isActive())
        painter_.end();
}

void RecordingPrinter::install(const std::shared_ptr<PrinterRecording> &recording)
{
    PrinterDevice::setFactory([recording] { return std::make_unique<RecordingPrinter>(recording); });
}

void RecordingPrinter::select(int index)
{
    if (index == -1) {
        if (recording_->defaultIndex < 0)
            throw Failure(QStringLiteral("There is no default printer currently selected"));
        index = recording_->defaultIndex;
    }
    if (index < 0 || index >= recording_->printers.size())
        throw Failure(QStringLiteral("Printer selected is not valid"));
    selected_ = index;
    resetDeviceMode();
}

QString RecordingPrinter::deviceName() const
{
    return recording_->printers.value(selected_);
}

void RecordingPrinter::setDeviceMode(const DeviceMode &mode)
{
    mode_ = mode;
    recording_->lastWritten = mode;
}

void RecordingPrinter::beginDocument(const QString &title)
{
    recording_->jobs.append(title);
    startPage();
}

void RecordingPrinter::newPage()
{
    painter_.end();
    startPage();
}

void RecordingPrinter::endDocument()
{
    painter_.end();
    if (!recording_->refusal.isEmpty())
        throw Failure(recording_->refusal);
    ++recording_->jobsEnded;
}

void RecordingPrinter::abortDocument()
{
    if (!painter_.isActive())
        throw Failure(QStringLiteral("Printer is not currently printing"));
    painter_.end();
    ++recording_->jobsAborted;
}

void RecordingPrinter::startPage()
{
    recording_->pages.emplace_back();
    page_ = std::make_unique<RecordingCanvas>(recording_->measurements, recording_->pages.back());
    painter_.begin(page_.get());
}
