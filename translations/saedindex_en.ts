<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>ResultExport</name>
    <message>
        <source>组号</source>
        <translation>Group</translation>
    </message>
    <message>
        <source>晶带轴</source>
        <translation>Zone axis</translation>
    </message>
    <message>
        <source>失配度</source>
        <translation>Misfit</translation>
    </message>
    <message>
        <source>二次衍射</source>
        <translation>Double diffraction</translation>
    </message>
    <message>
        <source>解族</source>
        <translation>Family</translation>
    </message>
</context>
<context>
    <name>saed::app::Form1</name>
    <message>
        <source>导出为CSV表格…</source>
        <translation>Export as CSV table…</translation>
    </message>
    <message>
        <source>结果表的每一行，UTF-8，可用电子表格打开</source>
        <translation>Every row of the result table, UTF-8, opens in a spreadsheet</translation>
    </message>
    <message>
        <source>导出为JSON…</source>
        <translation>Export as JSON…</translation>
    </message>
    <message>
        <source>输入、测量值、每一行与解族，格式与命令行 --format json 相同</source>
        <translation>Inputs, measurements, every row and the families, as the command line&apos;s --format json</translation>
    </message>
    <message>
        <source>导出JSON</source>
        <translation>Export JSON</translation>
    </message>
    <message>
        <source>JSON 文件</source>
        <translation>JSON file</translation>
    </message>
    <message>
        <source>导出CSV</source>
        <translation>Export CSV</translation>
    </message>
    <message>
        <source>CSV 表格</source>
        <translation>CSV table</translation>
    </message>
    <message>
        <source>无法写入文件：
%1
%2</source>
        <translation>Cannot write the file:
%1
%2</translation>
    </message>
    <message>
        <source>已导出：%1</source>
        <translation>Exported: %1</translation>
    </message>
</context>
<context>
    <name>saed::model::Language</name>
    <message>
        <source>--lang 只接受 zh 或 en，而不是“%1”</source>
        <translation>--lang accepts only zh or en, not “%1”</translation>
    </message>
</context>
</TS>
