<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>Torvane</name>
    <message numerus="yes">
        <source>%n second(s)</source>
        <translation>
            <numerusform>%n second</numerusform>
            <numerusform>%n seconds</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n line(s) came from the unit while no command ran and were dropped, the first: &quot;%1&quot;. The line is opened afresh.</source>
        <translation>
            <numerusform>A line came from the unit while no command ran and was dropped: &quot;%1&quot;. The line is opened afresh.</numerusform>
            <numerusform>%n lines came from the unit while no command ran and were dropped, the first: &quot;%1&quot;. The line is opened afresh.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Init file %1: %n setting(s) sent.</source>
        <translation>
            <numerusform>Init file %1: %n setting sent.</numerusform>
            <numerusform>Init file %1: %n settings sent.</numerusform>
        </translation>
    </message>
</context>
</TS>
