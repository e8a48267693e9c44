#include "printermodel.h"

#include <algorithm>
#include <initializer_list>

namespace vprinter {

namespace {

const Bytes kHead = {0x1B, 0xFF, 0xFE};
const Bytes kTail = {0x1B, 0xFE, 0xFF};

// NUL-terminated texts one after the other, as the printer sends text settings.
Bytes texts(std::initializer_list<std::string> parts)
{
    Bytes out;
    for (const std::string &part : parts) {
        out.insert(out.end(), part.begin(), part.end());
        out.push_back(0);
    }
    return out;
}

Bytes le16(std::uint16_t value) { return {std::uint8_t(value & 0xFF), std::uint8_t(value >> 8)}; }

Bytes concat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes &part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

std::string hex4(std::uint16_t value)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out(4, '0');
    for (int i = 3; i >= 0; --i, value >>= 4)
        out[std::size_t(i)] = digits[value & 0xF];
    return out;
}

} // namespace

PrinterModel::PrinterModel(Identity identity) : identity_(std::move(identity))
{
    if (identity_.brand.empty())
        identity_.brand = brandForProductId(identity_.productId);
    loadDefaults();
}

// The device's own knowledge of its maker, kept apart from the tool's table of supported printers
// so that a fault in one is not mirrored by the other; a test checks that the two agree.
std::string PrinterModel::brandForProductId(std::uint16_t productId)
{
    struct Entry {
        const char *brand;
        std::initializer_list<std::uint16_t> ids;
    };
    static const Entry table[] = {
        {"Vantrell", {0x0402, 0x0403, 0x0401}},
        {"Zurod", {0x0411, 0x0412, 0x0413}},
        {"Orbeck", {0x1401, 0x1420, 0x0604, 0x0605, 0x0606}},
        {"DVN", {0x0502, 0x0630, 0x0631, 0x0503}},
        {"H&J", {0x0601, 0x0602, 0x0603}},
    };
    for (const Entry &entry : table) {
        if (std::find(entry.ids.begin(), entry.ids.end(), productId) != entry.ids.end())
            return entry.brand;
    }
    return {};
}

// Factory settings: a plausible value for every code the setting tool reads or writes.
void PrinterModel::loadDefaults()
{
    const std::string &product = identity_.product;
    settings_ = {
        {0x00, {2}},    // print speed index
        {0x01, {0}},    // code page PC437
        {0x02, {0x02}}, // command language TSPL
        {0x0C, texts({identity_.brand, product, hex4(identity_.vendorId), hex4(identity_.productId),
                      "USB Label Printer"})},
        {0x0D, {0, 192, 168, 1, 100, 255, 255, 255, 0, 192, 168, 1, 1}}, // Ethernet, DHCP on
        {0x0E, {7, 0, 0, 0}},                                            // 115200 baud, 8N1
        {0x0F, concat({le16(9100), le16(9100)})},                        // TCP and UDP ports
        {0x10, texts({identity_.serialNumber})},
        {0x13, {8}},                                  // density
        {0x16, {0}},                                  // label paper
        {0x19, le16(2 * 8)},                          // label gap 2 mm
        {0x1A, le16(3 * 8)},                          // black-mark gap 3 mm
        {0x1C, {0, 0}},                               // direction, mirror
        {0x1D, le16(0)},                              // print offset
        {0x1E, le16(0)},                              // vertical offset
        {0x1F, {1}},                                  // black mode
        {0x21, {0}},                                  // reset setting
        {0x22, {0}},                                  // key switch on
        {0x23, {0}},                                  // buzzer on
        {0x25, {0}},                                  // paper exit: full cut
        {0x26, texts({"Office-WLAN", "printer123"})}, // station SSID, password
        {0x27, texts({product + "-AP", "12345678", "192.168.4.1"})},
        {0x28, {1, 192, 168, 1, 101, 255, 255, 255, 0, 192, 168, 1, 1, 8, 8, 8, 8}},
        {0x29, le16(9100)}, // Wi-Fi TCP port
        {0x2B, texts({product + "-SPP"})},
        {0x2C, texts({product + "-BLE"})},
        {0x2E, texts({"0000"})},
        {0x2F, {0}},          // simple pairing
        {0x30, {1}},          // Wi-Fi station mode
        {0x33, le16(12 * 8)}, // paper exit to head
        {0x34, le16(10 * 8)}, // gap to head
        {0x35, le16(10 * 8)}, // black mark to head
        {0x36, le16(24)},     // head to tear-off, dots
        {0x3C, {0x5C, 0x1E, 0x00, 0x0A, 0x1B, 0x2C, 0x5C, 0x1E, 0x00, 0x0A, 0x1B, 0x2D}},
        {0x41, {0}}, // thermal
    };
    setVersion("V2.3.1 20240315");
    setResolution(203, 576);
}

Bytes PrinterModel::setting(std::uint8_t code) const
{
    auto it = settings_.find(code);
    return it == settings_.end() ? Bytes{} : it->second;
}

void PrinterModel::setSetting(std::uint8_t code, Bytes payload)
{
    settings_[code] = std::move(payload);
}

Bytes PrinterModel::statusInfo(std::uint8_t code) const
{
    auto it = statusInfo_.find(code);
    return it == statusInfo_.end() ? Bytes{} : it->second;
}

void PrinterModel::setStatusInfo(std::uint8_t code, Bytes payload)
{
    statusInfo_[code] = std::move(payload);
}

void PrinterModel::setVersion(const std::string &text) { setStatusInfo(4, texts({text})); }

void PrinterModel::setResolution(std::uint16_t dotsPerInch, std::uint16_t maxWidthDots)
{
    setStatusInfo(11, concat({le16(dotsPerInch), le16(maxWidthDots)}));
}

void PrinterModel::setFaultsForExchange(int nth, const Faults &faults)
{
    exchangeFaults_ = ExchangeFaults{nth, faults, {}, false};
}

void PrinterModel::beginExchange()
{
    if (!exchangeFaults_)
        return;
    if (exchangeFaults_->running) {
        faults_ = exchangeFaults_->saved;
        exchangeFaults_.reset();
    } else if (--exchangeFaults_->exchangesToGo == 0) {
        exchangeFaults_->saved = faults_;
        faults_ = exchangeFaults_->faults;
        exchangeFaults_->running = true;
    }
}

std::optional<Frame> PrinterModel::parseFrame(const Bytes &data)
{
    if (data.size() < 9 || !std::equal(kHead.begin(), kHead.end(), data.begin()) ||
        !std::equal(kTail.begin(), kTail.end(), data.end() - 3))
        return std::nullopt;
    const std::size_t n = data[5];
    if (data.size() != 9 + n || data[3] > GetClass)
        return std::nullopt;
    return Frame{data[3], data[4], Bytes(data.begin() + 6, data.begin() + 6 + std::ptrdiff_t(n))};
}

Bytes PrinterModel::buildFrame(std::uint8_t frameClass, std::uint8_t code, const Bytes &payload)
{
    const std::size_t n = std::min<std::size_t>(payload.size(), 255);
    Bytes frame = kHead;
    frame.push_back(frameClass);
    frame.push_back(code);
    frame.push_back(std::uint8_t(n));
    frame.insert(frame.end(), payload.begin(), payload.begin() + std::ptrdiff_t(n));
    frame.insert(frame.end(), kTail.begin(), kTail.end());
    return frame;
}

bool PrinterModel::onBulkOut(const Bytes &data)
{
    // A download stream: every write while one is open, or anything that is not a frame.
    const std::optional<Frame> frame = downloads_.isOpen() ? std::nullopt : parseFrame(data);
    lastWriteCounts_ = !faults_.countStreamWritesOnly || !frame;
    if (faults_.failNextWrite && lastWriteCounts_ && faults_.writesBeforeFailure > 0) {
        --faults_.writesBeforeFailure;
    } else if (faults_.failNextWrite && lastWriteCounts_) {
        faults_.failNextWrite = false;
        transferLog_.push_back({TransferRecord::Kind::FailedBulkOut, data});
        if (!frame)
            downloads_.onFailedWrite();
        return false;
    }
    transferLog_.push_back({TransferRecord::Kind::BulkOut, data});
    if (frame) {
        onFrame(*frame);
    } else {
        downloads_.onWrite(data.data(), data.size());
        if (!downloads_.isOpen() && restartPlan_.afterDownload) {
            restartDue_ = true;
            statusWord_ |= kUpgradingBit; // flashing: busy until it restarts
        }
    }
    return true;
}

bool PrinterModel::takeRestartDue()
{
    const bool due = restartDue_;
    restartDue_ = false;
    return due;
}

void PrinterModel::onFrame(const Frame &frame)
{
    switch (frame.frameClass) {
    case StatusClass:
        if (isStatusQuery(frame.code))
            queueReply(StatusClass, frame.code, statusInfo(frame.code));
        else
            buttonLog_.push_back(frame.code);
        break;
    case SetClass:
        if (faults_.keepOldValueOf != frame.code)
            settings_[frame.code] = frame.payload;
        break;
    case GetClass:
        // A code the printer does not know is answered with an empty payload.
        queueReply(GetClass, frame.code, setting(frame.code));
        break;
    }
}

void PrinterModel::queueReply(std::uint8_t frameClass, std::uint8_t code, const Bytes &payload)
{
    if (faults_.neverAnswer)
        return;
    Bytes reply;
    if (faults_.payload255) {
        Bytes filler(255);
        for (std::size_t i = 0; i < filler.size(); ++i)
            filler[i] = fillerByte(i);
        reply = buildFrame(frameClass, code, filler);
    } else {
        reply = buildFrame(frameClass, code, payload);
    }
    if (faults_.cutRepliesTo >= 0 && reply.size() > std::size_t(faults_.cutRepliesTo))
        reply.resize(std::size_t(faults_.cutRepliesTo));
    replies_.push_back(std::move(reply));
}

Bytes PrinterModel::readReply(std::size_t maxLength, std::size_t packetSize, bool &overflow)
{
    overflow = false;
    if (replies_.empty())
        return {};
    Bytes &front = replies_.front();
    if (front.size() <= maxLength) {
        Bytes out = std::move(front);
        replies_.pop_front();
        transferLog_.push_back({TransferRecord::Kind::BulkIn, out});
        return out;
    }
    Bytes out(front.begin(), front.begin() + std::ptrdiff_t(maxLength));
    if (packetSize != 0 && maxLength % packetSize == 0) {
        front.erase(front.begin(), front.begin() + std::ptrdiff_t(maxLength));
    } else {
        overflow = true;
        replies_.pop_front();
    }
    transferLog_.push_back({TransferRecord::Kind::BulkIn, out});
    return out;
}

std::optional<Bytes> PrinterModel::statusRequest(std::uint16_t wLength)
{
    if (faults_.stallStatus)
        return std::nullopt;
    Bytes word = {std::uint8_t(statusWord_), std::uint8_t(statusWord_ >> 8),
                  std::uint8_t(statusWord_ >> 16), std::uint8_t(statusWord_ >> 24)};
    if (faults_.shortStatus)
        word.resize(2);
    if (faults_.cutRepliesTo >= 0 && word.size() > std::size_t(faults_.cutRepliesTo))
        word.resize(std::size_t(faults_.cutRepliesTo));
    if (word.size() > wLength)
        word.resize(wLength);
    transferLog_.push_back({TransferRecord::Kind::Status, word});
    return word;
}

std::vector<Bytes> PrinterModel::bulkOutLog() const
{
    std::vector<Bytes> out;
    for (const TransferRecord &record : transferLog_) {
        if (record.kind == TransferRecord::Kind::BulkOut)
            out.push_back(record.bytes);
    }
    return out;
}

void PrinterModel::clearLogs()
{
    transferLog_.clear();
    buttonLog_.clear();
    downloads_.clear();
}

} // namespace vprinter
