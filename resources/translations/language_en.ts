<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>MainWindow</name>
    <message>
        <source>通讯介质</source>
        <translation>Communication medium</translation>
    </message>
    <message>
        <source>USB</source>
        <translation>USB</translation>
    </message>
    <message>
        <source>WIFI</source>
        <translation>WIFI</translation>
    </message>
    <message>
        <source>蓝牙</source>
        <translation>bluetooth</translation>
    </message>
    <message>
        <source>打印机资讯</source>
        <translation>Printer information</translation>
    </message>
    <message>
        <source>打印机版本：</source>
        <translation>Printer version:</translation>
    </message>
    <message>
        <source>打印机型号 ：</source>
        <translation>Printer model:</translation>
    </message>
    <message>
        <source>分辩率：</source>
        <translation>Resolution:</translation>
    </message>
    <message>
        <source>最大纸张宽度：</source>
        <translation>Maximum paper width:</translation>
    </message>
    <message>
        <source>获取列表</source>
        <translation>Get list</translation>
    </message>
    <message>
        <source>读取打印机资讯</source>
        <translation>Read information</translation>
    </message>
    <message>
        <source>打印机设置</source>
        <translation>Printer Setting</translation>
    </message>
    <message>
        <source>功能设置</source>
        <translation>Functional setting</translation>
    </message>
    <message>
        <source>维护升级</source>
        <translation>Maintenance upgrade</translation>
    </message>
    <message>
        <source>下载固件</source>
        <translation>Download Firmware</translation>
    </message>
    <message>
        <source>下载字库</source>
        <translation>Download font</translation>
    </message>
    <message>
        <source>打印设置</source>
        <translation>Print Setting</translation>
    </message>
    <message>
        <source>距离设置</source>
        <translation>Distance setting</translation>
    </message>
    <message>
        <source>wifi设置</source>
        <translation>Wifi Setting</translation>
    </message>
    <message>
        <source>蓝牙设置</source>
        <translation>Bluetooth Setting</translation>
    </message>
    <message>
        <source>wifi_ip设置</source>
        <translation>Wifi_ip Setting</translation>
    </message>
    <message>
        <source>网口设置</source>
        <translation>Mesh Setting</translation>
    </message>
    <message>
        <source>串口设置</source>
        <translation>Serial Setting</translation>
    </message>
    <message>
        <source>读取</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>setting</translation>
    </message>
    <message>
        <source>打印速度：</source>
        <translation>Print speed:</translation>
    </message>
    <message>
        <source>打印浓度：</source>
        <translation>Print concentration:</translation>
    </message>
    <message>
        <source>打印设置：</source>
        <translation>printer setting ：</translation>
    </message>
    <message>
        <source>热敏</source>
        <translation>Thermal</translation>
    </message>
    <message>
        <source>热转印</source>
        <translation>Thermal transfer</translation>
    </message>
    <message>
        <source>纸张类型：</source>
        <translation>Paper type:</translation>
    </message>
    <message>
        <source>标签纸</source>
        <translation>Label paper</translation>
    </message>
    <message>
        <source>黑标纸</source>
        <translation>Black paper</translation>
    </message>
    <message>
        <source>连续纸</source>
        <translation>Continuous paper</translation>
    </message>
    <message>
        <source>AUTO</source>
        <translation>AUTO</translation>
    </message>
    <message>
        <source>打印方式：</source>
        <translation>Print mode:</translation>
    </message>
    <message>
        <source>正常打印</source>
        <translation>Normal print</translation>
    </message>
    <message>
        <source>镜像打印</source>
        <translation>Mirror print</translation>
    </message>
    <message>
        <source>打印方向：</source>
        <translation>Print direction:</translation>
    </message>
    <message>
        <source>旋转0度</source>
        <translation>Rotate 0 degrees</translation>
    </message>
    <message>
        <source>旋转180度</source>
        <translation>Rotate 180 degrees</translation>
    </message>
    <message>
        <source>标签间隙(单位mm)：</source>
        <translation>Label gap (mm) :</translation>
    </message>
    <message>
        <source>黑标间隙(单位mm)：</source>
        <translation>Black label gap (mm) :</translation>
    </message>
    <message>
        <source>垂直偏移(单位mm)：</source>
        <translation>Vertical migration (mm) :</translation>
    </message>
    <message>
        <source>打印偏移(单位mm)：</source>
        <translation>Printing migration (mm) :</translation>
    </message>
    <message>
        <source>默认代码页：</source>
        <translation>Default code page:</translation>
    </message>
    <message>
        <source>指令集：</source>
        <translation>Instruction:</translation>
    </message>
    <message>
        <source>出纸口到打印头距离(单位mm)：</source>
        <translation>Distance from paper outlet to print head (mm):</translation>
    </message>
    <message>
        <source>缝到打印头距离(单位mm)：</source>
        <translation>Distance from sewing to print head (mm):</translation>
    </message>
    <message>
        <source>黑标到打印头距离(单位mm):</source>
        <translation>Distance from black mark to print head (mm):</translation>
    </message>
    <message>
        <source>打印头到撕纸位置距离(单位dot)：</source>
        <translation>Distance from the head to the tear-off position (dot):</translation>
    </message>
    <message>
        <source>注：1mm = 8dot</source>
        <translation>Note：1mm = 8dot</translation>
    </message>
    <message>
        <source>wifi模式：</source>
        <translation>wifi mode:</translation>
    </message>
    <message>
        <source>STA模式</source>
        <translation>STA mode</translation>
    </message>
    <message>
        <source>wifi名称：</source>
        <translation>wifi Name:</translation>
    </message>
    <message>
        <source>wifi密码：</source>
        <translation>wifi Password:</translation>
    </message>
    <message>
        <source>AP模式</source>
        <translation>Ap mode</translation>
    </message>
    <message>
        <source> AP_IP:</source>
        <translation> AP_IP:</translation>
    </message>
    <message>
        <source>MAC：</source>
        <translation>MAC：</translation>
    </message>
    <message>
        <source>TCP端口号：</source>
        <translation>TCP port number:</translation>
    </message>
    <message>
        <source>注：此项功能设置后需重启打印机</source>
        <translation>Note: this function is set up and the printer needs to be restarted</translation>
    </message>
    <message>
        <source>SPP连接模式：</source>
        <translation>SPP mode:</translation>
    </message>
    <message>
        <source>简易配对</source>
        <translation>Simple pairing</translation>
    </message>
    <message>
        <source>配对码配对</source>
        <translation>Matching pairing</translation>
    </message>
    <message>
        <source>SPP_PIN码：</source>
        <translation>Spp_pin code:</translation>
    </message>
    <message>
        <source>SPP名称:</source>
        <translation>SPP name:</translation>
    </message>
    <message>
        <source>BLE:</source>
        <translation>BLE:</translation>
    </message>
    <message>
        <source>MAC:</source>
        <translation>MAC:</translation>
    </message>
    <message>
        <source>IP设置</source>
        <translation>IP Setting</translation>
    </message>
    <message>
        <source>IP模式：</source>
        <translation>IP mode:</translation>
    </message>
    <message>
        <source>子网掩码：</source>
        <translation>Subnet mask:</translation>
    </message>
    <message>
        <source>DNS:</source>
        <translation>DNS:</translation>
    </message>
    <message>
        <source>IP:</source>
        <translation>IP:</translation>
    </message>
    <message>
        <source>网关地址：</source>
        <translation>Gateway address:</translation>
    </message>
    <message>
        <source>TCP端口：</source>
        <translation>TCP port number：</translation>
    </message>
    <message>
        <source>UDP端口：</source>
        <translation>UDP port number:</translation>
    </message>
    <message>
        <source>停止位：</source>
        <translation>Stop bit:</translation>
    </message>
    <message>
        <source>数据位：</source>
        <translation>Data bits:</translation>
    </message>
    <message>
        <source>波特率：</source>
        <translation>Port rate:</translation>
    </message>
    <message>
        <source>校验位：</source>
        <translation>Check bits:</translation>
    </message>
    <message>
        <source>USB打印机信息</source>
        <translation>USB printer information</translation>
    </message>
    <message>
        <source>设备SN号:</source>
        <translation>Device sn:</translation>
    </message>
    <message>
        <source>打印机设备信息</source>
        <translation>Printer equipment information</translation>
    </message>
    <message>
        <source>重启机器</source>
        <translation>Restart the machine</translation>
    </message>
    <message>
        <source>打印机初始化</source>
        <translation>Printer initialization</translation>
    </message>
    <message>
        <source>打印自检页</source>
        <translation>Print the self-test page</translation>
    </message>
    <message>
        <source>获取打印机状态</source>
        <translation>Get printer status</translation>
    </message>
    <message>
        <source>缺纸学习</source>
        <translation>Paper empty learning</translation>
    </message>
    <message>
        <source>出纸口纸边传感器自学习</source>
        <translation>paper is taught by self-study</translation>
    </message>
    <message>
        <source>DAC自学习</source>
        <translation>DAC by self-study</translation>
    </message>
    <message>
        <source>缝隙自学习</source>
        <translation>Gap self-learning</translation>
    </message>
    <message>
        <source>黑标自学习</source>
        <translation>Black label self-learning</translation>
    </message>
    <message>
        <source>切刀设置</source>
        <translation>Cutter setting</translation>
    </message>
    <message>
        <source>全切</source>
        <translation>Full cut</translation>
    </message>
    <message>
        <source>半切</source>
        <translation>Half cut</translation>
    </message>
    <message>
        <source>剥离模式</source>
        <translation>Stripping mode</translation>
    </message>
    <message>
        <source>撕离模式</source>
        <translation>Tear mode</translation>
    </message>
    <message>
        <source>按键设置开启</source>
        <translation>Key set on</translation>
    </message>
    <message>
        <source>按键设置关闭</source>
        <translation>Key set off</translation>
    </message>
    <message>
        <source>蜂鸣器开启</source>
        <translation>Buzzer ON</translation>
    </message>
    <message>
        <source>蜂鸣器关闭</source>
        <translation>Buzzer OFF</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>下载成功</source>
        <translation>Download Success</translation>
    </message>
    <message>
        <source>等待打印机指示灯停止闪烁</source>
        <translation>Wait for the printer lights to step flashing</translation>
    </message>
    <message>
        <source>配置文件 (*.json);;所有文件 (*)</source>
        <translation>Profiles (*.json);;All files (*)</translation>
    </message>
    <message>
        <source>选择配置文件</source>
        <translation>Choose a profile</translation>
    </message>
    <message>
        <source>打印机：%1
配置文件：%2（%3）</source>
        <translation>Printer: %1
Profile: %2 (%3)</translation>
    </message>
    <message>
        <source>正在写入 %1…</source>
        <translation>Writing %1…</translation>
    </message>
    <message>
        <source>配置文件</source>
        <translation>Profiles</translation>
    </message>
    <message>
        <source>保存打印机配置…</source>
        <translation>Save printer settings…</translation>
    </message>
    <message>
        <source>与配置文件比较…</source>
        <translation>Compare with a profile…</translation>
    </message>
    <message>
        <source>应用配置文件…</source>
        <translation>Apply a profile…</translation>
    </message>
    <message>
        <source>应用到所有同型号打印机…</source>
        <translation>Apply to every printer of its model…</translation>
    </message>
    <message>
        <source>保存打印机配置</source>
        <translation>Save printer settings</translation>
    </message>
    <message>
        <source>配置已保存：%1</source>
        <translation>Settings saved: %1</translation>
    </message>
    <message>
        <source>打印机与配置文件一致</source>
        <translation>The printer matches the profile</translation>
    </message>
    <message>
        <source>配置文件来自另一型号（%1），本打印机是 %2。</source>
        <translation>The profile is for another model (%1); this printer's model is %2.</translation>
    </message>
    <message>
        <source>把配置文件 %1 写入这 %2 台 %3 打印机（只写入不同的页面，每页读回核对）：
%4</source>
        <translation>Write the profile %1 to these %2 %3 printers (only the pages that differ, each read back and checked):
%4</translation>
    </message>
    <message>
        <source>打印机与配置文件的差异</source>
        <translation>Differences between printer and profile</translation>
    </message>
    <message>
        <source>页面</source>
        <translation>Page</translation>
    </message>
    <message>
        <source>键</source>
        <translation>Key</translation>
    </message>
    <message>
        <source>只读，不计为差异</source>
        <translation>Read-only, not counted as a difference</translation>
    </message>
    <message>
        <source>写入不同的页面</source>
        <translation>Write the differing pages</translation>
    </message>
    <message>
        <source>打印机中的值</source>
        <translation>On the printer</translation>
    </message>
    <message>
        <source>文件中的值</source>
        <translation>In the file</translation>
    </message>
    <message>
        <source>历史记录…</source>
        <translation>History…</translation>
    </message>
    <message>
        <source>历史记录</source>
        <translation>History</translation>
    </message>
    <message>
        <source>编号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>时间（UTC）</source>
        <translation>Time (UTC)</translation>
    </message>
    <message>
        <source>操作</source>
        <translation>Action</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Outcome</translation>
    </message>
    <message>
        <source>改动的设置项（之前 → 之后）</source>
        <translation>Changed keys (before → after)</translation>
    </message>
    <message>
        <source>撤销所选操作…</source>
        <translation>Undo the selected action…</translation>
    </message>
    <message>
        <source>%1 %2：%3 → %4</source>
        <translation>%1 %2: %3 → %4</translation>
    </message>
    <message>
        <source>（未保存）</source>
        <translation> (not kept)</translation>
    </message>
    <message>
        <source>打印机：%1
序列号：%2</source>
        <translation>Printer: %1
Serial number: %2</translation>
    </message>
    <message>
        <source>把操作 %1（%2 %3）之前的值写回打印机 %4？</source>
        <translation>Write the values from before action %1 (%2 %3) back to the printer %4?</translation>
    </message>
    <message>
        <source>%1（跳过：%2）</source>
        <translation>%1 (skipped: %2)</translation>
    </message>
    <message>
        <source>没有可以使用的 %1 打印机：
%2</source>
        <translation>No %1 printer can be used:
%2</translation>
    </message>
    <message>
        <source>跳过这 %1 台：
%2</source>
        <translation>Skipped, %1 printers:
%2</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>正在把配置文件写入 %1 台 %2 打印机</source>
        <translation>Writing the profile to %1 %2 printers</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>标签机设置工具</source>
        <translation>Label machine setup tool</translation>
    </message>
    <message>
        <source>设置工具</source>
        <translation>Setting tool</translation>
    </message>
    <message>
        <source>请先选中打印列表中的打印机</source>
        <translation>Please select the printer in the printed list first</translation>
    </message>
    <message>
        <source>请确保打印机已通过usb进行连接</source>
        <translation>Make sure the printer has been connected by usb</translation>
    </message>
    <message>
        <source>请确保打印机已通过USB进行连接</source>
        <translation>Make sure the printer has been connected by usb</translation>
    </message>
    <message>
        <source>获取成功</source>
        <translation>succeed</translation>
    </message>
    <message>
        <source>设置成功</source>
        <translation>Set success</translation>
    </message>
    <message>
        <source>空闲中</source>
        <translation>idle time</translation>
    </message>
    <message>
        <source>打印中</source>
        <translation>In print</translation>
    </message>
    <message>
        <source>缺纸</source>
        <translation>Paper empty</translation>
    </message>
    <message>
        <source>纸将尽</source>
        <translation>At the end of one's paper</translation>
    </message>
    <message>
        <source>卡纸</source>
        <translation>cardboard</translation>
    </message>
    <message>
        <source>碳带将尽</source>
        <translation>The carbon band will run out</translation>
    </message>
    <message>
        <source>无碳带</source>
        <translation>Carbon-free zone</translation>
    </message>
    <message>
        <source>打印头过热</source>
        <translation>Print head overheating</translation>
    </message>
    <message>
        <source>开盖</source>
        <translation>uncap</translation>
    </message>
    <message>
        <source>定位异常（黑标或缝隙）</source>
        <translation>Location anomaly (black or gap)</translation>
    </message>
    <message>
        <source>切刀异常</source>
        <translation>Cutter anomaly</translation>
    </message>
    <message>
        <source>升级中</source>
        <translation>upgrade</translation>
    </message>
    <message>
        <source>升级异常</source>
        <translation>Escalation anomaly</translation>
    </message>
    <message>
        <source>指令错误</source>
        <translation>Instruction error</translation>
    </message>
    <message>
        <source>打印暂停</source>
        <translation>Print pause</translation>
    </message>
    <message>
        <source>打印删除</source>
        <translation>Print delete</translation>
    </message>
    <message>
        <source>网口设置</source>
        <translation>Mesh Setting</translation>
    </message>
    <message>
        <source>此机型不支持此功能</source>
        <translation>This model does not support this feature</translation>
    </message>
    <message>
        <source>数据过长，无法发送给打印机，未完成设置</source>
        <translation>The data is too long to send to the printer; the setting was not made</translation>
    </message>
    <message>
        <source>“%1”太长：最多 %2 个字节。未发送任何设置。</source>
        <translation>"%1" is too long: at most %2 bytes. Nothing was sent.</translation>
    </message>
    <message>
        <source>“%1”须为 %2 到 %3 之间的整数。未发送任何设置。</source>
        <translation>"%1" must be a whole number from %2 to %3. Nothing was sent.</translation>
    </message>
    <message>
        <source>“%1”不能包含空字符（NUL）。未发送任何设置。</source>
        <translation>"%1" must not contain a NUL character. Nothing was sent.</translation>
    </message>
    <message>
        <source>“%1”须为完整的IP地址：四组 0 到 255 的数字。未发送任何设置。</source>
        <translation>"%1" must be a complete IP address: four numbers from 0 to 255. Nothing was sent.</translation>
    </message>
    <message>
        <source>AP模式需要填写AP_IP地址。未发送任何设置。</source>
        <translation>AP mode needs the access point's IP address (AP_IP). Nothing was sent.</translation>
    </message>
    <message>
        <source>“%1”只能读取，不能修改</source>
        <translation>"%1" can only be read, not changed</translation>
    </message>
    <message>
        <source>“%1”的值无效：%2（可选：%3）</source>
        <translation>Invalid value for "%1": %2 (one of: %3)</translation>
    </message>
    <message>
        <source>先检查整个文件，再把其中的页面写入打印机</source>
        <translation>Check the whole file, then write its pages to the printer</translation>
    </message>
    <message>
        <source>列出连接的打印机：端口、品牌、型号、厂商和产品ID、USB路径和状态</source>
        <translation>List the attached printers: port, brand, product, vendor and product ID, USB path and state</translation>
    </message>
    <message>
        <source>参数“%1”不是 key=value 形式</source>
        <translation>"%1" is not of the form key=value</translation>
    </message>
    <message>
        <source>执行一个维护操作</source>
        <translation>Run one maintenance action</translation>
    </message>
    <message>
        <source>把本机型的所有设置页面保存到一个JSON文件</source>
        <translation>Save every settings page of the printer's model to one JSON file</translation>
    </message>
    <message>
        <source>文件不是有效的打印机配置：%1</source>
        <translation>The file is not a valid printer profile: %1</translation>
    </message>
    <message>
        <source>无法写入文件：%1</source>
        <translation>Cannot write the file: %1</translation>
    </message>
    <message>
        <source>无法读取文件：%1</source>
        <translation>Cannot read the file: %1</translation>
    </message>
    <message>
        <source>未知的命令：%1</source>
        <translation>Unknown command: %1</translation>
    </message>
    <message>
        <source>未知的维护操作：%1</source>
        <translation>Unknown maintenance action: %1</translation>
    </message>
    <message>
        <source>此机型不提供页面“%1”</source>
        <translation>This model does not offer the page "%1"</translation>
    </message>
    <message>
        <source>没有找到打印机</source>
        <translation>No printer found</translation>
    </message>
    <message>
        <source>端口 %1 上没有打印机</source>
        <translation>No printer on port %1</translation>
    </message>
    <message>
        <source>缺少命令</source>
        <translation>Missing command</translation>
    </message>
    <message>
        <source>读取一个设置页面，每行一个 key=value</source>
        <translation>Read one settings page as key=value lines</translation>
    </message>
    <message>
        <source>读取页面，修改给出的设置项，再写入</source>
        <translation>Read the page, change the given settings, write it back</translation>
    </message>
    <message>
        <source>连接了多台打印机，请用 --port 指定一台</source>
        <translation>Several printers are attached: choose one with --port</translation>
    </message>
    <message>
        <source>配置来自另一型号（%1），本打印机是 %2；用 --force 仍然写入</source>
        <translation>The profile is from another model (%1), this printer is %2; use --force to write it anyway</translation>
    </message>
    <message>
        <source>读取并解码打印机状态</source>
        <translation>Read and decode the printer's status</translation>
    </message>
    <message>
        <source>读取打印机的资讯（型号、版本等）</source>
        <translation>Read the printer's information (model, version, ...)</translation>
    </message>
    <message>
        <source>正在下载，请等下载结束后再关闭窗口</source>
        <translation>A download is in progress: close the window when it has ended</translation>
    </message>
    <message>
        <source>此机型不提供字库下载</source>
        <translation>This model does not offer the font download</translation>
    </message>
    <message>
        <source>文件已存在，不会覆盖它：%1</source>
        <translation>The file already exists and will not be overwritten: %1</translation>
    </message>
    <message>
        <source>解密固件或字库文件并下载到打印机</source>
        <translation>Decrypt a firmware or font file and download it to the printer</translation>
    </message>
    <message>
        <source>在标准错误上输出诊断信息</source>
        <translation>Write diagnostic lines to standard error</translation>
    </message>
    <message>
        <source>即将初始化打印机 %1。此操作无法撤销。</source>
        <translation>About to initialise the printer %1. This cannot be undone.</translation>
    </message>
    <message>
        <source>即将向打印机 %1 下载 %2（%3 字节）。在打印机指示灯停止闪烁之前，请勿拔下打印机。</source>
        <translation>About to download %2 (%3 bytes) to the printer %1. Do not unplug the printer until its lights stop flashing.</translation>
    </message>
    <message>
        <source>是否继续？</source>
        <translation>Continue?</translation>
    </message>
    <message>
        <source>“%1”不是有效的子网掩码：须为连续的1再接连续的0（如 255.255.255.0）。未发送任何设置。</source>
        <translation>"%1" is not a valid subnet mask: ones, then zeros (such as 255.255.255.0). Nothing was sent.</translation>
    </message>
    <message>
        <source>文件已存在：%1。用 --force 替换它</source>
        <translation>The file already exists: %1. Use --force to replace it</translation>
    </message>
    <message>
        <source>不是普通文件：%1</source>
        <translation>Not a regular file: %1</translation>
    </message>
    <message>
        <source>backup：不保存Wi-Fi密码和蓝牙PIN码</source>
        <translation>backup: leave out the Wi-Fi passwords and the Bluetooth PIN</translation>
    </message>
    <message>
        <source>以JSON输出</source>
        <translation>Print as JSON</translation>
    </message>
    <message>
        <source>只打印将要发送的帧</source>
        <translation>Only print the frames that would be sent</translation>
    </message>
    <message>
        <source>未知的页面：%1（可选：%2）</source>
        <translation>Unknown page: %1 (one of: %2)</translation>
    </message>
    <message>
        <source>页面“%1”没有设置项“%2”（可选：%3）</source>
        <translation>The page "%1" has no setting "%2" (one of: %3)</translation>
    </message>
    <message>
        <source>命令：</source>
        <translation>Commands:</translation>
    </message>
    <message>
        <source>操作：</source>
        <translation>Actions:</translation>
    </message>
    <message>
        <source>下列命令之一</source>
        <translation>One of the commands below</translation>
    </message>
    <message>
        <source>“label-printer-cli 命令 --help”说明一个命令及其选项。</source>
        <translation>"label-printer-cli COMMAND --help" describes a command and its options.</translation>
    </message>
    <message>
        <source>%1 到 %2 的整数</source>
        <translation>a whole number from %1 to %2</translation>
    </message>
    <message>
        <source>%1 到 %2 的整数（%3）</source>
        <translation>a whole number from %1 to %2 (%3)</translation>
    </message>
    <message>
        <source>文字</source>
        <translation>text</translation>
    </message>
    <message>
        <source>IP地址，如 192.168.1.100</source>
        <translation>an IP address such as 192.168.1.100</translation>
    </message>
    <message>
        <source>只读</source>
        <translation>read only</translation>
    </message>
    <message>
        <source>（仅部分机型）</source>
        <translation> (some models only)</translation>
    </message>
    <message>
        <source>（其他机型：%1）</source>
        <translation> (other models: %1)</translation>
    </message>
    <message>
        <source>页面、设置项及其可选值：</source>
        <translation>Pages, their settings and the values each takes:</translation>
    </message>
    <message>
        <source>例如：</source>
        <translation>Examples:</translation>
    </message>
    <message>
        <source>已选打印机：%1 %2，USB路径 %3</source>
        <translation>Selected printer: %1 %2, USB path %3</translation>
    </message>
    <message>
        <source>%1，版本 %2</source>
        <translation>%1, version %2</translation>
    </message>
    <message>
        <source>请先从所选打印机读取此页面，再写入。</source>
        <translation>Read this page from the selected printer first, then write it.</translation>
    </message>
    <message>
        <source>USB 总线 %1，端口路径 %2</source>
        <translation>USB bus %1, port path %2</translation>
    </message>
    <message>
        <source>端口须为端口号或USB路径（如 4、2.4、1-2.4）：%1</source>
        <translation>The port must be a port number or a USB path (such as 4, 2.4, 1-2.4): %1</translation>
    </message>
    <message>
        <source>端口 %1 对应多台打印机，请用USB路径指定一台：</source>
        <translation>Several printers are on port %1; name one by its USB path:</translation>
    </message>
    <message>
        <source>此机型（%1）不提供“%2”</source>
        <translation>This model (%1) does not offer "%2"</translation>
    </message>
    <message>
        <source>设置项“%1”给出了两次。未发送任何设置。</source>
        <translation>The key "%1" is given twice. Nothing was sent.</translation>
    </message>
    <message>
        <source>“%1”在这些设置下不会发送给打印机。未发送任何设置。</source>
        <translation>"%1" would not be sent to the printer with these settings. Nothing was sent.</translation>
    </message>
    <message>
        <source>不列出修改了的设置项</source>
        <translation>Do not list the changed keys</translation>
    </message>
    <message>
        <source>打印机的USB端口号或USB路径（如 4、2.4、1-2.4）</source>
        <translation>The printer's USB port number or USB path (such as 4, 2.4, 1-2.4)</translation>
    </message>
    <message>
        <source>没有打开权限</source>
        <translation>no permission to open it</translation>
    </message>
    <message>
        <source>正被其他程序使用</source>
        <translation>in use by another program</translation>
    </message>
    <message>
        <source>已安装的udev规则只把打印机交给在本机座席登录的用户：请拔下打印机再插上；若仍然没有权限，请在本机的座席上登录（而不是通过ssh等远程登录）。</source>
        <translation>The installed udev rule gives the printers only to the user logged in at this computer's seat: unplug the printer and plug it in again; if permission is still missing, log in at the seat (not remotely, for example over ssh).</translation>
    </message>
    <message>
        <source>udev规则没有安装：请安装 label-printer-setup 软件包，再拔下打印机重新插上。</source>
        <translation>The udev rule is not installed: install the label-printer-setup package, then unplug the printer and plug it in again.</translation>
    </message>
    <message>
        <source>udev规则没有安装。请以root身份执行：</source>
        <translation>The udev rule is not installed. Run as root:</translation>
    </message>
    <message>
        <source>无法使用打印机 %1（%2 %3）：%4</source>
        <translation>Cannot use the printer %1 (%2 %3): %4</translation>
    </message>
    <message>
        <source>此系统不提供USB热插拔事件</source>
        <translation>This system offers no USB hot-plug events</translation>
    </message>
    <message>
        <source>列出后继续报告每次插入和拔出，直到被中断</source>
        <translation>After the list, report every plug and unplug until interrupted</translation>
    </message>
    <message>
        <source>所选的打印机已断开：%1</source>
        <translation>The selected printer was disconnected: %1</translation>
    </message>
    <message>
        <source>没有权限打开这些打印机：</source>
        <translation>No permission to open these printers:</translation>
    </message>
    <message>
        <source>%1 %2：写入 %3，打印机保存的是 %4</source>
        <translation>%1 %2: wrote %3, the printer kept %4</translation>
    </message>
    <message>
        <source>没有型号为 %1 的打印机</source>
        <translation>No printer of the model %1</translation>
    </message>
    <message>
        <source>已写入并核对</source>
        <translation>written and verified</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>failed</translation>
    </message>
    <message>
        <source>已写入 %1 个页面</source>
        <translation>%1 pages written</translation>
    </message>
    <message>
        <source>只读（不计为差异）：</source>
        <translation>Read-only (not counted as differences):</translation>
    </message>
    <message>
        <source>比较打印机与配置文件，或两个配置文件；有差异时退出状态为 1</source>
        <translation>Compare the printer with a profile, or two profiles; exit status 1 when they differ</translation>
    </message>
    <message>
        <source>写入后不读回核对</source>
        <translation>Do not read back and verify after writing</translation>
    </message>
    <message>
        <source>等待插入型号为 %1 的打印机；已连接的打印机不会改动</source>
        <translation>Waiting for printers of the model %1 to be plugged in; the printers attached now are left as they are</translation>
    </message>
    <message>
        <source>--count 须为正整数：%1</source>
        <translation>--count takes a positive whole number: %1</translation>
    </message>
    <message>
        <source>另一型号，未改动</source>
        <translation>another model, left alone</translation>
    </message>
    <message>
        <source>只处理启动后插入的打印机，已连接的打印机不会改动。每台该型号的打印机输出一行：USB路径、序列号、写入的页面数和核对结果，与 restore --all 相同；另一型号的打印机输出一行（USB路径和型号）并保持不变，不计入 --count。写入中被拔出或无法使用的打印机记为失败，其他打印机照常处理。</source>
        <translation>Only printers plugged in after the start are written; the printers attached then are left as they are. Each printer of the file's model gets one line, as with restore --all: USB path, serial number, pages written and the verification's outcome. A printer of another model gets one line (USB path and model) and is left alone; it does not count towards --count. A printer pulled out while it is written, or one that cannot be used, is reported as failed, and the others are written as usual.</translation>
    </message>
    <message>
        <source>等待打印机插入，把配置写入每台新插入的该型号打印机并核对</source>
        <translation>Wait for printers to be plugged in, and write and verify the profile on each new printer of its model</translation>
    </message>
    <message>
        <source>处理完 N 台该型号的打印机（包括失败的）后结束</source>
        <translation>End once N printers of the file's model were handled (failed ones included)</translation>
    </message>
    <message>
        <source>此机型不提供序列号</source>
        <translation>this model does not offer its serial number</translation>
    </message>
    <message>
        <source>无法打开</source>
        <translation>cannot be opened</translation>
    </message>
    <message>
        <source>没有应答</source>
        <translation>not answering</translation>
    </message>
    <message>
        <source>端口</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>品牌</source>
        <translation>Brand</translation>
    </message>
    <message>
        <source>型号</source>
        <translation>Model</translation>
    </message>
    <message>
        <source>厂商:产品ID</source>
        <translation>Vendor:Product</translation>
    </message>
    <message>
        <source>USB路径</source>
        <translation>USB path</translation>
    </message>
    <message>
        <source>序列号</source>
        <translation>Serial number</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>State</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>事件</source>
        <translation>Event</translation>
    </message>
    <message>
        <source>没有序列号为 %1 的打印机。连接的打印机：</source>
        <translation>No printer has the serial number %1. Attached printers:</translation>
    </message>
    <message>
        <source>序列号 %1 对应多台打印机，请用 --port 指定一台：</source>
        <translation>Several printers have the serial number %1; choose one with --port:</translation>
    </message>
    <message>
        <source>--port 和 --serial 只能给出一个</source>
        <translation>Give either --port or --serial, not both</translation>
    </message>
    <message>
        <source>打印机的序列号：换了USB端口也能找到同一台打印机</source>
        <translation>The printer&apos;s serial number: finds the same printer after it moved to another USB port</translation>
    </message>
    <message>
        <source>%1（%2）</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>0 无校验，1 奇校验，2 偶校验</source>
        <translation>0 none, 1 odd, 2 even</translation>
    </message>
    <message>
        <source>“%1”不能是 0.0.0.0 或 255.255.255.255：打印机需要自己的地址。未发送任何设置。</source>
        <translation>"%1" cannot be 0.0.0.0 or 255.255.255.255: the printer needs an address of its own. Nothing was sent.</translation>
    </message>
    <message>
        <source>“%1”只在 %2=%3 时发送给打印机。未发送任何设置。</source>
        <translation>"%1" is sent to the printer only with %2=%3. Nothing was sent.</translation>
    </message>
    <message>
        <source>“%1”含有不是UTF-8文字的字节。未发送任何设置。</source>
        <translation>"%1" holds bytes that are not UTF-8 text. Nothing was sent.</translation>
    </message>
    <message>
        <source>“%1”的每组数字不能以0开头（如 192.168.1.10，而不是 192.168.001.010）。未发送任何设置。</source>
        <translation>"%1": no group of the address may start with 0 (192.168.1.10, not 192.168.001.010). Nothing was sent.</translation>
    </message>
    <message>
        <source>“%1”须为 %2 到 %3 位数字。未发送任何设置。</source>
        <translation>"%1" must be %2 to %3 digits. Nothing was sent.</translation>
    </message>
    <message>
        <source>打印机对查询 %1 的回复不完整（只收到 %2 个字节）。</source>
        <translation>The printer's reply to query %1 was cut short (only %2 bytes arrived). </translation>
    </message>
    <message>
        <source>文件不是有效的打印机配置：format 为 %1，应为 %2</source>
        <translation>The file is not a valid printer profile: its format is %1, this program reads format %2</translation>
    </message>
    <message>
        <source>无法写入文件：%1（%2）</source>
        <translation>Cannot write the file %1: %2</translation>
    </message>
    <message>
        <source>写入</source>
        <translation>write</translation>
    </message>
    <message>
        <source>恢复配置</source>
        <translation>restore</translation>
    </message>
    <message>
        <source>批量配置</source>
        <translation>provision</translation>
    </message>
    <message>
        <source>下载</source>
        <translation>download</translation>
    </message>
    <message>
        <source>维护操作</source>
        <translation>maintenance</translation>
    </message>
    <message>
        <source>初始化</source>
        <translation>initialisation</translation>
    </message>
    <message>
        <source>撤销</source>
        <translation>undo</translation>
    </message>
    <message>
        <source>不是普通文件</source>
        <translation>not a regular file</translation>
    </message>
    <message>
        <source>没有Qt的SQLite驱动</source>
        <translation>Qt's SQLite driver is missing</translation>
    </message>
    <message>
        <source>由较新版本的本工具创建（架构版本 %1）</source>
        <translation>made by a newer version of this tool (schema version %1)</translation>
    </message>
    <message>
        <source>历史记录已关闭：%1：%2</source>
        <translation>The history is off: %1: %2</translation>
    </message>
    <message>
        <source>未改变</source>
        <translation>unchanged</translation>
    </message>
    <message>
        <source>将写入（未发送）</source>
        <translation>would write (nothing sent)</translation>
    </message>
    <message>
        <source>已写入，未核对</source>
        <translation>written, not verified</translation>
    </message>
    <message>
        <source>已发送</source>
        <translation>sent</translation>
    </message>
    <message>
        <source>%1 页面的“%2”无效</source>
        <translation>%1: the value of "%2" is not valid</translation>
    </message>
    <message>
        <source>操作 %1 没有记下打印机的序列号，无法确定它属于哪台打印机</source>
        <translation>Action %1 holds no serial number: which printer it belongs to is not known</translation>
    </message>
    <message>
        <source>操作 %1 属于序列号为 %2 的打印机，所选打印机的序列号是 %3。未发送任何设置。</source>
        <translation>Action %1 belongs to the printer with serial number %2; the selected printer has serial number %3. No setting was sent.</translation>
    </message>
    <message>
        <source>（未知）</source>
        <translation>(unknown)</translation>
    </message>
    <message>
        <source>操作 %1 没有改动任何设置项，没有可撤销的内容</source>
        <translation>Action %1 changed no setting: there is nothing to undo</translation>
    </message>
    <message>
        <source>未核对</source>
        <translation>not verified</translation>
    </message>
    <message>
        <source>已保存</source>
        <translation>kept</translation>
    </message>
    <message>
        <source>未保存</source>
        <translation>not kept</translation>
    </message>
    <message>
        <source>无法读取历史记录 %1：%2</source>
        <translation>Cannot read the history %1: %2</translation>
    </message>
    <message>
        <source>无法读取打印机的序列号</source>
        <translation>Cannot read the printer's serial number</translation>
    </message>
    <message>
        <source>--serial 和 --port 只能给出一个</source>
        <translation>Give --serial or --port, not both</translation>
    </message>
    <message>
        <source>--serial 须为序列号</source>
        <translation>--serial needs a serial number</translation>
    </message>
    <message>
        <source>--since 须为日期或时间（如 2026-05-01、2026-05-01T08:00Z）：%1</source>
        <translation>--since needs a date or a time (such as 2026-05-01 or 2026-05-01T08:00Z): %1</translation>
    </message>
    <message>
        <source>历史记录中没有操作 %1</source>
        <translation>The history holds no action %1</translation>
    </message>
    <message>
        <source>%1：历史中没有它的值，打印机保留自己的</source>
        <translation>%1: the history holds no value of it; the printer keeps its own</translation>
    </message>
    <message>
        <source>列出历史记录中的操作（最新的在前）及其改动的设置项</source>
        <translation>List the actions of the history (newest first) with the keys they changed</translation>
    </message>
    <message>
        <source>把操作 N 之前的值写回同一台打印机并核对</source>
        <translation>Write the values from before action N back to the same printer and verify them</translation>
    </message>
    <message>
        <source>只列出此日期（UTC）以后的操作</source>
        <translation>List only the actions since this date (UTC)</translation>
    </message>
    <message>
        <source>不把这次操作记入历史记录</source>
        <translation>Do not record this command in the history</translation>
    </message>
    <message>
        <source>在历史记录中保存密码和PIN码的值</source>
        <translation>Record the values of passwords and the PIN in the history</translation>
    </message>
    <message>
        <source>写入的值未被保存</source>
        <translation>not kept</translation>
    </message>
    <message>
        <source>跳过</source>
        <translation>skipped</translation>
    </message>
    <message>
        <source>打印机没有应答</source>
        <translation>not answering</translation>
    </message>
    <message>
        <source>另一型号</source>
        <translation>other model</translation>
    </message>
    <message>
        <source>此机型不提供</source>
        <translation>not offered by this model</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>将写入 %1 个页面</source>
        <translation>would write %1 pages</translation>
    </message>
    <message>
        <source>%1 台%2</source>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>%1 台打印机：%2</source>
        <translation>%1 printers: %2</translation>
    </message>
    <message>
        <source>，</source>
        <translation>, </translation>
    </message>
    <message>
        <source>(不同)</source>
        <translation>(differs)</translation>
    </message>
    <message>
        <source>--port 与 --all 不能同时使用</source>
        <translation>--port cannot be used with --all</translation>
    </message>
    <message>
        <source>没有处理任何打印机</source>
        <translation>no printer handled</translation>
    </message>
    <message>
        <source>restore：也写入另一型号的配置；diff：也比较另一型号的配置；backup：替换已有的文件；download：打印机报告状态（如缺纸、开盖）时仍然下载</source>
        <translation>restore: also write a profile of another model; diff: also compare a profile of another model; backup: replace an existing file; download: download even when the printer reports a condition (paper out, cover open, ...)</translation>
    </message>
    <message>
        <source>选项 --%1 只能给出一次</source>
        <translation>The option --%1 may be given only once</translation>
    </message>
    <message>
        <source>多余的参数：%1</source>
        <translation>Unexpected arguments: %1</translation>
    </message>
    <message>
        <source>diff：显示Wi-Fi密码和蓝牙PIN码的值</source>
        <translation>diff: show the values of the Wi-Fi passwords and the Bluetooth PIN</translation>
    </message>
    <message>
        <source>不询问，直接执行无法撤销的操作（initialise、restart）</source>
        <translation>Do not ask before what cannot be undone (initialise, restart)</translation>
    </message>
    <message>
        <source>两个配置文件的型号不同（%1 和 %2）；用 --force 仍然比较</source>
        <translation>The two profiles are of different models (%1 and %2); use --force to compare them anyway</translation>
    </message>
    <message>
        <source>配置来自另一型号（%1），本打印机是 %2；用 --force 仍然比较</source>
        <translation>The profile is from another model (%1), this printer is %2; use --force to compare them anyway</translation>
    </message>
    <message>
        <source>即将重启打印机 %1。</source>
        <translation>About to restart the printer %1.</translation>
    </message>
    <message>
        <source>是否继续？[y/N] </source>
        <translation>Continue? [y/N] </translation>
    </message>
    <message>
        <source>已取消，未发送任何命令</source>
        <translation>Cancelled; nothing was sent</translation>
    </message>
    <message>
        <source>“%1”无法撤销，须经确认：请在终端上运行，或加上 --yes</source>
        <translation>“%1” cannot be undone and must be confirmed: run it on a terminal, or add --yes</translation>
    </message>
    <message>
        <source>退出状态：处理过的打印机全部未改变或写入并核对成功时为 0，否则为第一个失败的状态；被中断时若一台也没处理或未达到 --count，为 130。最后在标准错误上输出一行汇总。</source>
        <translation>Exit status: 0 when every printer handled was unchanged or written and verified, otherwise the status of the first failure; 130 when interrupted before any printer was handled or before --count was reached. A summary line ends the output on standard error.</translation>
    </message>
    <message>
        <source>连续的子网掩码，如 255.255.255.0</source>
        <translation>a contiguous netmask such as 255.255.255.0</translation>
    </message>
    <message>
        <source>（无）</source>
        <translation>(none)</translation>
    </message>
    <message>
        <source>4 到 16 位数字：蓝牙配对的PIN码最多 16 个字节，配对的设备只提供数字键盘，少于 4 位起不到保护作用</source>
        <translation>4 to 16 digits: a Bluetooth pairing PIN is at most 16 bytes, the devices that pair offer a keypad of digits, and fewer than 4 digits protect nothing</translation>
    </message>
    <message>
        <source>文字，最多 %1 个字节</source>
        <translation>text, at most %1 bytes</translation>
    </message>
    <message>
        <source>只读取并比较，不发送任何设置：无需改变时退出状态为 0，需要改变时为 8</source>
        <translation>Only read and compare, send no setting: exit status 0 when nothing would change, 8 when something would</translation>
    </message>
    <message>
        <source>--check 与 --dry-run 不能同时使用</source>
        <translation>--check and --dry-run cannot be used together</translation>
    </message>
    <message>
        <source>--serial 与 --all 不能同时使用</source>
        <translation>--serial and --all cannot be used together</translation>
    </message>
    <message>
        <source>将安装的版本：%1</source>
        <translation>Version it installs: %1</translation>
    </message>
    <message>
        <source>文件是空的：%1</source>
        <translation>The file is empty: %1</translation>
    </message>
    <message>
        <source>文件太大：%1（%2 字节，最多 %3 字节）</source>
        <translation>The file is too large: %1 (%2 bytes, at most %3 bytes)</translation>
    </message>
    <message>
        <source>清单无效：%1（%2）</source>
        <translation>Not a valid manifest: %1 (%2)</translation>
    </message>
    <message>
        <source>不是JSON对象</source>
        <translation>not a JSON object</translation>
    </message>
    <message>
        <source>无法读取清单：%1</source>
        <translation>Cannot read the manifest: %1</translation>
    </message>
    <message>
        <source>文件的SHA-256与清单不符：文件 %1，清单 %2</source>
        <translation>The file's SHA-256 does not match the manifest: file %1, manifest %2</translation>
    </message>
    <message>
        <source>文件不适用于此打印机：打印机型号 %1，清单中的型号 %2</source>
        <translation>The file is not made for this printer: the printer is a %1, the manifest names %2</translation>
    </message>
    <message>
        <source>打印机 %1 已是版本 %2</source>
        <translation>The printer %1 already runs version %2</translation>
    </message>
    <message>
        <source>打印机 %1 报告：%2</source>
        <translation>The printer %1 reports: %2</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>已核对</source>
        <translation>verified</translation>
    </message>
    <message>
        <source>已恢复</source>
        <translation>restored</translation>
    </message>
    <message>
        <source>已跳过</source>
        <translation>skipped</translation>
    </message>
    <message>
        <source>已拒绝</source>
        <translation>refused</translation>
    </message>
    <message>
        <source>忙碌</source>
        <translation>busy</translation>
    </message>
    <message>
        <source>设置已变</source>
        <translation>changed</translation>
    </message>
    <message>
        <source>版本不符</source>
        <translation>mismatched</translation>
    </message>
    <message>
        <source>未回来</source>
        <translation>missing</translation>
    </message>
    <message>
        <source>未保持</source>
        <translation>unkept</translation>
    </message>
    <message>
        <source>  %1 %2：下载前 %3，现在 %4</source>
        <translation>  %1 %2: %3 before, %4 now</translation>
    </message>
    <message>
        <source>：</source>
        <translation>: </translation>
    </message>
    <message>
        <source>打印机 %1 已回来，版本 %2，设置与下载前相同</source>
        <translation>The printer %1 is back, version %2, with the same settings as before the download</translation>
    </message>
    <message>
        <source>打印机 %1 已回来，版本 %2，与清单相符，设置与下载前相同</source>
        <translation>The printer %1 is back, version %2 as the manifest says, with the same settings as before the download</translation>
    </message>
    <message>
        <source>打印机 %1 已回来，版本 %2，但有 %3 项设置与下载前不同：</source>
        <translation>The printer %1 is back, version %2, but %3 settings differ from those before the download:</translation>
    </message>
    <message>
        <source>打印机 %1 已回来，但报告的版本是 %2，清单中的是 %3</source>
        <translation>The printer %1 is back, but it reports version %2; the manifest names %3</translation>
    </message>
    <message>
        <source>另有 %1 项设置与下载前不同：</source>
        <translation>Also, %1 settings differ from those before the download:</translation>
    </message>
    <message>
        <source>打印机 %1 在 %2 秒内没有再次应答</source>
        <translation>The printer %1 did not answer again within %2 seconds</translation>
    </message>
    <message>
        <source>打印机 %1 已回来，版本 %2；有变化的设置已按下载前的写回 %3 个页面并核对</source>
        <translation>The printer %1 is back, version %2; the changed settings were written back as before the download (%3 pages) and verified</translation>
    </message>
    <message>
        <source>写回下载前的设置后，打印机保存的值不同：</source>
        <translation>The settings from before the download were written back, but the printer kept other values:</translation>
    </message>
    <message>
        <source>写回下载前的设置失败：%1</source>
        <translation>Writing back the settings from before the download failed: %1</translation>
    </message>
    <message>
        <source>下载前的设置保存在 %1</source>
        <translation>The settings from before the download are saved in %1</translation>
    </message>
    <message>
        <source>无法保存下载前的设置：%1</source>
        <translation>Cannot save the settings before the download: %1</translation>
    </message>
    <message>
        <source>先检查文件（不可读、为空或大于 %1 字节的文件不会下载）和清单（型号、SHA-256、版本），再检查打印机的状态，并把它的所有设置保存到 %2。下载后等待打印机在同一USB路径上重新应答，读取版本并与保存的设置比较。</source>
        <translation>Checks the file first (one that cannot be read, is empty or is larger than %1 bytes is not downloaded) and its manifest (models, SHA-256, version), then the printer's status, and saves all its settings in %2. After the download it waits for the printer to answer again at the same USB path, reads its version and compares its settings with those saved.</translation>
    </message>
    <message>
        <source>结果和退出状态：%1</source>
        <translation>Outcomes and exit statuses: %1</translation>
    </message>
    <message>
        <source>download：文件的清单（默认为文件名加 .manifest.json）</source>
        <translation>download: the file's manifest (by default the file's name with .manifest.json appended)</translation>
    </message>
    <message>
        <source>download：打印机已是清单中的版本时仍然下载</source>
        <translation>download: download even when the printer already runs the manifest's version</translation>
    </message>
    <message>
        <source>download：等待打印机重新应答的最长秒数（默认 60）</source>
        <translation>download: how many seconds to wait at most for the printer to answer again (default 60)</translation>
    </message>
    <message>
        <source>download：打印机回来后设置有变化时，按下载前的设置写回并核对</source>
        <translation>download: when the printer comes back with changed settings, write back those from before the download and verify them</translation>
    </message>
    <message>
        <source>--wait 须为秒数（0 到 86400）：%1</source>
        <translation>--wait takes a number of seconds (0 to 86400): %1</translation>
    </message>
    <message>
        <source>用 --force 仍然下载</source>
        <translation>Use --force to download all the same</translation>
    </message>
    <message>
        <source>；用 --reinstall 重新安装</source>
        <translation>; use --reinstall to install it again</translation>
    </message>
    <message>
        <source>%1% %2 / %3 字节，%4 KiB/s</source>
        <translation>%1% %2 / %3 bytes, %4 KiB/s</translation>
    </message>
    <message>
        <source>。再次下载会重新安装同一版本。</source>
        <translation>. Downloading again installs the same version again.</translation>
    </message>
    <message>
        <source>正在等待打印机 %1 重新应答（最多 %2 秒）……</source>
        <translation>Waiting for the printer %1 to answer again (at most %2 seconds)...</translation>
    </message>
    <message>
        <source>按下载前的设置写回有变化的设置并核对？</source>
        <translation>Write back the changed settings as they were before the download, and verify them?</translation>
    </message>
    <message>
        <source>打印机 %1 已回来（版本 %2），但报告：%3</source>
        <translation>The printer %1 is back (version %2), but it reports: %3</translation>
    </message>
    <message>
        <source>无法读取打印机 %1 的状态，不知道它是否空闲</source>
        <translation>Cannot read the status of the printer %1: whether it is idle is not known</translation>
    </message>
    <message>
        <source>--count N：处理完 N 台该型号的打印机（包括失败的）后结束；没有 --count 时一直等待，直到被中断（Ctrl+C、SIGTERM）；正在写入的打印机写完当前页面后停止，其输出行说明停在哪一页。</source>
        <translation>--count N: end once N printers of the file's model were handled (failed ones included); without --count it waits until interrupted (Ctrl+C, SIGTERM); a printer being written finishes the page in flight and stops, and its line says before which page.</translation>
    </message>
    <message>
        <source>其他打印机正在写入时插入的打印机立即开始写入，最多 --jobs 台同时进行（默认 8 台）。</source>
        <translation>A printer plugged in while others are being written is written at once, up to --jobs printers at a time (8 by default).</translation>
    </message>
    <message>
        <source>restore：写入所有该型号的打印机；download：下载到所有连接的打印机（须为同一型号）</source>
        <translation>restore: write to every attached printer of the file's model; download: download to every attached printer (all of one model)</translation>
    </message>
    <message>
        <source>同时处理的打印机数，1 到 8（默认为所有要处理的打印机，最多 8 台）</source>
        <translation>How many printers at once, 1 to 8 (default: every printer to do, at most 8)</translation>
    </message>
    <message>
        <source>--jobs 须为 1 到 %1 之间的整数：%2</source>
        <translation>--jobs must be a whole number from 1 to %1: %2</translation>
    </message>
    <message>
        <source>正在停止：每台打印机写完当前页面后停止，未开始的打印机不会改动</source>
        <translation>Stopping: each printer finishes the page in flight and stops; printers not started are left alone</translation>
    </message>
    <message>
        <source>已停止</source>
        <translation>stopped</translation>
    </message>
    <message>
        <source>已停止，未发送任何内容</source>
        <translation>stopped, nothing sent</translation>
    </message>
    <message>
        <source>已停止，未写入 %1 及之后的页面</source>
        <translation>stopped, %1 and the pages after it not written</translation>
    </message>
    <message>
        <source>连接着多个型号的打印机（%1）；download --all 只下载到同一型号的全部打印机，请只连接该型号的打印机</source>
        <translation>Printers of several models are attached (%1); download --all downloads to every printer of one model: attach only printers of that model</translation>
    </message>
    <message>
        <source>跳过：已停止，未发送任何内容</source>
        <translation>skipped: stopped, nothing sent</translation>
    </message>
</context>
<context>
    <name>WorkerThread</name>
    <message>
        <source>打开文件失败：%1</source>
        <translation>Failed to open file: %1</translation>
    </message>
    <message>
        <source>读取文件失败：%1</source>
        <translation>Failed to read file: %1</translation>
    </message>
    <message>
        <source>下载失败：已发送 %1 / %2 字节（%3%）</source>
        <translation>Download failed after %1 of %2 bytes (%3%)</translation>
    </message>
</context>
<context>
    <name>FleetProgressDialog</name>
    <message>
        <source>等待</source>
        <translation>Waiting</translation>
    </message>
    <message>
        <source>正在读取…</source>
        <translation>Reading…</translation>
    </message>
    <message>
        <source>正在写入 %1…</source>
        <translation>Writing %1…</translation>
    </message>
    <message>
        <source>正在停止…</source>
        <translation>Stopping…</translation>
    </message>
</context>
</TS>
