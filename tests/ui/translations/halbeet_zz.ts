<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- A made-up third language for the tests: a few texts translated, written right to left. -->
<TS version="2.1" language="zz" sourcelanguage="en">
<context>
    <name>Language</name>
    <message>
        <source>English</source>
        <comment>name</comment>
        <translation>Zedish</translation>
    </message>
</context>
<context>
    <name>QGuiApplication</name>
    <message>
        <source>QT_LAYOUT_DIRECTION</source>
        <comment>Translate this string to the string &apos;LTR&apos; in left-to-right languages or to &apos;RTL&apos; in right-to-left languages (such as Hebrew and Arabic) to get proper widget layout.</comment>
        <translation>RTL</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>&amp;Game</source>
        <comment>N1</comment>
        <translation>&amp;Zame</translation>
    </message>
</context>
<context>
    <name>Flow</name>
    <message>
        <source>you must restart the game before new settings will take effect</source>
        <comment>RestartNotice</comment>
        <translation>Zestart</translation>
    </message>
</context>
</TS>
