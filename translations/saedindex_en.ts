<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>LibraryOperations</name>
    <message>
        <source>内置物相不能删除，只能删除导入的物相。</source>
        <translation>Built-in phases cannot be deleted; only imported phases can.</translation>
    </message>
    <message>
        <source>确定要删除导入的物相“%1”吗？
删除后需重新导入CIF才能恢复。</source>
        <translation>Delete the imported phase “%1”?
To get it back, import its CIF again.</translation>
    </message>
    <message>
        <source>确定要删除导入的%1个物相（%2）吗？
删除后需重新导入CIF才能恢复。</source>
        <translation>Delete the %1 imported phases (%2)?
To get them back, import their CIFs again.</translation>
    </message>
    <message>
        <source>删除物相</source>
        <translation>Delete phase</translation>
    </message>
    <message>
        <source>无法保存导入的物相，未删除：
</source>
        <translation>Cannot save the imported phases; nothing was deleted:
</translation>
    </message>
    <message>
        <source>删除了%1个导入的物相</source>
        <translation>Deleted %1 imported phase(s)</translation>
    </message>
</context>
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
    <name>ScreeningRun</name>
    <message>
        <source>第%1/%2个物相：%3</source>
        <translation>Phase %1 of %2: %3</translation>
    </message>
    <message>
        <source>筛选已停止，未写入筛选结果。</source>
        <translation>Screening stopped; no screening result was written.</translation>
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
    <message>
        <source>删除导入的物相</source>
        <translation>Delete imported phase</translation>
    </message>
    <message>
        <source>内置物相不能删除</source>
        <translation>Built-in phases cannot be deleted</translation>
    </message>
    <message>
        <source>正在筛选……</source>
        <translation>Screening…</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>筛选</source>
        <translation>Screening</translation>
    </message>
    <message>
        <source>空间群：无（按点阵类型消光）</source>
        <translation>Space group: none (extinction by lattice type)</translation>
    </message>
    <message>
        <source>空间群：%1</source>
        <translation>Space group: %1</translation>
    </message>
    <message>
        <source>来源</source>
        <translation>Source</translation>
    </message>
    <message>
        <source>导入</source>
        <translation>Imported</translation>
    </message>
    <message>
        <source>内置</source>
        <translation>Built-in</translation>
    </message>
    <message>
        <source>
导入的物相，可按Delete键删除</source>
        <translation>
Imported phase; press Delete to remove it</translation>
    </message>
</context>
<context>
    <name>saed::app::SimulationPanel</name>
    <message>
        <source>按空间群：%1</source>
        <translation>By space group: %1</translation>
    </message>
    <message>
        <source>此物相没有空间群，请选择点阵类型。</source>
        <translation>This phase has no space group; choose a lattice type.</translation>
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
