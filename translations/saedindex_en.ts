<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>saed::model::Language</name>
    <message>
        <source>--lang 只接受 zh 或 en，而不是“%1”</source>
        <translation>--lang accepts only zh or en, not “%1”</translation>
    </message>
</context>
</TS>
