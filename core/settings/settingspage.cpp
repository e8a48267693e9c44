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
    // The value on its own (see SettingsPage::checkValue); null: nothing to judge.
    std::function<std::optional<Refusal>(const V &)> check = nullptr;
    // What the key takes, for help texts; read-only fields say so themselves.
    KeyDescription::Kind kind = KeyDescription::Kind::Text;
    QStringList choices = {};
    QString unit = {};
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
                           f.range, f.unit});
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
                return kIndexWireRange;
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
            if (f.index && within(value, kIndexWireRange)) {
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
        indexField("direction", &V::direction, {"0", "180"}),
        indexField("mirror", &V::mirror, {"normal", "mirror"}),
        numberField(printsettings::kPrintOffset, &V::printOffset, printsettings::kOffsetRange),
        numberField(printsettings::kVerticalOffset, &V::verticalOffset,
                    printsettings::kOffsetRange),
    };
    if (offer.printMethod)
        fields.push_back(indexField("print-method", &V::printMethod, {"thermal", "transfer"}));
    fields.push_back(
        indexField("paper-type", &V::paperType, {"label", "black-mark", "continuous", "auto"}));
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

std::unique_ptr<SettingsPage> serialPage()
{
    using V = serialport::Values;
    const QStringList bauds = {"4800",   "9600",   "14400",  "19200",  "38400",  "56000",
                               "57600",  "115200", "128000", "230400", "256000", "460800",
                               "500000", "512000", "600000", "750000", "921600"};
    return std::make_unique<TablePage<V>>(
        "serial", V{},
        std::vector<Field<V>>{
            indexField("baud-rate", &V::baudRate, bauds),
            indexField("parity", &V::parity, {"0", "1", "2"}),
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
            indexField("mode", &V::mode, {"STA", "AP"}),
            textField(wifi::kStationName, &V::stationName),
            textField(wifi::kStationPassword, &V::stationPassword),
            textField(wifi::kAccessPointName, &V::accessPointName),
            textField(wifi::kAccessPointPassword, &V::accessPointPassword),
            addressField(wifi::kAccessPointIp, &V::accessPointIp),
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
                              textField(bluetooth::kPin, &V::pin)},
        TablePage<V>::Behaviour{readBluetooth, bluetooth::validate, bluetooth::writeCommands});
}

std::unique_ptr<SettingsPage> wifiIpPage()
{
    using V = wifiip::Values;
    return std::make_unique<TablePage<V>>(
        "wifi-ip", V{},
        std::vector<Field<V>>{
            indexField("dhcp", &V::mode, {"off", "on"}), addressField(wifiip::kIp, &V::ip),
            addressField(wifiip::kMask, &V::mask), addressField(wifiip::kGateway, &V::gateway),
            addressField(wifiip::kDns, &V::dns)},
        TablePage<V>::Behaviour{readWifiIp, wifiip::validate, wifiip::writeCommands});
}

std::unique_ptr<SettingsPage> ethernetPage()
{
    using V = ethernet::Values;
    return std::make_unique<TablePage<V>>(
        "ethernet", V{},
        std::vector<Field<V>>{
            indexField("dhcp", &V::mode, {"on", "off"}), addressField(ethernet::kIp, &V::ip),
            addressField(ethernet::kMask, &V::mask), addressField(ethernet::kGateway, &V::gateway),
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
