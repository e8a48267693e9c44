#include "virtualprinter.h"

#include "usbfsdevice.h"

namespace vprinter {

VirtualPrinter::VirtualPrinter(std::shared_ptr<UsbfsDevice> device) : device_(std::move(device)) {}

VirtualPrinter::~VirtualPrinter() = default;

std::string VirtualPrinter::sysfsName() const { return device_->placement().sysfsName; }

int VirtualPrinter::port() const { return device_->placement().port; }

int VirtualPrinter::busNumber() const { return device_->placement().bus; }

int VirtualPrinter::deviceAddress() const { return device_->placement().deviceAddress; }

std::string VirtualPrinter::devicePath() const { return device_->placement().devicePath(); }

Identity VirtualPrinter::identity() const
{
    Identity identity;
    device_->withModel([&](PrinterModel &model) { identity = model.identity(); });
    return identity;
}

void VirtualPrinter::withModel(const std::function<void(PrinterModel &)> &f)
{
    device_->withModel(f);
}

Bytes VirtualPrinter::setting(std::uint8_t code) const
{
    Bytes payload;
    device_->withModel([&](PrinterModel &model) { payload = model.setting(code); });
    return payload;
}

void VirtualPrinter::setSetting(std::uint8_t code, Bytes payload)
{
    device_->withModel([&](PrinterModel &model) { model.setSetting(code, std::move(payload)); });
}

void VirtualPrinter::setStatusWord(std::uint32_t word)
{
    device_->withModel([&](PrinterModel &model) { model.setStatusWord(word); });
}

void VirtualPrinter::setRestartPlan(const RestartPlan &plan)
{
    device_->withModel([&](PrinterModel &model) { model.setRestartPlan(plan); });
}

void VirtualPrinter::setVersion(const std::string &text)
{
    device_->withModel([&](PrinterModel &model) { model.setVersion(text); });
}

void VirtualPrinter::setResolution(std::uint16_t dotsPerInch, std::uint16_t maxWidthDots)
{
    device_->withModel(
        [&](PrinterModel &model) { model.setResolution(dotsPerInch, maxWidthDots); });
}

std::vector<Bytes> VirtualPrinter::bulkOutLog() const
{
    std::vector<Bytes> log;
    device_->withModel([&](PrinterModel &model) { log = model.bulkOutLog(); });
    return log;
}

std::vector<TransferRecord> VirtualPrinter::transferLog() const
{
    std::vector<TransferRecord> log;
    device_->withModel([&](PrinterModel &model) { log = model.transferLog(); });
    return log;
}

std::vector<std::uint8_t> VirtualPrinter::buttonLog() const
{
    std::vector<std::uint8_t> log;
    device_->withModel([&](PrinterModel &model) { log = model.buttonLog(); });
    return log;
}

std::vector<DownloadRecord> VirtualPrinter::downloads() const
{
    std::vector<DownloadRecord> all;
    device_->withModel([&](PrinterModel &model) { all = model.downloads(); });
    return all;
}

void VirtualPrinter::clearLogs()
{
    device_->withModel([](PrinterModel &model) { model.clearLogs(); });
}

Faults VirtualPrinter::faults() const
{
    Faults faults;
    device_->withModel([&](PrinterModel &model) { faults = model.faults(); });
    return faults;
}

void VirtualPrinter::setFaults(const Faults &faults)
{
    device_->withModel([&](PrinterModel &model) { model.faults() = faults; });
}

void VirtualPrinter::setFaultsForExchange(int nth, const Faults &faults)
{
    device_->withModel([&](PrinterModel &model) { model.setFaultsForExchange(nth, faults); });
}

void VirtualPrinter::setLatency(std::chrono::milliseconds latency) { device_->setLatency(latency); }

std::chrono::milliseconds VirtualPrinter::latency() const { return device_->latency(); }

DeviceState VirtualPrinter::state(int waitMs) const { return device_->state(waitMs); }

std::vector<std::string> VirtualPrinter::violations(int waitMs) const
{
    return device_->violations(waitMs);
}

} // namespace vprinter
