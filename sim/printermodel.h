// The label printer behind the virtual USB device: identity, settings store, replies and logs.
// Plain C++ with no USB and no locking; VirtualPrinter wraps it for the emulated device.
#pragma once

#include "downloadrecord.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vprinter {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint16_t kVendorId = 0x5C1E;

// Frame classes of the printer protocol.
enum FrameClass : std::uint8_t { StatusClass = 0x00, SetClass = 0x01, GetClass = 0x02 };

// One instruction frame: 1B FF FE class code n payload 1B FE FF.
struct Frame {
    std::uint8_t frameClass = 0;
    std::uint8_t code = 0;
    Bytes payload;
};

// Fault switches a test turns on; each one makes the device misbehave in one specific way.
struct Faults {
    bool refuseOpen = false;     // opening the device node fails with EACCES (LIBUSB_ERROR_ACCESS)
    bool refuseClaim = false;    // interface 0 is held by another program: claims fail with EBUSY
    bool failNextWrite = false;  // the next bulk OUT transfer ends with -EPROTO (one shot)
    int writesBeforeFailure = 0; // with failNextWrite: accept this many writes first
    bool neverAnswer = false;    // queries get no reply: a bulk IN waits until the host times out
    int cutRepliesTo = -1;       // >= 0: replies (bulk and status request) keep only N bytes
    int keepOldValueOf = -1;     // >= 0: a set of this code is taken but the old value kept
    bool payload255 = false;     // replies claim n = 255 and carry 255 filler bytes (264 in all)
    bool stallStatus = false;    // the vendor status request stalls (-EPIPE)
    bool shortStatus = false;    // the vendor status request answers only 2 bytes
    // >= 0: after this many more bulk OUT transfers the device is pulled out while the next
    // bulk transfer (either direction) is in flight; that transfer ends with -ESHUTDOWN.
    int unplugAfterWrites = -1;
    // failNextWrite and unplugAfterWrites count only the writes of a download stream, not the
    // frames sent before it (the checks before a download ask the printer a good deal).
    bool countStreamWritesOnly = false;
};

// What the printer does once a download stream has ended, as a printer does after flashing: it
// reports "upgrading" (status bit 10) until it leaves the bus, then comes back at the same place
// after a delay, with its settings or the factory ones, and possibly a new version.
struct RestartPlan {
    bool afterDownload = false;    // restart once a download has ended
    int delayMs = 500;             // from leaving the bus to arriving again
    bool neverBack = false;        // leaves the bus and stays away
    bool factorySettings = false;  // comes back with the factory settings
    std::string newVersion;        // non-empty: the version it reports after the restart
    std::uint32_t statusAfter = 0; // its status word after the restart (0x0800: upgrade error)
};

constexpr std::uint32_t kUpgradingBit = 0x0400;

struct Identity {
    std::uint16_t vendorId = kVendorId;
    std::uint16_t productId = 0x0411;
    std::string brand; // manufacturer string; empty: the brand that owns productId
    std::string product = "RM-310";
    bool productReadable = true; // false: reading the iProduct string stalls
    std::string serialNumber = "ZR31000012345";
};

// What crossed the bulk endpoints and the status request, in order.
struct TransferRecord {
    enum class Kind { BulkOut, FailedBulkOut, BulkIn, Status };
    Kind kind;
    Bytes bytes;
};

class PrinterModel
{
public:
    explicit PrinterModel(Identity identity = {});

    const Identity &identity() const { return identity_; }

    // Settings store of the class 01 / class 02 codes: a set stores its payload, a query of the
    // same code answers it.
    const std::map<std::uint8_t, Bytes> &settings() const { return settings_; }
    Bytes setting(std::uint8_t code) const;
    void setSetting(std::uint8_t code, Bytes payload);

    // Answers of the class 00 queries (code 4: version text, code 11: resolution and width).
    Bytes statusInfo(std::uint8_t code) const;
    void setStatusInfo(std::uint8_t code, Bytes payload);
    void setVersion(const std::string &text);
    void setResolution(std::uint16_t dotsPerInch, std::uint16_t maxWidthDots);
    static bool isStatusQuery(std::uint8_t code) { return code == 4 || code == 11; }

    std::uint32_t statusWord() const { return statusWord_; }
    void setStatusWord(std::uint32_t word) { statusWord_ = word; }

    const RestartPlan &restartPlan() const { return restartPlan_; }
    void setRestartPlan(const RestartPlan &plan) { restartPlan_ = plan; }
    // True once, when a download has just ended and the plan asks for a restart; from then on the
    // status word reports "upgrading" until the device leaves.
    bool takeRestartDue();

    const Faults &faults() const { return faults_; }
    Faults &faults() { return faults_; }

    // Faults for one exchange only: the nth exchange from now (1 = the next) runs with `faults`,
    // the ones before and after it with the switches as they were. An exchange is one open of
    // the device node, so this serves every switch that acts on an open device (not refuseOpen,
    // which refuses the open itself).
    void setFaultsForExchange(int nth, const Faults &faults);
    // The emulated device calls this for each open of its node that really opened.
    void beginExchange();

    // One bulk OUT transfer from the host. Returns false when the transfer fails (the
    // failNextWrite fault, consumed here). Accepted data is logged exactly; a well-formed frame is
    // acted on, anything else (the download stream) is only logged.
    bool onBulkOut(const Bytes &data);
    // Whether the last accepted bulk OUT transfer counts for the unplugAfterWrites fault.
    bool lastWriteCounts() const { return lastWriteCounts_; }

    // Replies waiting for a bulk IN transfer.
    bool hasReply() const { return !replies_.empty(); }
    std::size_t pendingReplies() const { return replies_.size(); }
    // Takes what one bulk IN transfer of maxLength bytes receives. A reply that does not fit stays
    // partly queued when maxLength ends on a packet boundary; otherwise the rest is lost and
    // overflow is set (the device babbled).
    Bytes readReply(std::size_t maxLength, std::size_t packetSize, bool &overflow);
    void discardReplies() { replies_.clear(); }

    // The vendor status request: the status word little-endian, at most wLength bytes; nullopt
    // when the request stalls.
    std::optional<Bytes> statusRequest(std::uint16_t wLength);

    const std::vector<TransferRecord> &transferLog() const { return transferLog_; }
    std::vector<Bytes> bulkOutLog() const;
    const std::vector<std::uint8_t> &buttonLog() const { return buttonLog_; }
    // The firmware and font downloads received (unframed bulk writes); cleared with the logs.
    std::vector<DownloadRecord> downloads() const { return downloads_.downloads(); }
    void clearLogs();

    static std::optional<Frame> parseFrame(const Bytes &data);
    static Bytes buildFrame(std::uint8_t frameClass, std::uint8_t code, const Bytes &payload);
    // Byte i of the payload sent under the payload255 fault.
    static std::uint8_t fillerByte(std::size_t i) { return std::uint8_t('A' + i % 26); }
    // The brand that owns a product ID, or "" when none does.
    static std::string brandForProductId(std::uint16_t productId);

private:
    void onFrame(const Frame &frame);
    void queueReply(std::uint8_t frameClass, std::uint8_t code, const Bytes &payload);
    void loadDefaults();

    Identity identity_;
    std::map<std::uint8_t, Bytes> settings_;
    std::map<std::uint8_t, Bytes> statusInfo_;
    std::uint32_t statusWord_ = 0;
    RestartPlan restartPlan_;
    bool restartDue_ = false;
    bool lastWriteCounts_ = true;
    Faults faults_;
    struct ExchangeFaults {
        int exchangesToGo = 0; // opens until the faulty exchange begins
        Faults faults;         // its switches
        Faults saved;          // the switches to restore after it
        bool running = false;  // the faulty exchange is the current one
    };
    std::optional<ExchangeFaults> exchangeFaults_;
    std::deque<Bytes> replies_;
    std::vector<TransferRecord> transferLog_;
    std::vector<std::uint8_t> buttonLog_;
    DownloadRecorder downloads_;
};

} // namespace vprinter
