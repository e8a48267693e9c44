#include "core/settings/settingspage.h"

#include "core/printers/modelgate.h"
#include "core/settings/pageexchange.h"
#include "core/settings/pagereads.h"

#include <QObject>
#include <functional>

namespace pages {

int SettingsPage::write(PrinterHandle *handle) const { return sendCommands(handle, commands()); }

namespace {

QStringList numbered(int count)
{
    QStringList items;
    for (int i = 0; i < count; ++i)
        items << QString::number(i);
    return items;
}

// One value of a page: how it shows as text and, unless it only reports what the printer said,
// how a text changes it (an error text when the text is not a value it takes).
template <typename V> struct Field {
    QString key;
    std::function<QString(const V &)> get;
    std::function<std::optional<QString>(V &, const QString &)> put; // null: read-only
    NumberField V::*number = nullptr;                                // number fields only
    NumberRange range{0, 0, 1};
    int V::*index = nullptr; // selectors only: the item index that `get` shows
    // Selectors whose read folds every byte the printer sends into their list: no wire value
    // beyond the list can come from a printer, so none is taken from a profile.
    bool readFoldsIntoList = false;
    // Whether two values are the same value, however typed; null: the same text.
    std::function<bool(const V &, const V &)> same = nullptr;
    // The value on its own (see SettingsPage::checkValue); null: nothing to judge.
    std::function<std::optional<Refusal>(const V &)> check = nullptr;
    // What the key takes, for help texts; read-only fields say so themselves.
    KeyDescription::Kind kind = KeyDescription::Kind::Text;
    QStringList choices = {};
    QString unit = {};
    QString note = {};
};

using WireRange = QPair<qint64, qint64>;

// A selector's index travels as one byte.
constexpr WireRange kIndexWireRange{0, 0xFF};

// A number field travels in 16 bits, unsigned where the field takes no negative number.
WireRange numberWireRange(const NumberRange &range)
{
    return range.min >= 0 ? WireRange{0, 0xFFFF} : WireRange{-0x8000, 0x7FFF};
}

bool within(qint64 value, const WireRange &range)
{
    return value >= range.first && value <= range.second;
}

QString invalidValue(const QString &key, const QString &value, const QStringList &choices)
{
    return QObject::tr("“%1”的值无效：%2（可选：%3）")
        .arg(key, value, choices.join(QStringLiteral(", ")));
}

template <typename V> Field<V> indexField(const QString &key, int V::*member, QStringList items)
{
    Field<V> field{key, [=](const V &v) { return items.value(v.*member); },
                   [=](V &v, const QString &text) -> std::optional<QString> {
                       const int index = items.indexOf(text);
                       if (index < 0)
                           return invalidValue(key, text, items);
                       v.*member = index;
                       return std::nullopt;
                   }};
    field.index = member;
    field.kind = KeyDescription::Kind::Choice;
    field.choices = items;
    return field;
}

// A selector whose read maps every byte onto one of its items.
template <typename V>
Field<V> foldedIndexField(const QString &key, int V::*member, QStringList items)
{
    Field<V> field = indexField(key, member, std::move(items));
    field.readFoldsIntoList = true;
    return field;
}

template <typename V> Field<V> textField(const QString &key, QString V::*member)
{
    Field<V> field{key, [=](const V &v) { return v.*member; },
                   [=](V &v, const QString &text) -> std::optional<QString> {
                       v.*member = text;
                       return std::nullopt;
                   }};
    field.check = [=](const V &v) { return checkTexts({{key, v.*member}}); };
    return field;
}

// A dotted address; an untouched one is judged by the page's own validation, which knows
// whether it may go as zeros.
template <typename V> Field<V> addressField(const QString &key, QString V::*member)
{
    Field<V> field = textField(key, member);
    field.check = [=](const V &v) { return checkAddress(key, v.*member, true); };
    field.kind = KeyDescription::Kind::Address;
    field.same = [=](const V &a, const V &b) {
        const std::optional<QByteArray> octets = addressOctets(a.*member, false);
        return octets ? octets == addressOctets(b.*member, false) : a.*member == b.*member;
    };
    return field;
}

// A subnet mask, judged as one on its own.
template <typename V> Field<V> maskField(const QString &key, QString V::*member)
{
    Field<V> field = addressField(key, member);
    field.check = [=](const V &v) { return checkMask(key, v.*member, true); };
    field.kind = KeyDescription::Kind::Mask;
    return field;
}

// The printer's own address: also never 0.0.0.0 or 255.255.255.255 when given.
template <typename V> Field<V> hostAddressField(const QString &key, QString V::*member)
{
    Field<V> field = addressField(key, member);
    field.check = [=](const V &v) { return checkHostAddress(key, v.*member, true); };
    return field;
}

// A network name: its texts' checks, and no longer than a network name can be.
template <typename V> Field<V> networkNameField(const QString &key, QString V::*member)
{
    Field<V> field = textField(key, member);
    field.check = [=](const V &v) -> std::optional<Refusal> {
        if (auto refusal = checkTexts({{key, v.*member}}))
            return refusal;
        return wifi::checkNetworkName(key, v.*member);
    };
    field.note = QObject::tr("文字，最多 %1 个字节").arg(wifi::kMaxNetworkNameBytes);
    return field;
}

// A Bluetooth PIN.
template <typename V> Field<V> pinField(const QString &key, QString V::*member)
{
    Field<V> field = textField(key, member);
    field.check = [=](const V &v) -> std::optional<Refusal> {
        if (auto refusal = checkTexts({{key, v.*member}}))
            return refusal;
        return bluetooth::checkPin(v.*member);
    };
    field.note =
        QObject::tr("4 到 16 位数字：蓝牙配对的PIN码最多 16 个字节，配对的设备只提供数字键盘，"
                    "少于 4 位起不到保护作用");
    return field;
}

// A port number kept as its text.
template <typename V> Field<V> portField(const QString &key, QString V::*member, NumberRange range)
{
    Field<V> field = textField(key, member);
    field.check = [=](const V &v) {
        return checkNumber(key, NumberField{v.*member, {}, {}}, range);
    };
    field.kind = KeyDescription::Kind::Number;
    field.range = range; // described only: the text is no number field
    field.same = [=](const V &a, const V &b) {
        const std::optional<qint64> number = parseWholeNumber(a.*member);
        return number ? number == parseWholeNumber(b.*member) : a.*member == b.*member;
    };
    return field;
}

// A number as typed; whether it is a whole number in range is for validate() to say.
template <typename V>
Field<V> numberField(const QString &key, NumberField V::*member, NumberRange range)
{
    Field<V> field{key, [=](const V &v) { return (v.*member).text; },
                   [=](V &v, const QString &text) -> std::optional<QString> {
                       (v.*member).text = text;
                       return std::nullopt;
                   },
                   member, range};
    field.check = [=](const V &v) { return checkNumber(key, v.*member, range); };
    // The same number, however it is typed ("-0" and "0", "012" and "12"), or the same wire value.
    field.same = [=](const V &a, const V &b) {
        const std::optional<qint64> typed = parseWholeNumber((a.*member).text);
        if (typed && typed == parseWholeNumber((b.*member).text))
            return true;
        const std::optional<qint64> wire = wireValue(a.*member, range);
        return wire ? wire == wireValue(b.*member, range) : (a.*member).text == (b.*member).text;
    };
    field.kind = KeyDescription::Kind::Number;
    if (range.wireUnitsPerUnit == 8)
        field.unit = QStringLiteral("mm");
    return field;
}

// A number typed in dots.
template <typename V>
Field<V> dotField(const QString &key, NumberField V::*member, NumberRange range)
{
    Field<V> field = numberField(key, member, range);
    field.unit = QStringLiteral("dot");
    return field;
}

template <typename V> Field<V> infoField(const QString &key, std::function<QString(const V &)> get)
{
    return {key, std::move(get), nullptr};
}

template <typename V> class TablePage : public SettingsPage
{
public:
    struct Behaviour {
        std::function<int(PrinterHandle *, V &)> read;
        std::function<std::optional<Refusal>(const V &)> validate;
        std::function<std::vector<SetCommand>(const V &)> commands;
    };

    TablePage(QString name, V initial, std::vector<Field<V>> fields, Behaviour behaviour)
        : name_(std::move(name)), values_(std::move(initial)), fields_(std::move(fields)),
          behaviour_(std::move(behaviour))
    {
    }

    QString name() const override { return name_; }
    std::unique_ptr<SettingsPage> clone() const override
    {
        return std::make_unique<TablePage<V>>(*this);
    }
    int read(PrinterHandle *handle) override { return behaviour_.read(handle, values_); }

    KeyValues values() const override
    {
        KeyValues out;
        for (const Field<V> &f : fields_)
            out << qMakePair(f.key, f.get(values_));
        return out;
    }

    QStringList writableKeys() const override
    {
        QStringList keys;
        for (const Field<V> &f : fields_) {
            if (f.put)
                keys << f.key;
        }
        return keys;
    }

    std::optional<QString> set(const QString &key, const QString &value) override
    {
        for (const Field<V> &f : fields_) {
            if (f.key != key)
                continue;
            if (!f.put)
                return QObject::tr("“%1”只能读取，不能修改").arg(key);
            return f.put(values_, value);
        }
        return QObject::tr("页面“%1”没有设置项“%2”（可选：%3）")
            .arg(name_, key, writableKeys().join(QStringLiteral(", ")));
    }

    std::vector<KeyDescription> keys() const override
    {
        std::vector<KeyDescription> out;
        for (const Field<V> &f : fields_)
            out.push_back({f.key, f.put ? f.kind : KeyDescription::Kind::ReadOnly, f.choices,
                           f.range, f.unit, f.note});
        return out;
    }

    QMap<QString, qint64> wireValues() const override
    {
        QMap<QString, qint64> out;
        for (const Field<V> &f : fields_) {
            const NumberField &field = f.number ? values_.*f.number : NumberField{};
            if (f.number && field.readValue && field.text == field.readText)
                out.insert(f.key, *field.readValue);
            // An index beyond the list shows as "": only its wire value says what it was.
            if (f.index && within(values_.*f.index, kIndexWireRange) && f.get(values_).isEmpty())
                out.insert(f.key, values_.*f.index);
        }
        return out;
    }

    std::optional<WireRange> wireRange(const QString &key) const override
    {
        for (const Field<V> &f : fields_) {
            if (f.key == key && f.number)
                return numberWireRange(f.range);
            if (f.key == key && f.index)
                return indexWireRange(f);
        }
        return std::nullopt;
    }

    bool setWireValue(const QString &key, qint64 value, const QString &shownAs) override
    {
        for (const Field<V> &f : fields_) {
            if (f.key != key)
                continue;
            // A number shows truncated toward zero, as a read shows it.
            if (f.number && within(value, numberWireRange(f.range)) &&
                shownAs == QString::number(value / f.range.wireUnitsPerUnit)) {
                values_.*f.number = NumberField::fromRead(value, shownAs);
                return true;
            }
            if (f.index && within(value, indexWireRange(f))) {
                V probe = values_;
                probe.*f.index = int(value);
                if (f.get(probe) != shownAs)
                    return false;
                values_.*f.index = int(value);
                return true;
            }
        }
        return false;
    }

    bool sameValue(const QString &key, const SettingsPage &other) const override
    {
        const auto *same = dynamic_cast<const TablePage<V> *>(&other);
        for (const Field<V> &f : fields_) {
            if (f.key != key)
                continue;
            if (same && f.same)
                return f.same(values_, same->values_);
            return f.get(values_) == valueOf(other, key);
        }
        return false;
    }

    std::optional<Refusal> validate() const override { return behaviour_.validate(values_); }
    std::optional<Refusal> checkValue(const QString &key) const override
    {
        for (const Field<V> &f : fields_) {
            if (f.key == key && f.check)
                return f.check(values_);
        }
        return std::nullopt;
    }
    std::vector<SetCommand> commands() const override { return behaviour_.commands(values_); }

private:
    // The wire values a selector's index can take: every byte, or for one whose read folds
    // every byte into its list, only the list's indexes.
    static WireRange indexWireRange(const Field<V> &f)
    {
        return f.readFoldsIntoList ? WireRange{0, f.choices.size() - 1} : kIndexWireRange;
    }

    QString name_;
    V values_;
    std::vector<Field<V>> fields_;
    Behaviour behaviour_;
};

std::unique_ptr<SettingsPage> printPage(const supportedprinters::Offer &offer)
{
    using V = printsettings::Values;
    V initial;
    initial.printMethodEnabled = offer.printMethod;
    std::vector<Field<V>> fields = {
        indexField("speed", &V::speed, numbered(offer.printSpeeds)),
        indexField("density", &V::density, numbered(16)),
        numberField(printsettings::kLabelGap, &V::labelGap, printsettings::kGapRange),
        numberField(printsettings::kBlackMarkGap, &V::blackMarkGap, printsettings::kGapRange),
        foldedIndexField("direction", &V::direction, {"0", "180"}),
        foldedIndexField("mirror", &V::mirror, {"normal", "mirror"}),
        numberField(printsettings::kPrintOffset, &V::printOffset, printsettings::kOffsetRange),
        numberField(printsettings::kVerticalOffset, &V::verticalOffset,
                    printsettings::kOffsetRange),
    };
    if (offer.printMethod)
        fields.push_back(
            foldedIndexField("print-method", &V::printMethod, {"thermal", "transfer"}));
    fields.push_back(foldedIndexField("paper-type", &V::paperType,
                                      {"label", "black-mark", "continuous", "auto"}));
    fields.push_back(indexField("code-page", &V::codePage, numbered(62)));
    Field<V> language{"language", [](const V &v) { return v.commandLanguage; },
                      [](V &v, const QString &text) -> std::optional<QString> {
                          if (!printsettings::commandLanguages().contains(text))
                              return invalidValue("language", text,
                                                  printsettings::commandLanguages());
                          v.commandLanguage = text;
                          return std::nullopt;
                      }};
    language.kind = KeyDescription::Kind::Choice;
    language.choices = printsettings::commandLanguages();
    fields.push_back(language);
    return std::make_unique<TablePage<V>>("print", initial, fields,
                                          TablePage<V>::Behaviour{readPrintSettings,
                                                                  printsettings::validate,
                                                                  printsettings::writeCommands});
}

std::unique_ptr<SettingsPage> distancePage()
{
    using V = distances::Values;
    return std::make_unique<TablePage<V>>(
        "distance", V{},
        std::vector<Field<V>>{
            numberField(distances::kExitToHead, &V::exitToHead, distances::kMillimetreRange),
            numberField(distances::kGapToHead, &V::gapToHead, distances::kMillimetreRange),
            numberField(distances::kBlackMarkToHead, &V::blackMarkToHead,
                        distances::kMillimetreRange),
            dotField(distances::kHeadToTear, &V::headToTear, distances::kDotRange)},
        TablePage<V>::Behaviour{readDistances, distances::validate, distances::writeCommands});
}

// The parity travels as its code; the codes say what they mean in the help.
Field<serialport::Values> parityField()
{
    Field<serialport::Values> field =
        indexField("parity", &serialport::Values::parity, {"0", "1", "2"});
    field.note = QObject::tr("0 无校验，1 奇校验，2 偶校验");
    return field;
}

std::unique_ptr<SettingsPage> serialPage()
{
    using V = serialport::Values;
    const QStringList bauds = {"4800",   "9600",   "14400",  "19200",  "38400",  "56000",
                               "57600",  "115200", "128000", "230400", "256000", "460800",
                               "500000", "512000", "600000", "750000", "921600"};
    return std::make_unique<TablePage<V>>(
        "serial", V{},
        std::vector<Field<V>>{
            indexField("baud-rate", &V::baudRate, bauds), parityField(),
            indexField("data-bits", &V::dataBits, {"8", "7"}),
            indexField("stop-bits", &V::stopBits, {"1", "2"}),
            // The serial number goes back only to the printer it was read from.
            infoField<V>(serialport::kSerialNumber, [](const V &v) { return v.serialNumberText; }),
            infoField<V>("device-information",
                         [](const V &v) { return v.deviceInformation.value_or(QString()); })},
        TablePage<V>::Behaviour{readSerialPort, serialport::validate, serialport::writeCommands});
}

std::unique_ptr<SettingsPage> wifiPage()
{
    using V = wifi::Values;
    return std::make_unique<TablePage<V>>(
        "wifi", V{},
        std::vector<Field<V>>{
            foldedIndexField("mode", &V::mode, {"STA", "AP"}),
            networkNameField(wifi::kStationName, &V::stationName),
            textField(wifi::kStationPassword, &V::stationPassword),
            networkNameField(wifi::kAccessPointName, &V::accessPointName),
            textField(wifi::kAccessPointPassword, &V::accessPointPassword),
            hostAddressField(wifi::kAccessPointIp, &V::accessPointIp),
            portField(wifi::kTcpPort, &V::tcpPort, wifi::kPortRange),
            infoField<V>("wifi-mac", [](const V &v) { return v.wifiMac; }),
            infoField<V>("bluetooth-mac", [](const V &v) { return v.bluetoothMac; })},
        TablePage<V>::Behaviour{readWifi, wifi::validate, wifi::writeCommands});
}

std::unique_ptr<SettingsPage> bluetoothPage()
{
    using V = bluetooth::Values;
    return std::make_unique<TablePage<V>>(
        "bluetooth", V{},
        std::vector<Field<V>>{textField(bluetooth::kSppName, &V::sppName),
                              textField(bluetooth::kBleName, &V::bleName),
                              indexField("pairing", &V::pairingMode, {"simple", "pin"}),
                              pinField(bluetooth::kPin, &V::pin)},
        TablePage<V>::Behaviour{readBluetooth, bluetooth::validate, bluetooth::writeCommands});
}

std::unique_ptr<SettingsPage> wifiIpPage()
{
    using V = wifiip::Values;
    return std::make_unique<TablePage<V>>(
        "wifi-ip", V{},
        std::vector<Field<V>>{
            foldedIndexField("dhcp", &V::mode, {"off", "on"}),
            hostAddressField(wifiip::kIp, &V::ip), maskField(wifiip::kMask, &V::mask),
            addressField(wifiip::kGateway, &V::gateway), addressField(wifiip::kDns, &V::dns)},
        TablePage<V>::Behaviour{readWifiIp, wifiip::validate, wifiip::writeCommands});
}

std::unique_ptr<SettingsPage> ethernetPage()
{
    using V = ethernet::Values;
    return std::make_unique<TablePage<V>>(
        "ethernet", V{},
        std::vector<Field<V>>{foldedIndexField("dhcp", &V::mode, {"on", "off"}),
                              hostAddressField(ethernet::kIp, &V::ip),
                              maskField(ethernet::kMask, &V::mask),
                              addressField(ethernet::kGateway, &V::gateway),
                              portField(ethernet::kTcpPort, &V::tcpPort, ethernet::kPortRange),
                              portField(ethernet::kUdpPort, &V::udpPort, ethernet::kPortRange)},
        TablePage<V>::Behaviour{readEthernet, ethernet::validate, ethernet::writeCommands});
}

} // namespace

QString valueOf(const SettingsPage &page, const QString &key)
{
    for (const auto &[k, value] : page.values()) {
        if (k == key)
            return value;
    }
    return {};
}

QList<QByteArray> framesOf(const SettingsPage &page)
{
    QList<QByteArray> frames;
    for (const SetCommand &command : page.commands()) {
        if (!command.isSkipped() && command.frame)
            frames << *command.frame;
    }
    return frames;
}

QStringList pageNames()
{
    return {"print", "distance", "serial", "wifi", "bluetooth", "wifi-ip", "ethernet"};
}

std::vector<std::unique_ptr<SettingsPage>> pagesForModel(const ModelKey &modelKey)
{
    return pagesWith(modelgate::offerOf(modelKey));
}

std::vector<std::unique_ptr<SettingsPage>> pagesWith(const supportedprinters::Offer &offer)
{
    std::vector<std::unique_ptr<SettingsPage>> pages;
    if (!offer.settingsPages)
        return pages;
    pages.push_back(printPage(offer));
    pages.push_back(distancePage());
    pages.push_back(serialPage());
    pages.push_back(wifiPage());
    pages.push_back(bluetoothPage());
    pages.push_back(wifiIpPage());
    if (offer.ethernet)
        pages.push_back(ethernetPage());
    return pages;
}

std::vector<std::unique_ptr<SettingsPage>> pagesWith(Features features)
{
    return pagesWith(features == Features::Extended ? supportedprinters::kExtended
                                                    : supportedprinters::kBasic);
}

std::unique_ptr<SettingsPage> pageNamed(const QString &name, const ModelKey &modelKey)
{
    for (std::unique_ptr<SettingsPage> &page : pagesForModel(modelKey)) {
        if (page->name() == name)
            return std::move(page);
    }
    return nullptr;
}

} // namespace pages
