#pragma once

// What the main window's form promises to the slots, the pages and the user: the widget tree by
// object name, every text in Chinese and in English, the combo items and the icons.

#include <QStringList>

struct WidgetRow {
    const char *name;
    const char *className;
    const char *container; // nearest named ancestor the widget must sit in
};

inline const WidgetRow kWidgets[] = {
    {"centralwidget", "QWidget", "MainWindow"},
    {"statusbar", "QStatusBar", "MainWindow"},
    // left column
    {"label_100", "QLabel", "centralwidget"},
    {"checkBox", "QCheckBox", "centralwidget"},
    {"checkBox_2", "QCheckBox", "centralwidget"},
    {"checkBox_3", "QCheckBox", "centralwidget"},
    {"groupBox_2", "QGroupBox", "centralwidget"},
    {"label_4", "QLabel", "groupBox_2"},
    {"lineEdit_32", "QLineEdit", "groupBox_2"},
    {"label_2", "QLabel", "groupBox_2"},
    {"lineEdit_49", "QLineEdit", "groupBox_2"},
    {"label", "QLabel", "groupBox_2"},
    {"lineEdit", "QLineEdit", "groupBox_2"},
    {"label_10", "QLabel", "groupBox_2"},
    {"lineEdit_2", "QLineEdit", "groupBox_2"},
    {"listWidget", "QListWidget", "centralwidget"},
    {"pushButton_6", "QPushButton", "centralwidget"},
    {"pushButton", "QPushButton", "centralwidget"},
    // tabs
    {"tabWidget_2", "QTabWidget", "centralwidget"},
    {"tab_7", "QWidget", "tabWidget_2"},
    {"tab_8", "QWidget", "tabWidget_2"},
    {"tab", "QWidget", "tabWidget_2"},
    {"scrollArea_3", "QScrollArea", "tab_7"},
    {"toolBox", "QToolBox", "scrollArea_3"},
    {"scrollArea_2", "QScrollArea", "tab_8"},
    {"groupBox_7", "QGroupBox", "tab"},
    {"progressBar", "QProgressBar", "groupBox_7"},
    {"pushButton_34", "QPushButton", "tab"},
    {"pushButton_35", "QPushButton", "tab"},
    // print settings
    {"page_5", "QWidget", "toolBox"},
    {"groupBox_8", "QGroupBox", "page_5"},
    {"label_11", "QLabel", "page_5"},
    {"pushButton_13", "QPushButton", "page_5"},
    {"pushButton_14", "QPushButton", "page_5"},
    {"label_6", "QLabel", "groupBox_8"},
    {"comboBox", "QComboBox", "groupBox_8"},
    {"label_7", "QLabel", "groupBox_8"},
    {"comboBox_2", "QComboBox", "groupBox_8"},
    {"label_41", "QLabel", "groupBox_8"},
    {"comboBox_9", "QComboBox", "groupBox_8"},
    {"label_8", "QLabel", "groupBox_8"},
    {"comboBox_3", "QComboBox", "groupBox_8"},
    {"label_60", "QLabel", "groupBox_8"},
    {"comboBox_12", "QComboBox", "groupBox_8"},
    {"label_33", "QLabel", "groupBox_8"},
    {"comboBox_20", "QComboBox", "groupBox_8"},
    {"label_29", "QLabel", "groupBox_8"},
    {"lineEdit_43", "QLineEdit", "groupBox_8"},
    {"label_30", "QLabel", "groupBox_8"},
    {"lineEdit_42", "QLineEdit", "groupBox_8"},
    {"label_36", "QLabel", "groupBox_8"},
    {"lineEdit_20", "QLineEdit", "groupBox_8"},
    {"label_34", "QLabel", "groupBox_8"},
    {"lineEdit_19", "QLineEdit", "groupBox_8"},
    {"label_23", "QLabel", "groupBox_8"},
    {"comboBox_15", "QComboBox", "groupBox_8"},
    {"label_37", "QLabel", "groupBox_8"},
    {"comboBox_23", "QComboBox", "groupBox_8"},
    // distances
    {"page_2", "QWidget", "toolBox"},
    {"groupBox_5", "QGroupBox", "page_2"},
    {"label_3", "QLabel", "groupBox_5"},
    {"lineEdit_3", "QLineEdit", "groupBox_5"},
    {"label_13", "QLabel", "groupBox_5"},
    {"lineEdit_4", "QLineEdit", "groupBox_5"},
    {"label_15", "QLabel", "groupBox_5"},
    {"lineEdit_5", "QLineEdit", "groupBox_5"},
    {"label_16", "QLabel", "groupBox_5"},
    {"lineEdit_9", "QLineEdit", "groupBox_5"},
    {"label_17", "QLabel", "page_2"},
    {"pushButton_31", "QPushButton", "page_2"},
    {"pushButton_30", "QPushButton", "page_2"},
    // Wi-Fi
    {"page_6", "QWidget", "toolBox"},
    {"label_25", "QLabel", "page_6"},
    {"comboBox_8", "QComboBox", "page_6"},
    {"groupBox", "QGroupBox", "page_6"},
    {"label_9", "QLabel", "groupBox"},
    {"lineEdit_6", "QLineEdit", "groupBox"},
    {"label_14", "QLabel", "groupBox"},
    {"lineEdit_23", "QLineEdit", "groupBox"},
    {"groupBox_3", "QGroupBox", "page_6"},
    {"label_83", "QLabel", "groupBox_3"},
    {"lineEdit_11", "QLineEdit", "groupBox_3"},
    {"label_84", "QLabel", "groupBox_3"},
    {"lineEdit_52", "QLineEdit", "groupBox_3"},
    {"label_39", "QLabel", "groupBox_3"},
    {"lineEdit_47", "QLineEdit", "groupBox_3"},
    {"label_24", "QLabel", "page_6"},
    {"lineEdit_7", "QLineEdit", "page_6"},
    {"label_52", "QLabel", "page_6"},
    {"lineEdit_27", "QLineEdit", "page_6"},
    {"label_12", "QLabel", "page_6"},
    {"pushButton_17", "QPushButton", "page_6"},
    {"pushButton_18", "QPushButton", "page_6"},
    // Bluetooth
    {"page_7", "QWidget", "toolBox"},
    {"groupBox_4", "QGroupBox", "page_7"},
    {"label_55", "QLabel", "groupBox_4"},
    {"comboBox_11", "QComboBox", "groupBox_4"},
    {"label_53", "QLabel", "groupBox_4"},
    {"lineEdit_25", "QLineEdit", "groupBox_4"},
    {"label_35", "QLabel", "groupBox_4"},
    {"lineEdit_28", "QLineEdit", "groupBox_4"},
    {"label_38", "QLabel", "groupBox_4"},
    {"lineEdit_24", "QLineEdit", "groupBox_4"},
    {"label_57", "QLabel", "groupBox_4"},
    {"lineEdit_31", "QLineEdit", "groupBox_4"},
    {"label_5", "QLabel", "page_7"},
    {"pushButton_23", "QPushButton", "page_7"},
    {"pushButton_24", "QPushButton", "page_7"},
    // Wi-Fi IP
    {"page_3", "QWidget", "toolBox"},
    {"groupBox_9", "QGroupBox", "page_3"},
    {"label_62", "QLabel", "groupBox_9"},
    {"comboBox_14", "QComboBox", "groupBox_9"},
    {"label_64", "QLabel", "groupBox_9"},
    {"lineEdit_34", "QLineEdit", "groupBox_9"},
    {"label_67", "QLabel", "groupBox_9"},
    {"lineEdit_37", "QLineEdit", "groupBox_9"},
    {"label_56", "QLabel", "groupBox_9"},
    {"lineEdit_30", "QLineEdit", "groupBox_9"},
    {"label_63", "QLabel", "groupBox_9"},
    {"lineEdit_33", "QLineEdit", "groupBox_9"},
    {"pushButton_25", "QPushButton", "page_3"},
    {"pushButton_26", "QPushButton", "page_3"},
    // Ethernet
    {"page_4", "QWidget", "toolBox"},
    {"groupBox_13", "QGroupBox", "page_4"},
    {"label_65", "QLabel", "groupBox_13"},
    {"comboBox_16", "QComboBox", "groupBox_13"},
    {"label_58", "QLabel", "groupBox_13"},
    {"lineEdit_36", "QLineEdit", "groupBox_13"},
    {"label_69", "QLabel", "groupBox_13"},
    {"lineEdit_40", "QLineEdit", "groupBox_13"},
    {"label_66", "QLabel", "groupBox_13"},
    {"lineEdit_35", "QLineEdit", "groupBox_13"},
    {"label_18", "QLabel", "page_4"},
    {"lineEdit_12", "QLineEdit", "page_4"},
    {"label_19", "QLabel", "page_4"},
    {"lineEdit_10", "QLineEdit", "page_4"},
    {"pushButton_33", "QPushButton", "page_4"},
    {"pushButton_32", "QPushButton", "page_4"},
    // serial port and USB information
    {"page", "QWidget", "toolBox"},
    {"groupBox_10", "QGroupBox", "page"},
    {"label_70", "QLabel", "groupBox_10"},
    {"comboBox_24", "QComboBox", "groupBox_10"},
    {"label_71", "QLabel", "groupBox_10"},
    {"comboBox_25", "QComboBox", "groupBox_10"},
    {"label_73", "QLabel", "groupBox_10"},
    {"comboBox_27", "QComboBox", "groupBox_10"},
    {"label_72", "QLabel", "groupBox_10"},
    {"comboBox_26", "QComboBox", "groupBox_10"},
    {"groupBox_11", "QGroupBox", "page"},
    {"label_54", "QLabel", "groupBox_11"},
    {"lineEdit_8", "QLineEdit", "groupBox_11"},
    {"groupBox_6", "QGroupBox", "page"},
    {"lineEdit_39", "QLineEdit", "groupBox_6"},
    {"label_61", "QLabel", "page"},
    {"pushButton_27", "QPushButton", "page"},
    {"pushButton_28", "QPushButton", "page"},
    // function buttons
    {"pushButton_4", "QPushButton", "scrollArea_2"},
    {"pushButton_5", "QPushButton", "scrollArea_2"},
    {"pushButton_2", "QPushButton", "scrollArea_2"},
    {"pushButton_15", "QPushButton", "scrollArea_2"},
    {"pushButton_22", "QPushButton", "scrollArea_2"},
    {"pushButton_10", "QPushButton", "scrollArea_2"},
    {"pushButton_9", "QPushButton", "scrollArea_2"},
    {"pushButton_7", "QPushButton", "scrollArea_2"},
    {"pushButton_8", "QPushButton", "scrollArea_2"},
    {"groupBox_12", "QGroupBox", "scrollArea_2"},
    {"pushButton_3", "QPushButton", "groupBox_12"},
    {"pushButton_11", "QPushButton", "groupBox_12"},
    {"pushButton_12", "QPushButton", "groupBox_12"},
    {"pushButton_29", "QPushButton", "groupBox_12"},
    {"pushButton_21", "QPushButton", "scrollArea_2"},
    {"pushButton_20", "QPushButton", "scrollArea_2"},
    {"pushButton_19", "QPushButton", "scrollArea_2"},
    {"pushButton_16", "QPushButton", "scrollArea_2"},
};

// Where a text lives: a label's, button's or check box's text, a group box title, the title of
// a tab of tabWidget_2 or of a tool-box page (both found by the page's object name), or the item
// of a combo box at an index.
enum class TextSlot { Text, Title, TabTitle, PageTitle, Item };

struct TextRow {
    const char *object;
    TextSlot slot;
    int index; // combo item index; unused otherwise
    const char *chinese;
    const char *english;
};

inline const TextRow kTexts[] = {
    {"label_100", TextSlot::Text, 0, "通讯介质", "Communication medium"},
    {"checkBox", TextSlot::Text, 0, "USB", "USB"},
    {"checkBox_2", TextSlot::Text, 0, "WIFI", "WIFI"},
    {"checkBox_3", TextSlot::Text, 0, "蓝牙", "bluetooth"},
    {"groupBox_2", TextSlot::Title, 0, "打印机资讯", "Printer information"},
    {"label_4", TextSlot::Text, 0, "打印机版本：", "Printer version:"},
    {"label_2", TextSlot::Text, 0, "打印机型号 ：", "Printer model:"},
    {"label", TextSlot::Text, 0, "分辩率：", "Resolution:"},
    {"label_10", TextSlot::Text, 0, "最大纸张宽度：", "Maximum paper width:"},
    {"pushButton_6", TextSlot::Text, 0, "获取列表", "Get list"},
    {"pushButton", TextSlot::Text, 0, "读取打印机资讯", "Read information"},
    {"tab_7", TextSlot::TabTitle, 0, "打印机设置", "Printer Setting"},
    {"tab_8", TextSlot::TabTitle, 0, "功能设置", "Functional setting"},
    {"tab", TextSlot::TabTitle, 0, "维护升级", "Maintenance upgrade"},
    {"groupBox_7", TextSlot::Title, 0, "维护升级", "Maintenance upgrade"},
    {"pushButton_34", TextSlot::Text, 0, "下载固件", "Download Firmware"},
    {"pushButton_35", TextSlot::Text, 0, "下载字库", "Download font"},
    {"page_5", TextSlot::PageTitle, 0, "打印设置", "Print Setting"},
    {"page_2", TextSlot::PageTitle, 0, "距离设置", "Distance setting"},
    {"page_6", TextSlot::PageTitle, 0, "wifi设置", "Wifi Setting"},
    {"page_7", TextSlot::PageTitle, 0, "蓝牙设置", "Bluetooth Setting"},
    {"page_3", TextSlot::PageTitle, 0, "wifi_ip设置", "Wifi_ip Setting"},
    {"page_4", TextSlot::PageTitle, 0, "网口设置", "Mesh Setting"},
    {"page", TextSlot::PageTitle, 0, "串口设置", "Serial Setting"},
    {"pushButton_13", TextSlot::Text, 0, "读取", "Read"},
    {"pushButton_31", TextSlot::Text, 0, "读取", "Read"},
    {"pushButton_17", TextSlot::Text, 0, "读取", "Read"},
    {"pushButton_23", TextSlot::Text, 0, "读取", "Read"},
    {"pushButton_25", TextSlot::Text, 0, "读取", "Read"},
    {"pushButton_33", TextSlot::Text, 0, "读取", "Read"},
    {"pushButton_27", TextSlot::Text, 0, "读取", "Read"},
    {"pushButton_14", TextSlot::Text, 0, "设置", "setting"},
    {"pushButton_30", TextSlot::Text, 0, "设置", "setting"},
    {"pushButton_18", TextSlot::Text, 0, "设置", "setting"},
    {"pushButton_24", TextSlot::Text, 0, "设置", "setting"},
    {"pushButton_26", TextSlot::Text, 0, "设置", "setting"},
    {"pushButton_32", TextSlot::Text, 0, "设置", "setting"},
    {"pushButton_28", TextSlot::Text, 0, "设置", "setting"},
    // print settings
    {"label_11", TextSlot::Text, 0, "设置", "setting"},
    {"groupBox_8", TextSlot::Title, 0, "打印设置", "Print Setting"},
    {"label_6", TextSlot::Text, 0, "打印速度：", "Print speed:"},
    {"label_7", TextSlot::Text, 0, "打印浓度：", "Print concentration:"},
    {"label_41", TextSlot::Text, 0, "打印设置：", "printer setting ："},
    {"comboBox_9", TextSlot::Item, 0, "热敏", "Thermal"},
    {"comboBox_9", TextSlot::Item, 1, "热转印", "Thermal transfer"},
    {"label_8", TextSlot::Text, 0, "纸张类型：", "Paper type:"},
    {"comboBox_3", TextSlot::Item, 0, "标签纸", "Label paper"},
    {"comboBox_3", TextSlot::Item, 1, "黑标纸", "Black paper"},
    {"comboBox_3", TextSlot::Item, 2, "连续纸", "Continuous paper"},
    {"comboBox_3", TextSlot::Item, 3, "AUTO", "AUTO"},
    {"label_60", TextSlot::Text, 0, "打印方式：", "Print mode:"},
    {"comboBox_12", TextSlot::Item, 0, "正常打印", "Normal print"},
    {"comboBox_12", TextSlot::Item, 1, "镜像打印", "Mirror print"},
    {"label_33", TextSlot::Text, 0, "打印方向：", "Print direction:"},
    {"comboBox_20", TextSlot::Item, 0, "旋转0度", "Rotate 0 degrees"},
    {"comboBox_20", TextSlot::Item, 1, "旋转180度", "Rotate 180 degrees"},
    {"label_29", TextSlot::Text, 0, "标签间隙(单位mm)：", "Label gap (mm) :"},
    {"label_30", TextSlot::Text, 0, "黑标间隙(单位mm)：", "Black label gap (mm) :"},
    {"label_36", TextSlot::Text, 0, "垂直偏移(单位mm)：", "Vertical migration (mm) :"},
    {"label_34", TextSlot::Text, 0, "打印偏移(单位mm)：", "Printing migration (mm) :"},
    {"label_23", TextSlot::Text, 0, "默认代码页：", "Default code page:"},
    {"label_37", TextSlot::Text, 0, "指令集：", "Instruction:"},
    // distances
    {"groupBox_5", TextSlot::Title, 0, "距离设置", "Distance setting"},
    {"label_3", TextSlot::Text, 0, "出纸口到打印头距离(单位mm)：",
     "Distance from paper outlet to print head (mm):"},
    {"label_13", TextSlot::Text, 0, "缝到打印头距离(单位mm)：",
     "Distance from sewing to print head (mm):"},
    {"label_15", TextSlot::Text, 0,
     "黑标到打印头距离(单位mm):", "Distance from black mark to print head (mm):"},
    {"label_16", TextSlot::Text, 0, "打印头到撕纸位置距离(单位dot)：",
     "Distance from the head to the tear-off position (dot):"},
    {"label_17", TextSlot::Text, 0, "注：1mm = 8dot", "Note：1mm = 8dot"},
    // Wi-Fi
    {"label_25", TextSlot::Text, 0, "wifi模式：", "wifi mode:"},
    {"groupBox", TextSlot::Title, 0, "STA模式", "STA mode"},
    {"label_9", TextSlot::Text, 0, "wifi名称：", "wifi Name:"},
    {"label_14", TextSlot::Text, 0, "wifi密码：", "wifi Password:"},
    {"groupBox_3", TextSlot::Title, 0, "AP模式", "Ap mode"},
    {"label_83", TextSlot::Text, 0, "wifi名称：", "wifi Name:"},
    {"label_84", TextSlot::Text, 0, "wifi密码：", "wifi Password:"},
    {"label_39", TextSlot::Text, 0, " AP_IP:", " AP_IP:"},
    {"label_24", TextSlot::Text, 0, "MAC：", "MAC："},
    {"label_52", TextSlot::Text, 0, "TCP端口号：", "TCP port number:"},
    {"label_12", TextSlot::Text, 0, "注：此项功能设置后需重启打印机",
     "Note: this function is set up and the printer needs to be restarted"},
    // Bluetooth
    {"groupBox_4", TextSlot::Title, 0, "蓝牙设置", "Bluetooth Setting"},
    {"label_55", TextSlot::Text, 0, "SPP连接模式：", "SPP mode:"},
    {"comboBox_11", TextSlot::Item, 0, "简易配对", "Simple pairing"},
    {"comboBox_11", TextSlot::Item, 1, "配对码配对", "Matching pairing"},
    {"label_53", TextSlot::Text, 0, "SPP_PIN码：", "Spp_pin code:"},
    {"label_35", TextSlot::Text, 0, "SPP名称:", "SPP name:"},
    {"label_38", TextSlot::Text, 0, "BLE:", "BLE:"},
    {"label_57", TextSlot::Text, 0, "MAC:", "MAC:"},
    {"label_5", TextSlot::Text, 0, "注：此项功能设置后需重启打印机",
     "Note: this function is set up and the printer needs to be restarted"},
    // Wi-Fi IP
    {"groupBox_9", TextSlot::Title, 0, "IP设置", "IP Setting"},
    {"label_62", TextSlot::Text, 0, "IP模式：", "IP mode:"},
    {"label_64", TextSlot::Text, 0, "子网掩码：", "Subnet mask:"},
    {"label_67", TextSlot::Text, 0, "DNS:", "DNS:"},
    {"label_56", TextSlot::Text, 0, "IP:", "IP:"},
    {"label_63", TextSlot::Text, 0, "网关地址：", "Gateway address:"},
    // Ethernet
    {"groupBox_13", TextSlot::Title, 0, "网口设置", "Mesh Setting"},
    {"label_65", TextSlot::Text, 0, "IP模式：", "IP mode:"},
    {"label_58", TextSlot::Text, 0, "IP:", "IP:"},
    {"label_69", TextSlot::Text, 0, "网关地址：", "Gateway address:"},
    {"label_66", TextSlot::Text, 0, "子网掩码：", "Subnet mask:"},
    {"label_18", TextSlot::Text, 0, "TCP端口：", "TCP port number："},
    {"label_19", TextSlot::Text, 0, "UDP端口：", "UDP port number:"},
    // serial port and USB information
    {"groupBox_10", TextSlot::Title, 0, "串口设置", "Serial Setting"},
    {"label_70", TextSlot::Text, 0, "停止位：", "Stop bit:"},
    {"label_71", TextSlot::Text, 0, "数据位：", "Data bits:"},
    {"label_73", TextSlot::Text, 0, "波特率：", "Port rate:"},
    {"label_72", TextSlot::Text, 0, "校验位：", "Check bits:"},
    {"groupBox_11", TextSlot::Title, 0, "USB打印机信息", "USB printer information"},
    {"label_54", TextSlot::Text, 0, "设备SN号:", "Device sn:"},
    {"groupBox_6", TextSlot::Title, 0, "打印机设备信息", "Printer equipment information"},
    {"label_61", TextSlot::Text, 0, "打印机设备信息", "Printer equipment information"},
    // function buttons
    {"pushButton_4", TextSlot::Text, 0, "重启机器", "Restart the machine"},
    {"pushButton_5", TextSlot::Text, 0, "打印机初始化", "Printer initialization"},
    {"pushButton_2", TextSlot::Text, 0, "打印自检页", "Print the self-test page"},
    {"pushButton_15", TextSlot::Text, 0, "获取打印机状态", "Get printer status"},
    {"pushButton_22", TextSlot::Text, 0, "缺纸学习", "Paper empty learning"},
    {"pushButton_10", TextSlot::Text, 0, "出纸口纸边传感器自学习", "paper is taught by self-study"},
    {"pushButton_9", TextSlot::Text, 0, "DAC自学习", "DAC by self-study"},
    {"pushButton_7", TextSlot::Text, 0, "缝隙自学习", "Gap self-learning"},
    {"pushButton_8", TextSlot::Text, 0, "黑标自学习", "Black label self-learning"},
    {"groupBox_12", TextSlot::Title, 0, "切刀设置", "Cutter setting"},
    {"pushButton_3", TextSlot::Text, 0, "全切", "Full cut"},
    {"pushButton_11", TextSlot::Text, 0, "半切", "Half cut"},
    {"pushButton_12", TextSlot::Text, 0, "剥离模式", "Stripping mode"},
    {"pushButton_29", TextSlot::Text, 0, "撕离模式", "Tear mode"},
    {"pushButton_21", TextSlot::Text, 0, "按键设置开启", "Key set on"},
    {"pushButton_20", TextSlot::Text, 0, "按键设置关闭", "Key set off"},
    {"pushButton_19", TextSlot::Text, 0, "蜂鸣器开启", "Buzzer ON"},
    {"pushButton_16", TextSlot::Text, 0, "蜂鸣器关闭", "Buzzer OFF"},
};

inline QStringList numberItems(int count)
{
    QStringList items;
    for (int i = 0; i < count; ++i)
        items << QString::number(i);
    return items;
}

inline QStringList codePageItems()
{
    return {"0 PC437(Std.Europe)",
            "1 (Katakana)",
            "2 PC850(Multilingual)",
            "3 PC860(Portuguese)",
            "4 PC863(Canadian)",
            "5 PC865(Nordic)",
            "6 (West Europe)",
            "7 (Greek)",
            "8 (Hebrew)",
            "9 (East Europe)",
            "10 (Iran)",
            "11 (WPC1252)",
            "12 PC866(Cyrillic#2)",
            "13 PC852(Latin2)",
            "14 (PC858)",
            "15 (IranII)",
            "16 (Latvian)",
            "17 (PT151,1251)",
            "18 (PC747)",
            "19 (WPC1257)",
            "20 (Vietnam)",
            "21 PC864(Arabic)",
            "22 (PC1001)",
            "23 (Uigur)",
            "24 (Hebrew)",
            "25 WPC1255(Israel)",
            "26 (Thai)",
            "27 PC858(Multilingual)",
            "28 PC720(Arabic)",
            "29 WPC1256(Arabic)",
            "30 WPC1257(Baltic Rim)",
            "31 WPC1254(Turkish)",
            "32 PC861(Icelandic)",
            "33 PC855(Bulgarian)",
            "34 PC857(Turkey)",
            "35 PC862(Hebrew)",
            "36 PC737(Greek)",
            "37 PC851(Greek)",
            "38 PC869(Greek)",
            "39 PC928(Greek)",
            "40 PC772(Lithuanian)",
            "41 PC774(Lithuanian)",
            "42 PC874(Thai)",
            "43 WPC1252(Latin-1)",
            "44 WPC1250(Latin-2)",
            "45 WPC1251 (Cyrillic)",
            "46 PC3840(IBM-Russian)",
            "47 PC3841(Gost)",
            "48 PC3843(Polish)",
            "49 PC3844(CS2)",
            "50 PC3845(Hungarian)",
            "51 PC3846(Turkish)",
            "52 PC3847(Brazil-ABNT)",
            "53 PC3848(Brazil-ABICOMP)",
            "54 PC1001(Arabic)",
            "55 PC2001(Lithuanian-KBL)",
            "56 PC3001(Estonian-1)",
            "57 PC3002(Estonian-2)",
            "58 PC3011(Latvian-1)",
            "59 PC3012(Latvian-2)",
            "60 PC3021(Bulgarian)",
            "61 PC3041(Maltese)"};
}

inline QStringList baudRateItems()
{
    return {"4800",   "9600",   "14400",  "19200",  "38400",  "56000",
            "57600",  "115200", "128000", "230400", "256000", "460800",
            "500000", "512000", "600000", "750000", "921600"};
}

struct ComboRow {
    const char *name;
    QStringList chinese;
    QStringList english;
};

// Every combo box of the form with its items by index, as the form builder leaves them.
inline QList<ComboRow> comboRows()
{
    return {
        {"comboBox", numberItems(4), numberItems(4)},
        {"comboBox_2", numberItems(16), numberItems(16)},
        {"comboBox_9", {"热敏", "热转印"}, {"Thermal", "Thermal transfer"}},
        {"comboBox_3",
         {"标签纸", "黑标纸", "连续纸", "AUTO"},
         {"Label paper", "Black paper", "Continuous paper", "AUTO"}},
        {"comboBox_12", {"正常打印", "镜像打印"}, {"Normal print", "Mirror print"}},
        {"comboBox_20", {"旋转0度", "旋转180度"}, {"Rotate 0 degrees", "Rotate 180 degrees"}},
        {"comboBox_15", codePageItems(), codePageItems()},
        {"comboBox_23", {"ZPL", "TSPL", "AUTO"}, {"ZPL", "TSPL", "AUTO"}},
        {"comboBox_8", {"STA", "AP"}, {"STA", "AP"}},
        {"comboBox_11", {"简易配对", "配对码配对"}, {"Simple pairing", "Matching pairing"}},
        {"comboBox_14", {"DHCP OFF", "DHCP ON"}, {"DHCP OFF", "DHCP ON"}},
        {"comboBox_16", {"DHCP ON", "DHCP OFF"}, {"DHCP ON", "DHCP OFF"}},
        {"comboBox_24", {"1bit", "2bit"}, {"1bit", "2bit"}},
        {"comboBox_25", {"8bit", "7bit"}, {"8bit", "7bit"}},
        {"comboBox_27", baudRateItems(), baudRateItems()},
        {"comboBox_26", numberItems(3), numberItems(3)},
    };
}

// The form texts that have no English of their own and show as they stand in both languages.
// They are deliberately absent from the catalogue.
inline QStringList keptFormTexts()
{
    QStringList texts =
        QStringList{"MainWindow", "000.000.000.000", "...",  "ZPL",  "TSPL", "STA", "AP",
                    "DHCP OFF",   "DHCP ON",         "1bit", "2bit", "8bit", "7bit"} +
        numberItems(16) + codePageItems() + baudRateItems();
    texts.removeDuplicates();
    return texts;
}

inline const char *const kAddressFields[] = {
    "lineEdit_47", "lineEdit_34", "lineEdit_37", "lineEdit_30",
    "lineEdit_33", "lineEdit_36", "lineEdit_40", "lineEdit_35",
};

struct IconRow {
    const char *button;
    const char *resource;
};

inline const IconRow kButtonIcons[] = {
    {"pushButton_4", ":/zhongqi.png"},         {"pushButton_5", ":/guanli.png"},
    {"pushButton_2", ":/fapiao.png"},          {"pushButton_15", ":/jiekoupeizhi.png"},
    {"pushButton_22", ":/xuexi.png"},          {"pushButton_10", ":/xuexi.png"},
    {"pushButton_9", ":/xuexi.png"},           {"pushButton_7", ":/xuexi.png"},
    {"pushButton_8", ":/xuexi.png"},           {"pushButton_3", ":/a-qiedao2x.png"},
    {"pushButton_11", ":/a-qiedao2x.png"},     {"pushButton_12", ":/a-qiedao2x.png"},
    {"pushButton_29", ":/a-qiedao2x.png"},     {"pushButton_21", ":/anjianyin-copy.png"},
    {"pushButton_20", ":/anjianyin-copy.png"}, {"pushButton_19", ":/tsicon.png"},
    {"pushButton_16", ":/tsicon.png"},
};

inline const char *const kIconResources[] = {
    ":/xuexi.png",   ":/a-qiedao2x.png", ":/tsicon.png",   ":/anjianyin-copy.png",
    ":/zhongqi.png", ":/guanli.png",     ":/fapiao.png",   ":/jiekoupeizhi.png",
    ":/cunchu.png",  ":/huoqu.png",      ":/shuzihua.png", ":/wendang.png",
};

struct MessageRow {
    const char *context;
    const char *source;
    const char *english;
};

// Texts the code shows outside the form, with the context it translates them in.
inline const MessageRow kMessages[] = {
    {"QObject", "标签机设置工具", "Label machine setup tool"},
    {"QObject", "设置工具", "Setting tool"},
    {"QObject", "请先选中打印列表中的打印机",
     "Please select the printer in the printed list first"},
    {"QObject", "请确保打印机已通过usb进行连接", "Make sure the printer has been connected by usb"},
    {"QObject", "请确保打印机已通过USB进行连接", "Make sure the printer has been connected by usb"},
    {"QObject", "获取成功", "succeed"},
    {"QObject", "设置成功", "Set success"},
    {"QObject", "空闲中", "idle time"},
    {"QObject", "打印中", "In print"},
    {"QObject", "缺纸", "Paper empty"},
    {"QObject", "纸将尽", "At the end of one's paper"},
    {"QObject", "卡纸", "cardboard"},
    {"QObject", "碳带将尽", "The carbon band will run out"},
    {"QObject", "无碳带", "Carbon-free zone"},
    {"QObject", "打印头过热", "Print head overheating"},
    {"QObject", "开盖", "uncap"},
    {"QObject", "定位异常（黑标或缝隙）", "Location anomaly (black or gap)"},
    {"QObject", "切刀异常", "Cutter anomaly"},
    {"QObject", "升级中", "upgrade"},
    {"QObject", "升级异常", "Escalation anomaly"},
    {"QObject", "指令错误", "Instruction error"},
    {"QObject", "打印暂停", "Print pause"},
    {"QObject", "打印删除", "Print delete"},
    {"QObject", "网口设置", "Mesh Setting"},
    {"QObject", "此机型不支持此功能", "This model does not support this feature"},
    {"QObject", "已选打印机：%1 %2，USB路径 %3", "Selected printer: %1 %2, USB path %3"},
    {"QObject", "%1，版本 %2", "%1, version %2"},
    {"QObject", "正在下载，请等下载结束后再关闭窗口",
     "A download is in progress: close the window when it has ended"},
    {"QObject", "是否继续？", "Continue?"},
    {"QObject", "即将初始化打印机 %1。此操作无法撤销。",
     "About to initialise the printer %1. This cannot be undone."},
    {"QObject", "即将向打印机 %1 下载 %2（%3 字节）。在打印机指示灯停止闪烁之前，请勿拔下打印机。",
     "About to download %2 (%3 bytes) to the printer %1. Do not unplug the printer until its "
     "lights stop flashing."},
    {"QObject",
     "“%1”不是有效的子网掩码：须为连续的1再接连续的0（如 255.255.255.0）。未发送任何设置。",
     "\"%1\" is not a valid subnet mask: ones, then zeros (such as 255.255.255.0). Nothing was "
     "sent."},
    {"QObject", "在标准错误上输出诊断信息", "Write diagnostic lines to standard error"},
    {"MainWindow", "错误", "Error"},
    {"QObject", "无法读取文件：%1", "Cannot read the file: %1"},
    {"QObject", "无法写入文件：%1", "Cannot write the file: %1"},
    {"QObject", "文件已存在，不会覆盖它：%1",
     "The file already exists and will not be overwritten: %1"},
    {"MainWindow", "下载成功", "Download Success"},
    {"MainWindow", "等待打印机指示灯停止闪烁", "Wait for the printer lights to step flashing"},
    {"WorkerThread", "打开文件失败：%1", "Failed to open file: %1"},
    {"WorkerThread", "读取文件失败：%1", "Failed to read file: %1"},
    {"WorkerThread", "下载失败：已发送 %1 / %2 字节（%3%）",
     "Download failed after %1 of %2 bytes (%3%)"},
};
