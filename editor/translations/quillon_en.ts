<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>frmDocument</name>
    <message numerus="yes">
        <source><byte value="xd"/>
<byte value="xd"/>
%n more open file(s) have been changed too.</source>
        <translation>
            <numerusform><byte value="xd"/>
<byte value="xd"/>
%n more open file has been changed too.</numerusform>
            <numerusform><byte value="xd"/>
<byte value="xd"/>
%n more open files have been changed too.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>frmHelp</name>
    <message numerus="yes">
        <source>%n match(es)</source>
        <translation>
            <numerusform>%n match</numerusform>
            <numerusform>%n matches</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>frmMain</name>
    <message numerus="yes">
        <source><byte value="xd"/>
<byte value="xd"/>
%n more changed document(s) were not saved either.</source>
        <translation>
            <numerusform><byte value="xd"/>
<byte value="xd"/>
One more changed document was not saved either.</numerusform>
            <numerusform><byte value="xd"/>
<byte value="xd"/>
%n more changed documents were not saved either.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n open file(s) have been deleted or moved by another program:<byte value="xd"/>
%1<byte value="xd"/>
Their texts stay open here; Save writes each back.</source>
        <translation>
            <numerusform>%n open file has been deleted or moved by another program:<byte value="xd"/>
%1<byte value="xd"/>
Its text stays open here; Save writes it back.</numerusform>
            <numerusform>%n open files have been deleted or moved by another program:<byte value="xd"/>
%1<byte value="xd"/>
Their texts stay open here; Save writes each back.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Replaced %n occurrence(s) of &quot;%1&quot;.</source>
        <translation>
            <numerusform>Replaced %n occurrence of &quot;%1&quot;.</numerusform>
            <numerusform>Replaced %n occurrences of &quot;%1&quot;.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>There is no line %1: the document has %n line(s).</source>
        <translation>
            <numerusform>There is no line %1: the document has %n line.</numerusform>
            <numerusform>There is no line %1: the document has %n lines.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>frmProperties</name>
    <message numerus="yes">
        <source>%n character(s)</source>
        <translation>
            <numerusform>%n character</numerusform>
            <numerusform>%n characters</numerusform>
        </translation>
    </message>
</context>
</TS>
